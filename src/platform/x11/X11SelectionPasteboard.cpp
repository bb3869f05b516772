// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11SelectionPasteboard.h"

#include "platform/x11/X11Connection.h"

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <cstring>

Q_LOGGING_CATEGORY(lcSelection, "nookary.clipboard")

namespace nookary {

using clipboardformats::OfferedForm;

struct X11SelectionPasteboard::Connection {
    xcb_connection_t *c = nullptr;
    xcb_window_t window = 0;
    quint8 xfixesEvent = 0;
    xcb_atom_t clipboard = 0;
    xcb_atom_t targets = 0;
    xcb_atom_t timestamp = 0;
    xcb_atom_t incr = 0;
    // A text past this size goes in INCR chunks of it: well under the server's largest
    // request, and small enough that a slow reader holds up nothing.
    qsizetype chunkBytes = 256 * 1024;
    QHash<QByteArray, xcb_atom_t> atoms;

    ~Connection() { xcb_disconnect(c); }

    xcb_atom_t atom(const QByteArray &name)
    {
        if (const auto it = atoms.constFind(name); it != atoms.constEnd())
            return *it;
        const xcb_atom_t a = X11::internAtom(c, name.constData());
        atoms.insert(name, a);
        return a;
    }
};

// One INCR transfer: the requestor deletes the property to ask for the next chunk.
struct X11SelectionPasteboard::Transfer {
    xcb_window_t requestor = 0;
    xcb_atom_t property = 0;
    xcb_atom_t type = 0;
    QByteArray data;
    qsizetype sent = 0;
    bool finished = false; // the empty chunk that ends it went out
    QTimer deadline; // a requestor that stops reading is given up
};

std::unique_ptr<X11SelectionPasteboard> X11SelectionPasteboard::create(
    std::unique_ptr<ClipboardContentsReader> reader)
{
    if (!reader)
        return nullptr;
    auto x = std::make_unique<Connection>();
    x->c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x->c))
        return nullptr;
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(x->c, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return nullptr;
    X11::Owned<xcb_xfixes_query_version_reply_t>(xcb_xfixes_query_version_reply(x->c,
        xcb_xfixes_query_version(x->c, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
        nullptr));
    x->xfixesEvent = quint8(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
    x->clipboard = x->atom("CLIPBOARD");
    x->targets = x->atom("TARGETS");
    x->timestamp = x->atom("TIMESTAMP");
    x->incr = x->atom("INCR");
    x->chunkBytes = std::min<qsizetype>(
        x->chunkBytes, qsizetype(xcb_get_maximum_request_length(x->c)) * 4 / 2);

    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(x->c)).data;
    x->window = xcb_generate_id(x->c);
    xcb_create_window(x->c, XCB_COPY_FROM_PARENT, x->window, screen->root, 0, 0, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
    xcb_xfixes_select_selection_input(x->c, x->window, x->clipboard,
        XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
            | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
            | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    xcb_flush(x->c);
    if (xcb_connection_has_error(x->c))
        return nullptr;
    return std::unique_ptr<X11SelectionPasteboard>(
        new X11SelectionPasteboard(std::move(x), std::move(reader)));
}

X11SelectionPasteboard::X11SelectionPasteboard(
    std::unique_ptr<Connection> x, std::unique_ptr<ClipboardContentsReader> reader)
    : m_x(std::move(x))
    , m_reader(std::move(reader))
    , m_queue(
          [this](quint64 ticket) {
              m_reader->read([this, ticket](ClipboardContents contents) {
                  m_queue.land(ticket, [&] {
                      m_contents = std::move(contents);
                      countChange(false);
                  });
              });
          },
          [this] { Q_EMIT readPendingChanged(); })
{
    m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_x->c), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11SelectionPasteboard::dispatchEvents);
    // Events that came with the replies of the set-up are waiting already.
    QTimer::singleShot(0, this, &X11SelectionPasteboard::dispatchEvents);
}

X11SelectionPasteboard::~X11SelectionPasteboard()
{
    qDeleteAll(m_transfers);
    delete m_notifier; // before the connection closes its socket
}

void X11SelectionPasteboard::dispatchEvents()
{
    while (X11::Owned<xcb_generic_event_t> event { xcb_poll_for_event(m_x->c) }) {
        const quint8 type = event->response_type & 0x7f;
        if (type == m_x->xfixesEvent) {
            const auto *notify
                = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event.get());
            if (notify->selection == m_x->clipboard) {
                if (notify->owner == m_x->window)
                    m_ownedSince = notify->selection_timestamp;
                ownerChanged(notify->owner, event->full_sequence);
            }
        } else if (type == XCB_SELECTION_REQUEST) {
            selectionRequested(event.get());
        } else if (type == XCB_SELECTION_CLEAR) {
            // Another program took the selection: nothing of ours is served. One that our
            // own clear caused before our last write is no news.
            if (qint32(event->full_sequence - m_lastOwnRequest) >= 0)
                m_forms.clear();
        } else if (type == XCB_PROPERTY_NOTIFY) {
            const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event.get());
            if (notify->state == XCB_PROPERTY_DELETE)
                propertyDeleted(notify->window, notify->atom);
        }
    }
    if (xcb_connection_has_error(m_x->c)) {
        m_notifier->setEnabled(false);
        qCWarning(lcSelection,
            "Clipboard capture stopped: the X display closed. Copies made in other programs "
            "are no longer recorded.");
        return;
    }
    xcb_flush(m_x->c);
}

