// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11ClipboardReader.h"

#include "platform/x11/X11Connection.h"

#include <QElapsedTimer>
#include <QHash>
#include <QLoggingCategory>
#include <QSet>
#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <cstdlib>
#include <deque>

#include <poll.h>

Q_LOGGING_CATEGORY(lcClipboardReader, "nookary.clipboard")

namespace nookary {

class X11ClipboardReader::Worker final : public QObject {
public:
    static std::unique_ptr<Worker> open(Requests requests)
    {
        xcb_connection_t *c = xcb_connect(nullptr, nullptr);
        if (!c || xcb_connection_has_error(c)) {
            if (c)
                xcb_disconnect(c);
            return nullptr;
        }
        auto worker = std::unique_ptr<Worker>(new Worker(c, requests));
        worker->watchOwners();
        return worker;
    }

    ~Worker() override { xcb_disconnect(m_c); }

    ClipboardContents readContents(bool onlyIfChangesUnannounced = false)
    {
        sweepParked();
        QElapsedTimer clock;
        clock.start();
        // The owner changed while the requests went out, so that some may have gone to the
        // next one: asked again, once (the next owner's copy has a read of its own too).
        for (int attempt = 0; attempt < 2; ++attempt) {
            openWindow();
            const xcb_window_t owner = syncOwner();
            if (owner == XCB_NONE) {
                closeWindow({});
                return {};
            }
            const quint64 ownerChanges = m_ownerChanges;
            const bool ownerKnown = owner == m_owner;
            const xcb_timestamp_t ownerSince = m_ownerSince;
            // The list of forms and the text are asked at once, so that an owner that is busy
            // for a moment answers both once free, even when it lost the clipboard meanwhile;
            // asked one after another, the text would be asked of whoever owns it by then.
            // What only some copies need (a URL list, the password hint) is asked once
            // offered, of the same owner only.
            ask(atom("TARGETS"));
            // A look for unannounced changes asks no text of an owner that makes none: it
            // may serve a single paste (xclip -l 1).
            if (m_requests == Requests::Together && !onlyIfChangesUnannounced)
                ask(atom("UTF8_STRING"));
            xcb_flush(m_c);
            if (syncOwner() != owner || m_ownerChanges != ownerChanges) {
                closeWindow({ owner, m_owner });
                continue;
            }
            ClipboardContents contents
                = readInto(owner, ownerChanges, clock, onlyIfChangesUnannounced);
            closeWindow({ owner });
            // Whose copy it was is told only when one owner held the clipboard all along.
            if (ownerKnown && syncOwner() == owner && m_ownerChanges == ownerChanges)
                contents.origin = X11::selectionOrigin(owner, ownerSince);
            return contents;
        }
        return {};
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
                take(event.get());
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
    // owner changes up to now are noted as well.
    xcb_window_t syncOwner()
    {
        const X11::Owned<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(
            m_c, xcb_get_selection_owner(m_c, atom("CLIPBOARD")), nullptr));
        while (X11::Owned<xcb_generic_event_t> event { xcb_poll_for_event(m_c) })
            take(event.get());
        return reply ? reply->owner : xcb_window_t(XCB_NONE);
    }

