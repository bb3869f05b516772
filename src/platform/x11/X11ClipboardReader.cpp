// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11ClipboardReader.h"

#include "platform/x11/X11Connection.h"

#include <QElapsedTimer>
#include <QHash>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <poll.h>

Q_LOGGING_CATEGORY(lcClipboardReader, "nookary.clipboard")

namespace nookary {

class X11ClipboardReader::Worker final : public QObject {
public:
    static std::unique_ptr<Worker> open()
    {
        xcb_connection_t *c = xcb_connect(nullptr, nullptr);
        if (!c || xcb_connection_has_error(c)) {
            if (c)
                xcb_disconnect(c);
            return nullptr;
        }
        auto worker = std::unique_ptr<Worker>(new Worker(c));
        worker->watchOwners();
        return worker;
    }

    ~Worker() override { xcb_disconnect(m_c); }

    ClipboardContents readContents(bool onlyIfChangesUnannounced = false)
    {
        const xcb_window_t owner = syncOwner();
        const quint64 ownerChanges = m_ownerChanges;
        // A window of its own for every read: an owner whose transfer was abandoned (too
        // slow, or past the cap) may go on writing to the last one, and must never mix its
        // leftovers into the next read.
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        m_window = xcb_generate_id(m_c);
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
            XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_EVENT_MASK, &mask);
        ClipboardContents contents = readInto(onlyIfChangesUnannounced);
        xcb_destroy_window(m_c, m_window);
        xcb_flush(m_c);
        // Whose copy it was is known only when one owner held the clipboard all along.
        if (owner != XCB_NONE && owner == m_owner && syncOwner() == owner
            && m_ownerChanges == ownerChanges)
            contents.origin = X11::selectionOrigin(owner, m_ownerSince);
        return contents;
    }

    // Between reads, owner changes are noted as they come, so that none is missed and none
    // piles up. On the worker's thread.
    void followOwners()
    {
        if (m_xfixesEvent == 0)
            return;
        auto *notifier
            = new QSocketNotifier(xcb_get_file_descriptor(m_c), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            while (X11::Owned<xcb_generic_event_t> event { xcb_poll_for_event(m_c) })
                note(event.get());
        });
    }

