// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClipboardWriter.h"

#include "model/AppModel.h"
#include "model/EntryText.h"
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
    // The pasteboard knows the change each write causes as ours: the history records none.
    m_pasteboard.clear();
    if (const QList<QUrl> files = entryFileURLs(text); !files.isEmpty()) {
        m_pasteboard.writeFileURLs(files);
        return;
    }
    m_pasteboard.writeString(text);
}

} // namespace nookary
