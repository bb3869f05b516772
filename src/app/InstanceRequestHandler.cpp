// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstanceRequestHandler.h"

#include "app/PanelPresenter.h"
#include "app/SavedSnippetsCommand.h"
#include "model/AppModel.h"

#include <QUuid>

#include <cstring>

namespace nookary {

namespace {

// The bytes QJsonDocument writes for the UTF-16 unit at `text[i]`, into `out` when given
// (room for 6); a surrogate pair is written whole and sets `pair`.
qsizetype jsonStringUnit(QStringView text, qsizetype i, char *out, bool *pair)
{
    static constexpr char hex[] = "0123456789abcdef";
    char scratch[6];
    char *o = out ? out : scratch;
    const char16_t u = text[i].unicode();
    *pair = false;
    const auto escapeUnit = [o](char16_t unit) {
        const char escaped[] = { '\\', 'u', hex[(unit >> 12) & 0xf], hex[(unit >> 8) & 0xf],
            hex[(unit >> 4) & 0xf], hex[unit & 0xf] };
        std::memcpy(o, escaped, sizeof escaped);
        return qsizetype(sizeof escaped);
    };
    const auto escapeChar = [o](char c) {
        o[0] = '\\';
        o[1] = c;
        return qsizetype(2);
    };
    if (u < 0x80) {
        switch (u) {
        case u'"':
            return escapeChar('"');
        case u'\\':
            return escapeChar('\\');
        case u'\b':
            return escapeChar('b');
        case u'\f':
            return escapeChar('f');
        case u'\n':
            return escapeChar('n');
        case u'\r':
            return escapeChar('r');
        case u'\t':
            return escapeChar('t');
        default:
            if (u < 0x20)
                return escapeUnit(u);
            o[0] = char(u);
            return 1;
        }
    }
    if (QChar::isHighSurrogate(u) && i + 1 < text.size()
        && QChar::isLowSurrogate(text[i + 1].unicode())) {
        *pair = true;
        const char32_t c = QChar::surrogateToUcs4(u, text[i + 1].unicode());
        o[0] = char(0xf0 | (c >> 18));
        o[1] = char(0x80 | ((c >> 12) & 0x3f));
        o[2] = char(0x80 | ((c >> 6) & 0x3f));
        o[3] = char(0x80 | (c & 0x3f));
        return 4;
    }
    if (QChar::isSurrogate(u))
        return escapeUnit(u);
    if (u < 0x800) {
        o[0] = char(0xc0 | (u >> 6));
        o[1] = char(0x80 | (u & 0x3f));
        return 2;
    }
    o[0] = char(0xe0 | (u >> 12));
    o[1] = char(0x80 | ((u >> 6) & 0x3f));
    o[2] = char(0x80 | (u & 0x3f));
    return 3;
}

// `text` as a JSON string, as QJsonDocument writes it (UTF-8; a lone surrogate as \uXXXX).
// Measured first and then written in place: a history entry may hold megabytes, and the
// instance answers nothing else meanwhile.
void appendJsonString(QByteArray &out, QStringView text)
{
    const auto plain = [](char16_t u) { return u >= 0x20 && u < 0x80 && u != u'"' && u != u'\\'; };
    bool pair = false;
    qsizetype length = 2;
    for (qsizetype i = 0; i < text.size(); i += pair ? 2 : 1) {
        pair = false;
        length += plain(text[i].unicode()) ? 1 : jsonStringUnit(text, i, nullptr, &pair);
    }
    const qsizetype start = out.size();
    out.resize(start + length);
    char *cursor = out.data() + start;
    *cursor++ = '"';
    for (qsizetype i = 0; i < text.size(); i += pair ? 2 : 1) {
        pair = false;
        const char16_t u = text[i].unicode();
        if (plain(u))
            *cursor++ = char(u);
        else
            cursor += jsonStringUnit(text, i, cursor, &pair);
    }
    *cursor = '"';
}

// One compact JSON object per line, in list order, as QJsonDocument would write it.
template <typename Item> QByteArray jsonLines(const QList<Item> &items)
{
    QByteArray out;
    for (const Item &item : items) {
        out += "{\"id\":\"";
        out += item.id.toString(QUuid::WithoutBraces).toUpper().toLatin1();
        out += "\",\"text\":";
        appendJsonString(out, item.text);
        out += "}\n";
    }
    return out;
}

QByteArray importSaved(AppModel &model, const QByteArray &argument)
{
    const std::optional<QStringList> texts = SavedSnippetsCommand::decodeImportRequest(argument);
    if (!texts)
        return "{\"error\":\"not an array of texts\"}\n";
    return SavedSnippetsCommand::encodeImportReply(model.importSavedSnippets(*texts));
}

} // namespace

InstanceRequestHandler::InstanceRequestHandler(
    AppModel &model, PanelPresenter &presenter, std::function<void()> reopen)
    : m_model(model)
    , m_presenter(presenter)
    , m_reopen(std::move(reopen))
{
}

QByteArray InstanceRequestHandler::handle(
    InstanceChannel::Request request, const QByteArray &argument)
{
    using Request = InstanceChannel::Request;
    switch (request) {
    case Request::history:
        return jsonLines(m_model.clipboardHistory().items());
    case Request::saved:
        return jsonLines(m_model.savedSnippets().items());
    case Request::reopen:
        m_reopen();
        break;
    case Request::toggle:
        m_presenter.toggle();
        break;
    case Request::show:
        m_presenter.showOrBringForward();
        break;
    case Request::hide:
        if (m_presenter.isPanelOpen())
            m_presenter.closeUI();
        break;
    case Request::ping:
        break;
    case Request::importSaved:
        return importSaved(m_model, argument);
    }
    return "ok\n";
}

} // namespace nookary
