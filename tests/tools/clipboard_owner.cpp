// SPDX-License-Identifier: GPL-3.0-or-later
// Owns the clipboard as another application would, with several types at once, which
// xclip cannot do: nookary_clipboard_owner --text T [--secret] [--uri U]... [--quit-after MS]
// [--busy MS], each --uri adding one file to the URL list as a file manager copies several,
// --busy answering nothing for MS ms after "ready", as a busy program would.
// Prints "ready" once it owns the clipboard and exits when another program takes it over.
// It quits normally, handing the clipboard over to a clipboard manager as every Qt program
// does, after MS ms or when its standard input says "quit"; "clear" on its standard
// input clears the clipboard as password managers do, and it answers "cleared".
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <cstdio>

#include <unistd.h>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    auto *mime = new QMimeData;
    const QStringList args = app.arguments();
    int quitAfter = -1;
    int busy = 0;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--text") && i + 1 < args.size())
            mime->setText(args[++i]);
        else if (args[i] == QLatin1String("--uri") && i + 1 < args.size())
            mime->setUrls(mime->urls() << QUrl(args[++i]));
        else if (args[i] == QLatin1String("--quit-after") && i + 1 < args.size())
            quitAfter = args[++i].toInt();
        else if (args[i] == QLatin1String("--busy") && i + 1 < args.size())
            busy = args[++i].toInt();
        else if (args[i] == QLatin1String("--secret"))
            mime->setData(QStringLiteral("x-kde-passwordManagerHint"), "secret");
    }
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setMimeData(mime, QClipboard::Clipboard);
    bool cleared = false;
    QObject::connect(
        clipboard, &QClipboard::changed, &app, [clipboard, &cleared](QClipboard::Mode mode) {
            if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard() && !cleared)
                QCoreApplication::quit();
        });
    if (quitAfter >= 0)
        QTimer::singleShot(quitAfter, &app, &QCoreApplication::quit);
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char line[64] = {};
        const ssize_t n = ::read(STDIN_FILENO, line, sizeof line - 1);
        if (n > 0 && qstrncmp(line, "clear", 5) == 0) {
            cleared = true;
            clipboard->clear(QClipboard::Clipboard);
            std::puts("cleared");
            std::fflush(stdout);
        } else if (n > 0 && qstrncmp(line, "quit", 4) == 0) {
            QCoreApplication::quit();
        } else if (n <= 0) {
            input.setEnabled(false); // no input: run as before
        }
    });
    QTimer::singleShot(0, [busy] {
        std::puts("ready");
        std::fflush(stdout);
        QThread::msleep(busy);
    });
    return app.exec();
}
