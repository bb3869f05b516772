// SPDX-License-Identifier: GPL-3.0-or-later
// A plain application window for the end-to-end tests to give focus to and get it back:
// nookary_test_window TITLE. Prints "ready" once shown, then "text CONTENT" after every change.
#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLineEdit window;
    window.setWindowTitle(
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Test window"));
    window.resize(300, 60);
    window.move(40, 40);
    QObject::connect(&window, &QLineEdit::textChanged, [](const QString &text) {
        std::printf("text %s\n", text.toUtf8().constData());
        std::fflush(stdout);
    });
    window.show();
    QTimer::singleShot(200, [] {
        std::puts("ready");
        std::fflush(stdout);
    });
    return app.exec();
}
