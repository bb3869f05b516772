// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyNames.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTranslator>

#include <cstring>

namespace nookary::KeyNames {

namespace {

// Qt's name of a key, and ours where a Linux desktop names it otherwise or where our
// translation knows a better word than Qt's (German "Eingabe", which Qt leaves "Return").
struct KeyName {
    const char *qt;
    const char *ours;
};
constexpr KeyName kKeyNames[] = {
    { "Del", QT_TRANSLATE_NOOP("nookary::KeyNames", "Delete") },
    { "Return", QT_TRANSLATE_NOOP("nookary::KeyNames", "Return") },
};

class KeyNameTranslator final : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        // Qt names keys in QKeySequence's native text under this context. Asked again
        // below for Qt's own word, which this translator then leaves to the others.
        static thread_local bool asking = false;
        if (asking || !context || !sourceText || std::strcmp(context, "QShortcut") != 0)
            return {};
        for (const KeyName &key : kKeyNames) {
            if (std::strcmp(sourceText, key.qt) != 0)
                continue;
            // Our translation decides, then Qt's for the language shown, then our English.
            const QString ours = QCoreApplication::translate("nookary::KeyNames", key.ours);
            if (ours != QLatin1String(key.ours))
                return ours;
            asking = true;
            const QString qt = QCoreApplication::translate("QShortcut", key.qt);
            asking = false;
            return qt != QLatin1String(key.qt) ? qt : ours;
        }
        return {};
    }
};

} // namespace

void install()
{
    static QPointer<QTranslator> installed;
    if (installed)
        return;
    installed = new KeyNameTranslator(QCoreApplication::instance());
    QCoreApplication::installTranslator(installed);
}

} // namespace nookary::KeyNames
