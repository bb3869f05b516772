// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyNames.h"

#include <QCoreApplication>
#include <QTranslator>

#include <cstring>
#include <utility>

namespace nookary::KeyNames {

namespace {

class KeyNameTranslator final : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        // Qt names keys in QKeySequence's native text under this context.
        if (context && sourceText && std::strcmp(context, "QShortcut") == 0
            && std::strcmp(sourceText, "Del") == 0)
            return QStringLiteral("Delete");
        return {};
    }
};

} // namespace

void install()
{
    static bool installed = false;
    if (std::exchange(installed, true))
        return;
    QCoreApplication *app = QCoreApplication::instance();
    QCoreApplication::installTranslator(new KeyNameTranslator(app));
}

} // namespace nookary::KeyNames