private:
    // XFixes tells this connection of every new clipboard owner and the time it took the
    // clipboard, which names the copy read from it. Without XFixes no copy has an origin.
    void watchOwners()
    {
        const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(m_c, &xcb_xfixes_id);
        if (!xfixes || !xfixes->present)
            return;
        X11::Owned<xcb_xfixes_query_version_reply_t>(xcb_xfixes_query_version_reply(m_c,
            xcb_xfixes_query_version(m_c, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
            nullptr));
        m_xfixesEvent = quint8(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        const xcb_window_t watcher = xcb_generate_id(m_c);
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, watcher, screen->root, 0, 0, 1, 1, 0,
            XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
        xcb_xfixes_select_selection_input(m_c, watcher, atom("CLIPBOARD"),
            XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
                | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
                | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
        xcb_flush(m_c);
        // An owner from before is never told: known by its window alone (a Tk program that
        // kept the clipboard since, whose later copies are found by comparing).
        m_owner = syncOwner();
    }

    void note(const xcb_generic_event_t *event)
    {
        if (m_xfixesEvent == 0 || (event->response_type & 0x7f) != m_xfixesEvent)
            return;
        const auto *n = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event);
        if (n->selection != atom("CLIPBOARD"))
            return;
        ++m_ownerChanges;
        const bool taken = n->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER;
        m_owner = taken ? n->owner : xcb_window_t(XCB_NONE);
        m_ownerSince = taken ? n->selection_timestamp : 0;
    }

    // The clipboard's owner now. The reply comes after every event sent before it, so the
    // owner changes up to now are noted as well; other events left over are dropped.
    xcb_window_t syncOwner()
    {
        const X11::Owned<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(
            m_c, xcb_get_selection_owner(m_c, atom("CLIPBOARD")), nullptr));
        while (X11::Owned<xcb_generic_event_t> event { xcb_poll_for_event(m_c) })
            note(event.get());
        return reply ? reply->owner : xcb_window_t(XCB_NONE);
    }

    ClipboardContents readInto(bool onlyIfChangesUnannounced)
    {
        QElapsedTimer clock;
        clock.start();
        ClipboardContents contents;
        const auto targets = convert(atom("TARGETS"), clock);
        if (!targets)
            return contents; // no owner, or it does not answer
        QList<xcb_atom_t> offered;
        for (qsizetype i = 0; i + 4 <= targets->size(); i += 4)
            offered.append(*reinterpret_cast<const xcb_atom_t *>(targets->constData() + i));
        // Tk keeps the clipboard from one copy to the next and changes only what it serves.
        contents.mayChangeUnannounced = offered.contains(atom("TK_APPLICATION"));
        if (onlyIfChangesUnannounced && !contents.mayChangeUnannounced)
            return {};

        const xcb_atom_t hint = atom(clipboardformats::passwordHintType);
        if (offered.contains(hint)) {
            const auto value = convert(hint, clock);
            if (value && value->trimmed() == "secret") {
                contents.secret = true;
                return contents; // nothing more is read of a secret
            }
        }
        const xcb_atom_t uriList = atom(clipboardformats::uriListType);
        if (offered.contains(uriList)) {
            if (const auto list = convert(uriList, clock, &contents.truncated))
                contents.fileURLs = clipboardformats::urlsOfList(*list);
        }
        for (const QByteArray &name : clipboardformats::textTypes) {
            const xcb_atom_t type = atom(name.constData());
            if (!offered.contains(type))
                continue;
            bool cut = false;
            if (const auto text = convert(type, clock, &cut)) {
                contents.text = clipboardformats::decodeText(name, *text, cut);
                contents.truncated = contents.truncated || cut;
                break;
            }
        }
        return contents;
    }

    explicit Worker(xcb_connection_t *c)
        : m_c(c)
    {
        m_property = atom("NOOKARY_CLIPBOARD");
    }

    xcb_atom_t atom(const char *name)
    {
        const QByteArray key(name);
        if (const auto it = m_atoms.constFind(key); it != m_atoms.constEnd())
            return *it;
        const xcb_atom_t a = X11::internAtom(m_c, name);
        m_atoms.insert(key, a);
        return a;
    }

    // The next event that `accept` wants, before the read's deadline; others are dropped.
    template <typename Accept>
    X11::Owned<xcb_generic_event_t> waitFor(const QElapsedTimer &clock, Accept accept)
    {
        while (true) {
            while (X11::Owned<xcb_generic_event_t> event { xcb_poll_for_event(m_c) }) {
                note(event.get());
                if (accept(event.get()))
                    return event;
            }
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0 || xcb_connection_has_error(m_c))
                return nullptr;
            pollfd fd { xcb_get_file_descriptor(m_c), POLLIN, 0 };
            ::poll(&fd, 1, int(left));
        }
    }

    // Asks the owner for the clipboard as `target`; nothing when it refuses or is too slow.
    // `cut` is set when only part of it arrived.
    std::optional<QByteArray> convert(
        xcb_atom_t target, const QElapsedTimer &clock, bool *cut = nullptr)
    {
        xcb_convert_selection(
            m_c, m_window, atom("CLIPBOARD"), target, m_property, XCB_CURRENT_TIME);
        xcb_flush(m_c);
        const auto event = waitFor(clock, [&](xcb_generic_event_t *e) {
            if ((e->response_type & 0x7f) != XCB_SELECTION_NOTIFY)
                return false;
            const auto *n = reinterpret_cast<xcb_selection_notify_event_t *>(e);
            return n->requestor == m_window && n->target == target;
        });
        if (!event)
            return std::nullopt;
        if (reinterpret_cast<const xcb_selection_notify_event_t *>(event.get())->property
            == XCB_ATOM_NONE)
            return std::nullopt;
        bool partial = false;
        auto data = takeProperty(clock, partial);
        if (cut && data && partial)
            *cut = true;
        return data;
    }

    std::optional<QByteArray> takeProperty(const QElapsedTimer &clock, bool &partial)
    {
        const X11::Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_c,
            xcb_get_property(
                m_c, 1, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, maxBytes / 4),
            nullptr));
        if (!reply)
            return std::nullopt;
        const bool incremental = reply->type == atom("INCR");
        partial = reply->bytes_after > 0;
        QByteArray data(static_cast<const char *>(xcb_get_property_value(reply.get())),
            xcb_get_property_value_length(reply.get()));
        xcb_flush(m_c);
        if (!incremental)
            return data;

        // INCR: the owner sends chunks, each announced by a new value of the property,
        // until an empty one. Reading stops at the cap; the owner then gives up by itself.
        data.clear();
        while (data.size() < maxBytes) {
            const auto event = waitFor(clock, [&](xcb_generic_event_t *e) {
                if ((e->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                    return false;
                const auto *p = reinterpret_cast<xcb_property_notify_event_t *>(e);
                return p->window == m_window && p->atom == m_property
                    && p->state == XCB_PROPERTY_NEW_VALUE;
            });
            if (!event) {
                partial = true;
                return data.isEmpty() ? std::nullopt : std::optional(data); // what arrived
            }
            const X11::Owned<xcb_get_property_reply_t> chunk(xcb_get_property_reply(m_c,
                xcb_get_property(
                    m_c, 1, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, maxBytes / 4),
                nullptr));
            xcb_flush(m_c);
            if (!chunk)
                return std::nullopt;
            const int length = xcb_get_property_value_length(chunk.get());
            data.append(static_cast<const char *>(xcb_get_property_value(chunk.get())), length);
            if (length == 0)
                return data;
        }
        partial = true;
        data.truncate(maxBytes);
        return data;
    }

    xcb_connection_t *m_c;
    xcb_window_t m_window = 0;
    xcb_atom_t m_property = 0;
    quint8 m_xfixesEvent = 0; // 0: no XFixes
    quint64 m_ownerChanges = 0;
    xcb_window_t m_owner = XCB_NONE; // as XFixes told last; none while unknown
    xcb_timestamp_t m_ownerSince = 0;
    QHash<QByteArray, xcb_atom_t> m_atoms;
};

