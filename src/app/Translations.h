// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

namespace nookary::Translations {

// Where Nookary's compiled translations lie: share/nookary/translations beside the
// executable's bin/ (as the install layout puts them), in the build tree as in the install
// tree.
QString folder();

// Where the texts go. Windows of a right-to-left language that Nookary has no translation
// for show its English as right-to-left text (see install()); a terminal gets plain text.
enum class Output { terminal, windows };

// Installs, on the running application, Nookary's translation for the first of the locale's
// languages that has one, Qt's own for that same language, and beneath them the English
// plural forms, so that a count reads right where no translation has the text. Numbers
// (QLocale's default, which %Ln also uses) then take the form of the texts' language: the
// user's own locale where it speaks that language, numbers included. Returns the language the texts
// are shown in: the translation's, or the locale's first language when none was found (which
// decides the layout direction). Needs the application object.
QLocale install(Output output = Output::terminal, const QLocale &locale = QLocale::system());

} // namespace nookary::Translations
