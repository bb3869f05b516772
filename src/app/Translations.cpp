// SPDX-License-Identifier: GPL-3.0-or-later
#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace nookary::Translations {

namespace {

const QString kPrefix = QStringLiteral("_");

// Parented to the application, which removes them as it goes.
QTranslator *load(const QLocale &locale, const QString &name, const QString &directory)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(locale, name, kPrefix, directory)) {
        QCoreApplication::installTranslator(translator);
        return translator;
    }
    delete translator;
    return nullptr;
}

} // namespace

QString folder()
{
    return QDir::cleanPath(
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/nookary/translations"));
}

QLocale install(const QLocale &locale)
{
    // Translators installed later are asked first.
    load(QLocale(QLocale::English), QStringLiteral("nookary"), folder());
    const QTranslator *ours = load(locale, QStringLiteral("nookary"), folder());
    const QStringList languages = locale.uiLanguages();
    const QLocale shown = ours ? QLocale(ours->language())
                               : QLocale(languages.isEmpty() ? locale.name() : languages.first());
    // Qt's dialogs and menus in the same language as ours, not in a second one further
    // down the user's list.
    if (shown.language() != QLocale::English)
        load(shown, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return shown;
}

} // namespace nookary::Translations