void X11SelectionPasteboard::ownerChanged(quint32 owner, quint32 sequence)
{
    // Our own writes were counted as they were made. An owner change the server made before
    // our last one (it comes with an older sequence number) was replaced by ours at once:
    // nothing of it is there to read.
    if (owner == m_x->window || qint32(sequence - m_lastOwnRequest) < 0)
        return;
    if (owner == XCB_NONE && std::exchange(m_awaitingOwnClear, false))
        return;
    m_forms.clear();
    if (m_paused) {
        // Nothing of it is read: empty contents stand in.
        m_contents = {};
        countChange(false);
        return;
    }
    m_queue.noticed();
}

void X11SelectionPasteboard::selectionRequested(const void *e)
{
    const auto *request = static_cast<const xcb_selection_request_event_t *>(e);
    // Obsolete requestors name no property: the target stands in.
    const xcb_atom_t property = request->property ? request->property : request->target;
    const bool served = request->selection == m_x->clipboard && request->owner == m_x->window
        && !m_forms.isEmpty() && serve(request->requestor, property, request->target);
    // Sent as a whole 32-byte event, which is what the server reads.
    xcb_selection_notify_event_t notify {};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request->time;
    notify.requestor = request->requestor;
    notify.selection = request->selection;
    notify.target = request->target;
    notify.property = served ? property : xcb_atom_t(XCB_NONE);
    char bytes[32] {};
    std::memcpy(bytes, &notify, sizeof notify);
    // A requestor gone by now is nobody's business.
    xcb_discard_reply(m_x->c,
        xcb_send_event_checked(m_x->c, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT, bytes)
            .sequence);
}

bool X11SelectionPasteboard::serve(quint32 requestor, quint32 property, quint32 target)
{
    if (target == m_x->targets) {
        QList<xcb_atom_t> offered { m_x->targets, m_x->timestamp };
        for (const OfferedForm &form : std::as_const(m_forms))
            offered.append(m_x->atom(form.mimeType));
        xcb_change_property(m_x->c, XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_ATOM, 32,
            quint32(offered.size()), offered.constData());
        return true;
    }
    if (target == m_x->timestamp) {
        xcb_change_property(m_x->c, XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_INTEGER,
            32, 1, &m_ownedSince);
        return true;
    }
    const auto form = std::find_if(m_forms.cbegin(), m_forms.cend(),
        [&](const OfferedForm &f) { return m_x->atom(f.mimeType) == target; });
    if (form == m_forms.cend())
        return false;
    if (form->data.size() <= m_x->chunkBytes) {
        xcb_change_property(m_x->c, XCB_PROP_MODE_REPLACE, requestor, property, target, 8,
            quint32(form->data.size()), form->data.constData());
        return true;
    }
    // INCR: the size first; each deletion of the property by the requestor asks for the
    // next chunk, and an empty chunk ends it.
    const QPair key(requestor, property);
    delete m_transfers.take(key);
    auto *transfer = new Transfer;
    transfer->requestor = requestor;
    transfer->property = property;
    transfer->type = target;
    transfer->data = form->data;
    transfer->deadline.setSingleShot(true);
    transfer->deadline.setInterval(clipboardformats::readTimeoutMs * 4);
    connect(&transfer->deadline, &QTimer::timeout, this,
        [this, requestor, property] { endTransfer(requestor, property); });
    transfer->deadline.start();
    m_transfers.insert(key, transfer);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_x->c, requestor, XCB_CW_EVENT_MASK, &mask);
    const quint32 size = quint32(form->data.size());
    xcb_change_property(
        m_x->c, XCB_PROP_MODE_REPLACE, requestor, property, m_x->incr, 32, 1, &size);
    return true;
}