    // What the owner answered to the requests asked at once, taken in the order of need.
    ClipboardContents readInto(xcb_window_t owner, quint64 ownerChanges, const QElapsedTimer &clock,
        bool onlyIfChangesUnannounced)
    {
        ClipboardContents contents;
        const auto targets = answer(atom("TARGETS"), clock);
        if (!targets)
            return contents; // it does not answer
        QList<xcb_atom_t> offered;
        for (qsizetype i = 0; i + 4 <= targets->size(); i += 4)
            offered.append(*reinterpret_cast<const xcb_atom_t *>(targets->constData() + i));
        // Tk keeps the clipboard from one copy to the next and changes only what it serves.
        contents.mayChangeUnannounced = offered.contains(atom("TK_APPLICATION"));
        if (onlyIfChangesUnannounced && !contents.mayChangeUnannounced)
            return {};

        // A copy offering the hint that does not say it is no secret is taken as one.
        const xcb_atom_t hint = atom(clipboardformats::passwordHintType);
        if (offered.contains(hint)) {
            const auto value
                = askOf(hint, owner, ownerChanges) ? answer(hint, clock) : std::nullopt;
            if (!value || value->trimmed() == "secret") {
                contents.secret = true;
                return contents; // nothing more is taken of a secret
            }
        }
        const xcb_atom_t uriList = atom(clipboardformats::uriListType);
        if (offered.contains(uriList) && askOf(uriList, owner, ownerChanges)) {
            if (const auto list = answer(uriList, clock, &contents.truncated))
                contents.fileURLs = clipboardformats::urlsOfList(*list);
        }
        for (const QByteArray &name : clipboardformats::textTypes) {
            const xcb_atom_t type = atom(name.constData());
            if (!offered.contains(type))
                continue;
            if (!askOf(type, owner, ownerChanges))
                break;
            bool cut = false;
            if (const auto text = answer(type, clock, &cut)) {
                contents.text = clipboardformats::decodeText(name, *text, cut);
                contents.truncated = contents.truncated || cut;
                break;
            }
        }
        return contents;
    }

    // Asks `owner` for `target` unless asked already; false when the owner changed, so that
    // the answer could come from another.
    bool askOf(xcb_atom_t target, xcb_window_t owner, quint64 ownerChanges)
    {
        if (m_asked.contains(target))
            return true;
        if (syncOwner() != owner || m_ownerChanges != ownerChanges)
            return false;
        ask(target);
        xcb_flush(m_c);
        return syncOwner() == owner && m_ownerChanges == ownerChanges;
    }

    // A window of its own for every request of every read: an owner whose transfer was
    // abandoned (too slow, or past the cap) may go on writing to it, and must never mix its
    // leftovers into another; and an owner in an incremental transfer (xclip) may take the
    // deletion of any property of its requestor's window as the cue for its next chunk.
    void openWindow()
    {
        m_asked.clear();
        m_windows.clear();
        m_answers.clear();
        m_taken.clear();
        m_begun.clear();
        m_newValues.clear();
    }

    xcb_window_t newWindow()
    {
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        const xcb_window_t window = xcb_generate_id(m_c);
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
            XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, XCB_CW_EVENT_MASK, &mask);
        return window;
    }

    // An owner writes into the requestor's window, and an Xlib owner (xclip, xsel) exits on
    // the error when that window is gone. So a window goes only once its request was
    // answered and its transfer ended; else it is parked, and destroyed once the owners
    // that may write to it are gone, or long after.
    void closeWindow(const QList<xcb_window_t> &owners)
    {
        for (const xcb_atom_t target : std::as_const(m_asked)) {
            const xcb_window_t window = m_windows.value(target);
            const auto answered = m_answers.constFind(target);
            bool settled = true;
            if (answered == m_answers.constEnd())
                settled = false; // the owner may still answer
            else if (*answered == XCB_ATOM_NONE || m_taken.contains(target))
                settled = true;
            else if (m_begun.contains(target))
                settled = false; // a transfer given up midway
            else
                settled = settleUntaken(window, *answered); // an INCR may wait to begin
            if (settled) {
                xcb_destroy_window(m_c, window);
                continue;
            }
            // Nothing of a copy stays on the server: what is there goes now, what comes
            // later as it comes (which also lets an incremental transfer run to its end).
            xcb_delete_property(m_c, window, propertyFor(target));
            m_parked.push_back({ window, owners, m_uptime.elapsed() });
            if (m_parked.size() > maxParked) {
                xcb_destroy_window(m_c, m_parked.front().window);
                m_parked.pop_front();
            }
        }
        xcb_flush(m_c);
        m_windows.clear();
    }

