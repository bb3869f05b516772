// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace nookary {

// What the user asked for on the command line.
struct CommandLine {
    enum class Action {
        start, // run, or ask the running instance to re-open
        toggle, // ask the running instance to toggle, open or close the panel
        show,
        hide,
        history, // print the running instance's history or saved snippets as JSON lines
        saved,
        exportSaved, // write the saved snippets to `file` (standard output when empty)
        importSaved, // add the snippets of `file` (`lines`: one snippet per line)
        help,
        version,
        invalid, // `error` says why
    };

    Action action = Action::start;
    bool launchedFromLoginItem = false;
    QString file;
    bool lines = false;
    QString error;
    // The Nookary these arguments and the environment are for: one per user and display.
    QString instanceName;
    // Qt's own options (-platform, -display, -style, ...), each followed by its value, as
    // given: they stay in argv for Qt to apply.
    QStringList qtArguments;

    // The value given to one of Qt's options, named without its dashes ("display"); a null
    // string when the option was not given.
    QString qtOption(QStringView name) const;

    // Arguments without the program name.
    static CommandLine parse(const QStringList &arguments);
    static QString usage();
    static inline const QString loginItemMarker = QStringLiteral("--launched-from-login-item");
};

} // namespace nookary
