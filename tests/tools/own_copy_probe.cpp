// SPDX-License-Identifier: GPL-3.0-or-later
// Writes through the program's pasteboard on a real display, has Qt announce the same
// selection again (as some Wayland compositors do when focus comes back), writes the same
// text again and then another, and prints the change count after each step.
#include "platform/qt/ClipboardPasteboard.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>

using namespace nookary;

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QClipboard *clipboard = QGuiApplication::clipboard();
    ClipboardPasteboard board(clipboard);
    auto settle = [] {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 200)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    };
    board.writeString(QStringLiteral("mine"));
    settle();
    const qint64 written = board.changeCount();
    Q_EMIT clipboard->changed(QClipboard::Clipboard);
    settle();
    const qint64 announcedAgain = board.changeCount();
    board.writeString(QStringLiteral("mine"));
    settle();
    const qint64 writtenAgain = board.changeCount();
    board.writeString(QStringLiteral("other"));
    settle();
    std::printf("%lld %lld %lld %lld\n", static_cast<long long>(written),
        static_cast<long long>(announcedAgain), static_cast<long long>(writtenAgain),
        static_cast<long long>(board.changeCount()));
    return 0;
}
