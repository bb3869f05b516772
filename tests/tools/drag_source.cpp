// SPDX-License-Identifier: GPL-3.0-or-later
// Another application to drag text from, for the end-to-end tests:
// nookary_drag_source [--format FORMAT] [--hex] TEXT
// Shows a small window titled "Drag source" at (40, 120); a press and a move in it start a
// drag offering TEXT as plain text (in every form Qt offers), or only as FORMAT; with
// --hex, TEXT is hexadecimal bytes (to offer bytes that are not UTF-8). Prints "ready"
// once shown and "drag ended: ACTION" after each drag.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

#include <cstdio>

namespace {

class DragSource final : public QLabel {
public:
    DragSource(QString format, QByteArray bytes)
        : m_format(std::move(format))
        , m_bytes(std::move(bytes))
    {
        setText(QStringLiteral("drag me"));
        setAlignment(Qt::AlignCenter);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override { m_pressedAt = event->position().toPoint(); }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (!(event->buttons() & Qt::LeftButton)
            || (event->position().toPoint() - m_pressedAt).manhattanLength()
                < QApplication::startDragDistance())
            return;
        auto *mime = new QMimeData;
        if (m_format.isEmpty())
            mime->setText(QString::fromUtf8(m_bytes));
        else
            mime->setData(m_format, m_bytes);
        auto *drag = new QDrag(this);
        drag->setMimeData(mime);
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
        std::printf("drag ended: %s\n", action == Qt::IgnoreAction ? "ignored" : "dropped");
        std::fflush(stdout);
    }

private:
    QString m_format;
    QByteArray m_bytes;
    QPoint m_pressedAt;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString format;
    bool hex = false;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--format") && !args.isEmpty())
            format = args.takeFirst();
        else if (option == QLatin1String("--hex"))
            hex = true;
    }
    const QByteArray text = args.value(0).toUtf8();
    DragSource window(format, hex ? QByteArray::fromHex(text) : text);
    window.setWindowTitle(QStringLiteral("Drag source"));
    window.resize(200, 60);
    window.move(40, 120);
    window.show();
    QTimer::singleShot(200, [] {
        std::puts("ready");
        std::fflush(stdout);
    });
    return app.exec();
}