    // An answer not needed: deleted, as the owner expects once it is read, unless it opens
    // an incremental transfer, which the deletion would start.
    bool settleUntaken(xcb_window_t window, xcb_atom_t property)
    {
        const X11::Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_c,
            xcb_get_property(m_c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 0), nullptr));
        if (!reply || reply->type == atom("INCR"))
            return false;
        xcb_delete_property(m_c, window, property);
        return true;
    }

    // Parked windows whose owners have all left, or parked for long.
    void sweepParked()
    {
        const qint64 now = m_uptime.elapsed();
        for (auto it = m_parked.begin(); it != m_parked.end();) {
            bool gone = now - it->since > parkedMs;
            if (!gone) {
                gone = std::none_of(it->owners.begin(), it->owners.end(),
                    [this](xcb_window_t owner) { return windowExists(owner); });
            }
            if (gone) {
                xcb_destroy_window(m_c, it->window);
                it = m_parked.erase(it);
            } else {
                ++it;
            }
        }
        xcb_flush(m_c);
    }

    bool windowExists(xcb_window_t window)
    {
        if (window == XCB_NONE)
            return false;
        xcb_generic_error_t *error = nullptr;
        const X11::Owned<xcb_get_window_attributes_reply_t> reply(
            xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, window), &error));
        std::free(error);
        return bool(reply);
    }

    Worker(xcb_connection_t *c, Requests requests)
        : m_c(c)
        , m_requests(requests)
    {
        m_uptime.start();
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

    // Every event is noted as it comes: the answers to this read's requests, and new values
    // of its window's properties, which may come in any order.
    void take(const xcb_generic_event_t *event)
    {
        note(event);
        const quint8 type = event->response_type & 0x7f;
        if (type == XCB_SELECTION_NOTIFY) {
            const auto *n = reinterpret_cast<const xcb_selection_notify_event_t *>(event);
            if (n->requestor != XCB_NONE && m_windows.value(n->target) == n->requestor)
                m_answers.insert(n->target, n->property);
            else if (n->property != XCB_ATOM_NONE && isParked(n->requestor))
                dropLate(n->requestor, n->property);
        } else if (type == XCB_PROPERTY_NOTIFY) {
            const auto *p = reinterpret_cast<const xcb_property_notify_event_t *>(event);
            if (p->state != XCB_PROPERTY_NEW_VALUE || p->window == XCB_NONE)
                return;
            if (m_windows.key(p->window) != XCB_NONE)
                m_newValues.insert(p->atom);
            else if (isParked(p->window))
                dropLate(p->window, p->atom);
        }
    }

    bool isParked(xcb_window_t window) const
    {
        return window != XCB_NONE
            && std::any_of(m_parked.begin(), m_parked.end(),
                [window](const Parked &parked) { return parked.window == window; });
    }

    // A late answer into a parked window, not wanted.
    void dropLate(xcb_window_t window, xcb_atom_t property)
    {
        xcb_delete_property(m_c, window, property);
        xcb_flush(m_c);
    }

    // Until `done`, or the read's deadline.
    template <typename Done> bool waitUntil(const QElapsedTimer &clock, Done done)
    {
        while (true) {
            while (X11::Owned<xcb_generic_event_t> event { xcb_poll_for_event(m_c) })
                take(event.get());
            if (done())
                return true;
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0 || xcb_connection_has_error(m_c))
                return false;
            pollfd fd { xcb_get_file_descriptor(m_c), POLLIN, 0 };
            ::poll(&fd, 1, int(left));
        }
    }

    // Each target into a property of its own, so that answers in any order stay apart.
    xcb_atom_t propertyFor(xcb_atom_t target)
    {
        const QByteArray name = "NOOKARY_" + QByteArray::number(target);
        return atom(name.constData());
    }

    void ask(xcb_atom_t target)
    {
        m_asked.insert(target);
        const xcb_window_t window = newWindow();
        m_windows.insert(target, window);
        xcb_convert_selection(
            m_c, window, atom("CLIPBOARD"), target, propertyFor(target), XCB_CURRENT_TIME);
    }

    // The owner's answer to `target`; nothing when it refuses or is too slow. `cut` is set
    // when only part of it arrived.
    std::optional<QByteArray> answer(
        xcb_atom_t target, const QElapsedTimer &clock, bool *cut = nullptr)
    {
        if (!waitUntil(clock, [&] { return m_answers.contains(target); }))
            return std::nullopt;
        const xcb_atom_t property = m_answers.value(target);
        if (property == XCB_ATOM_NONE)
            return std::nullopt;
        bool partial = false;
        bool ended = false;
        m_begun.insert(target);
        auto data = takeProperty(m_windows.value(target), property, clock, partial, ended);
        if (ended)
            m_taken.insert(target);
        if (cut && data && partial)
            *cut = true;
        return data;
    }

    // `ended`: the owner is done with it, so that the window may go.
    std::optional<QByteArray> takeProperty(xcb_window_t window, xcb_atom_t property,
        const QElapsedTimer &clock, bool &partial, bool &ended)
    {
        // Values seen so far are old: the next one comes after this deletion.
        m_newValues.remove(property);
        const X11::Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(m_c,
            xcb_get_property(m_c, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, maxBytes / 4),
            nullptr));
        if (!reply)
            return std::nullopt;
        const bool incremental = reply->type == atom("INCR");
        partial = reply->bytes_after > 0;
        QByteArray data(static_cast<const char *>(xcb_get_property_value(reply.get())),
            xcb_get_property_value_length(reply.get()));
        xcb_flush(m_c);
        if (!incremental) {
            ended = true;
            return data;
        }

        // INCR: the owner sends chunks, each announced by a new value of the property,
        // until an empty one. Past the cap the rest is taken and dropped until the deadline:
        // an owner left waiting for the next deletion (xclip) serves no one else.
        data.clear();
        while (true) {
            if (!waitUntil(clock, [&] { return m_newValues.contains(property); })) {
                partial = true;
                return data.isEmpty() ? std::nullopt : std::optional(data); // what arrived
            }
            m_newValues.remove(property);
            const X11::Owned<xcb_get_property_reply_t> chunk(xcb_get_property_reply(m_c,
                xcb_get_property(
                    m_c, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, maxBytes / 4),
                nullptr));
            xcb_flush(m_c);
            if (!chunk)
                return std::nullopt;
            const int length = xcb_get_property_value_length(chunk.get());
            if (length == 0) {
                ended = true;
                return data;
            }
            const qsizetype room = maxBytes - data.size();
            partial = partial || length > room;
            data.append(static_cast<const char *>(xcb_get_property_value(chunk.get())),
                std::min<qsizetype>(length, room));
        }
    }

    struct Parked {
        xcb_window_t window;
        QList<xcb_window_t> owners; // that may still write to it
        qint64 since;
    };
    static constexpr std::size_t maxParked = 64;
    static constexpr qint64 parkedMs = 10 * 60 * 1000;

    xcb_connection_t *m_c;
    const Requests m_requests;
    QElapsedTimer m_uptime;
    // What the read asked, into which window, what was answered (the property, or none: refused),
    // what it began and took whole, and which properties have a value not yet taken.
    QSet<xcb_atom_t> m_asked;
    QHash<xcb_atom_t, xcb_window_t> m_windows; // by target
    QHash<xcb_atom_t, xcb_atom_t> m_answers;
    QSet<xcb_atom_t> m_begun;
    QSet<xcb_atom_t> m_taken;
    QSet<xcb_atom_t> m_newValues;
    std::deque<Parked> m_parked;
    quint8 m_xfixesEvent = 0; // 0: no XFixes
    quint64 m_ownerChanges = 0;
    xcb_window_t m_owner = XCB_NONE; // as XFixes told last; none while unknown
    xcb_timestamp_t m_ownerSince = 0;
    QHash<QByteArray, xcb_atom_t> m_atoms;
};

std::unique_ptr<X11ClipboardReader> X11ClipboardReader::create(int readsAtOnce, Requests requests)
{
    std::unique_ptr<X11ClipboardReader> reader(new X11ClipboardReader);
    for (int i = 0; i < std::max(1, readsAtOnce); ++i) {
        auto worker = Worker::open(requests);
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
