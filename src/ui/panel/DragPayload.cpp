// SPDX-License-Identifier: GPL-3.0-or-later
#include "DragPayload.h"

#include "model/EntryText.h"

#include <QAbstractScrollArea>
#include <QDropEvent>
#include <QMimeData>
#include <QStringDecoder>
#include <QWidget>

namespace nookary::DragPayload {

namespace {

const QString kPlainText = QStringLiteral("text/plain");
const QString kPlainTextUtf8 = QStringLiteral("text/plain;charset=utf-8");
const QString kUtf8String = QStringLiteral("UTF8_STRING");
const QString kShelfHandleMarker = QStringLiteral("application/x-nookary-shelf-handle");
const QString kPartialEntryMarker = QStringLiteral("application/x-nookary-partial-entry");

// The first of the offered formats that names `wanted`, compared as MIME types are
// (case-insensitively, so "charset=UTF-8" counts too).
std::optional<QString> offered(const QStringList &formats, const QString &wanted)
{
    for (const QString &format : formats) {
        if (format.compare(wanted, Qt::CaseInsensitive) == 0)
            return format;
    }
    return std::nullopt;
}

std::optional<QByteArray> plainTextBytes(const QMimeData &mime)
{
    const QStringList formats = mime.formats();
    if (const auto utf8 = offered(formats, kPlainTextUtf8))
        return mime.data(*utf8);
    if (const auto utf8String = offered(formats, kUtf8String))
        return mime.data(*utf8String);
    if (const auto plain = offered(formats, kPlainText)) {
        // Qt's X11 support lists an offered UTF8_STRING as "text/plain" and decodes it
        // when asked by that name, turning bad bytes into replacement characters; asked
        // by the atom's own name it hands over the bytes as sent.
        const QByteArray raw = mime.data(kUtf8String);
        return raw.isEmpty() ? mime.data(*plain) : raw;
    }
    return std::nullopt;
}

class HandleDropRefusal final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(event);
            if (drop->mimeData() && isShelfHandleDrag(*drop->mimeData())) {
                drop->ignore();
                return true;
            }
            return false;
        }
        default:
            return false;
        }
    }
};

} // namespace

std::unique_ptr<QMimeData> forHistoryEntry(const QString &text, bool partial)
{
    auto mime = std::make_unique<QMimeData>();
    mime->setText(text);
    if (partial)
        mime->setData(kPartialEntryMarker, QByteArray());
    return mime;
}

bool isPartialHistoryEntry(const QMimeData &mime)
{
    return mime.hasFormat(kPartialEntryMarker);
}

std::unique_ptr<QMimeData> forShelfHandle(const QUuid &id)
{
    auto mime = std::make_unique<QMimeData>();
    mime->setText(id.toString(QUuid::WithoutBraces).toUpper());
    mime->setData(kShelfHandleMarker, QByteArray());
    return mime;
}

bool isShelfHandleDrag(const QMimeData &mime)
{
    return mime.hasFormat(kShelfHandleMarker);
}

bool offersPlainText(const QMimeData &mime)
{
    const QStringList formats = mime.formats();
    return offered(formats, kPlainTextUtf8) || offered(formats, kUtf8String)
        || offered(formats, kPlainText);
}

std::optional<QString> droppedText(const QMimeData &mime)
{
    std::optional<QByteArray> bytes = plainTextBytes(mime);
    if (!bytes)
        return std::nullopt;
    if (bytes->endsWith('\0'))
        bytes->chop(1); // some X11 programs send C strings
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(*bytes);
    if (decoder.hasError())
        return std::nullopt;
    const QStringView trimmed = trimmedEntryText(text);
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed.toString();
}

void refuseShelfHandleDrops(QWidget *widget)
{
    auto *refusal = new HandleDropRefusal(widget);
    widget->installEventFilter(refusal);
    if (auto *area = qobject_cast<QAbstractScrollArea *>(widget))
        area->viewport()->installEventFilter(refusal);
}

} // namespace nookary::DragPayload
