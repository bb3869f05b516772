// Owns the clipboard as another application would, with several types at once, which
// xclip cannot do: nookary_clipboard_owner --text T [--secret] [--uri U]. Prints "ready"
// once it owns the clipboard and exits when another program takes it over.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    auto *mime = new QMimeData;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--text") && i + 1 < args.size())
            mime->setText(args[++i]);
        else if (args[i] == QLatin1String("--uri") && i + 1 < args.size())
            mime->setUrls({ QUrl(args[++i]) });
        else if (args[i] == QLatin1String("--secret"))
            mime->setData(QStringLiteral("x-kde-passwordManagerHint"), "secret");
    }
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setMimeData(mime, QClipboard::Clipboard);
    QObject::connect(clipboard, &QClipboard::changed, &app, [clipboard](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard())
            QCoreApplication::quit();
    });
    QTimer::singleShot(0, [] {
        std::puts("ready");
        std::fflush(stdout);
    });
    return app.exec();
}
