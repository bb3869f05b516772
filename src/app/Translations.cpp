// SPDX-License-Identifier: GPL-3.0-or-later
#include "Translations.h"

#include "core/TextDirection.h"

#include "InstallLayout.h"

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

// Nookary's English in a mirrored interface (a right-to-left language without a translation
// of ours): each text a right-to-left paragraph, so that it stands at the leading edge like
// the rest of the interface, holding the English left to right, so that its punctuation
// stays where English puts it ("Change…", not "…Change").
class MirroredEnglish final : public QTranslator {
public:
    explicit MirroredEnglish(const QTranslator &plurals)
        : QTranslator(QCoreApplication::instance())
        , m_plurals(plurals)
    {
    }
    QString translate(
        const char *context, const char *source, const char *disambiguation, int n) const override
    {
        const QByteArrayView ofContext(context);
        // Qt's own words come in the language itself. Key names are joined into a
        // combination, which reads left to right as a whole: held apart one by one, the
        // combination would read backwards. The command line's texts go to a terminal.
        if (!ofContext.startsWith("nookary::") || ofContext == "nookary::HotkeyShortcut"
            || ofContext == "nookary::KeyNames" || ofContext == "nookary::CommandLine")
            return {};
        QString text = m_plurals.translate(context, source, disambiguation, n);
        if (text.isEmpty())
            text = QString::fromUtf8(source);
        return TextDirection::leftToRightInMirrored(text);
    }
    bool isEmpty() const override { return false; }

private:
    const QTranslator &m_plurals;
};

// The system locale takes its language from LANGUAGE or LC_MESSAGES and its numbers from
// LC_NUMERIC or LANG, which may name another language (German words, Arabic-Indic digits).
bool writesNumbersAsItsLanguage(const QLocale &locale)
{
    constexpr double sample = 1234567.5;
    return locale.toString(sample) == QLocale(locale.name()).toString(sample);
}

} // namespace

QString folder()
{
    return QDir::cleanPath(
        QCoreApplication::applicationDirPath() + u'/' + installLayout::translationsFromProgram);
}

QLocale install(Output output, const QLocale &locale)
{
    // Translators installed later are asked first.
    const QTranslator *english
        = load(QLocale(QLocale::English), QStringLiteral("nookary"), folder());
    const QTranslator *ours = load(locale, QStringLiteral("nookary"), folder());
    const QStringList languages = locale.uiLanguages();
    const QLocale shown = ours ? QLocale(ours->language())
                               : QLocale(languages.isEmpty() ? locale.name() : languages.first());
    // Numbers take the form of the language of the sentence they stand in: Western digits
    // in English, German grouping in German; the user's own conventions where the user's
    // locale speaks that language.
    const QLocale::Language textLanguage = ours ? shown.language() : QLocale::English;
    QLocale::setDefault(locale.language() == textLanguage && writesNumbersAsItsLanguage(locale)
            ? locale
            : QLocale(textLanguage));
    // Qt's dialogs and menus in the same language as ours, not in a second one further
    // down the user's list.
    if (shown.language() != QLocale::English)
        load(shown, QStringLiteral("qtbase"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (output == Output::windows && !ours && english && shown.textDirection() == Qt::RightToLeft)
        QCoreApplication::installTranslator(new MirroredEnglish(*english));
    return shown;
}

} // namespace nookary::Translations