void X11SelectionPasteboard::propertyDeleted(quint32 window, quint32 property)
{
    Transfer *transfer = m_transfers.value(QPair(window, property));
    if (!transfer)
        return;
    if (transfer->finished) {
        endTransfer(window, property);
        return;
    }
    sendNextChunk(*transfer);
}

void X11SelectionPasteboard::sendNextChunk(Transfer &transfer)
{
    const QByteArray chunk = transfer.data.mid(transfer.sent, m_x->chunkBytes);
    transfer.sent += chunk.size();
    transfer.finished = chunk.isEmpty();
    xcb_change_property(m_x->c, XCB_PROP_MODE_REPLACE, transfer.requestor, transfer.property,
        transfer.type, 8, quint32(chunk.size()), chunk.constData());
    if (transfer.finished)
        endTransfer(transfer.requestor, transfer.property);
    else
        transfer.deadline.start();
}

void X11SelectionPasteboard::endTransfer(quint32 window, quint32 property)
{
    delete m_transfers.take(QPair(window, property));
    const bool more = std::any_of(m_transfers.keyBegin(), m_transfers.keyEnd(),
        [&](const QPair<quint32, quint32> &key) { return key.first == window; });
    if (!more) {
        // The requestor's window tells us nothing more; it may be gone already.
        const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
        xcb_discard_reply(m_x->c,
            xcb_change_window_attributes_checked(m_x->c, window, XCB_CW_EVENT_MASK, &none)
                .sequence);
    }
    xcb_flush(m_x->c);
}

void X11SelectionPasteboard::own(ClipboardContents contents, QList<OfferedForm> forms)
{
    m_forms = std::move(forms);
    for (const OfferedForm &form : std::as_const(m_forms))
        m_x->atom(form.mimeType); // known before anybody asks
    m_awaitingOwnClear = m_forms.isEmpty();
    const xcb_window_t owner = m_forms.isEmpty() ? xcb_window_t(XCB_NONE) : m_x->window;
    m_lastOwnRequest
        = xcb_set_selection_owner(m_x->c, owner, m_x->clipboard, XCB_CURRENT_TIME).sequence;
    xcb_flush(m_x->c);
    m_queue.ownWrite(); // what another program copied before is no longer there to read
    m_contents = std::move(contents);
    countChange(true);
}

void X11SelectionPasteboard::countChange(bool own)
{
    m_ownChange = own;
    ++m_changeCount;
    Q_EMIT changeCountChanged();
}

void X11SelectionPasteboard::setReadingPaused(bool paused)
{
    m_paused = paused;
    m_queue.setPaused(paused);
}

void X11SelectionPasteboard::clear()
{
    own({}, {});
}

void X11SelectionPasteboard::writeString(const QString &text)
{
    own({ text, {}, false, false }, clipboardformats::formsForText(text));
}

void X11SelectionPasteboard::writeFileURLs(const QList<QUrl> &urls)
{
    QStringList encoded;
    for (const QUrl &url : urls)
        encoded.append(QString::fromUtf8(url.toEncoded()));
    own({ clipboardformats::textOfFileURLs(urls), encoded, false, false },
        clipboardformats::formsForFileUrls(urls));
}

} // namespace nookary
