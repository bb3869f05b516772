// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClipboardWriter.h"

#include "model/AppModel.h"
#include "platform/Pasteboard.h"

#include <QUrl>

namespace nookary {

ClipboardWriter::ClipboardWriter(AppModel &model, Pasteboard &pasteboard)
    : m_model(model)
    , m_pasteboard(pasteboard)
{
}

void ClipboardWriter::write(const QString &text)
{
    m_model.markProgrammaticWrite(text);
    m_pasteboard.clear();
    if (text.startsWith(QLatin1String("file://"), Qt::CaseInsensitive)) {
        const QUrl url(text, QUrl::StrictMode);
        if (url.isValid() && url.isLocalFile()) {
            m_pasteboard.writeFileURL(url);
            return;
        }
    }
    m_pasteboard.writeString(text);
}

} // namespace nookary