std::unique_ptr<X11ClipboardReader> X11ClipboardReader::create(int readsAtOnce)
{
    std::unique_ptr<X11ClipboardReader> reader(new X11ClipboardReader);
    for (int i = 0; i < std::max(1, readsAtOnce); ++i) {
        auto worker = Worker::open();
        if (!worker)
            break;
        reader->addLane(std::move(worker));
    }
    if (reader->m_lanes.empty())
        return nullptr;
    return reader;
}

void X11ClipboardReader::addLane(std::unique_ptr<Worker> worker)
{
    auto &lane = *m_lanes.emplace_back(std::make_unique<Lane>());
    lane.worker = worker.release();
    lane.thread.setObjectName(QStringLiteral("clipboard reader"));
    lane.worker->moveToThread(&lane.thread);
    connect(&lane.thread, &QThread::finished, lane.worker, &QObject::deleteLater);
    lane.thread.start();
    QMetaObject::invokeMethod(lane.worker, [worker = lane.worker] { worker->followOwners(); });
}

X11ClipboardReader::~X11ClipboardReader()
{
    for (const auto &lane : m_lanes) {
        lane->thread.quit();
        lane->thread.wait();
    }
}

void X11ClipboardReader::read(std::function<void(ClipboardContents)> done)
{
    readOn(false, std::move(done));
}

void X11ClipboardReader::readIfChangesUnannounced(std::function<void(ClipboardContents)> done)
{
    readOn(true, std::move(done));
}

void X11ClipboardReader::readOn(bool onlyUnannounced, std::function<void(ClipboardContents)> done)
{
    Lane *lane = m_lanes.front().get();
    for (const auto &other : m_lanes) {
        if (other->reads < lane->reads)
            lane = other.get();
    }
    ++lane->reads;
    // The workers run only while this object lives (the destructor joins their threads),
    // and a result still queued when this object goes is dropped with it.
    QMetaObject::invokeMethod(lane->worker, [this, lane, onlyUnannounced, done = std::move(done)] {
        ClipboardContents contents = lane->worker->readContents(onlyUnannounced);
        QMetaObject::invokeMethod(
            this,
            [lane, done, contents] {
                --lane->reads;
                done(contents);
            },
            Qt::QueuedConnection);
    });
}

} // namespace nookary
