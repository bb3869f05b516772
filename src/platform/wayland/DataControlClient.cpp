// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataControlClient.h"

#include "platform/ClipboardFormats.h"

#include "ext-data-control-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"
#include <wayland-client.h>

#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

// Debug lines (what each selection offers, our own writes) only when asked for, with
// QT_LOGGING_RULES="nookary.clipboard.debug=true".
Q_LOGGING_CATEGORY(lcDataControl, "nookary.clipboard", QtInfoMsg)

namespace nookary {

using namespace datacontrol;

namespace {

// Sends one form of our copy to a program that pastes it, without holding up the client's
// thread: a reader that reads slowly is served as it reads, one that never reads is given up.
class PipeWriter final : public QObject {
public:
    static constexpr int deadlineMs = 10000;

    PipeWriter(int fd, QByteArray data, QObject *parent)
        : QObject(parent)
        , m_fd(fd)
        , m_data(std::move(data))
        , m_notifier(fd, QSocketNotifier::Write, this)
    {
        ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
        QObject::connect(&m_notifier, &QSocketNotifier::activated, this, &PipeWriter::writeSome);
        QTimer::singleShot(deadlineMs, this, &PipeWriter::finish);
    }

    ~PipeWriter() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

private:
    void writeSome()
    {
        while (m_written < m_data.size()) {
            const ssize_t n
                = ::write(m_fd, m_data.constData() + m_written, size_t(m_data.size() - m_written));
            if (n > 0) {
                m_written += n;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return; // the pipe is full: on when the reader made room
            } else {
                break; // the reader closed its end (EPIPE, SIGPIPE being ignored)
            }
        }
        finish();
    }

    void finish()
    {
        if (m_fd < 0)
            return;
        m_notifier.setEnabled(false);
        ::close(std::exchange(m_fd, -1));
        deleteLater();
    }

    int m_fd;
    QByteArray m_data;
    qsizetype m_written = 0;
    QSocketNotifier m_notifier;
};

zwlr_data_control_offer_v1 *offerOf(OfferBook::Id id)
{
    return static_cast<zwlr_data_control_offer_v1 *>(const_cast<void *>(id));
}

} // namespace

const wl_registry_listener DataControlClient::registryListener = {
    [](void *self, wl_registry *registry, uint32_t name, const char *interface, uint32_t version) {
        static_cast<DataControlClient *>(self)->global(registry, name, interface, version);
    },
    [](void *self, wl_registry *, uint32_t name) {
        static_cast<DataControlClient *>(self)->globalRemoved(name);
    },
};

const zwlr_data_control_device_v1_listener DataControlClient::deviceListener = {
    [](void *self, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer) {
        static_cast<DataControlClient *>(self)->offerIntroduced(offer);
    },
    [](void *self, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer) {
        static_cast<DataControlClient *>(self)->selection(offer);
    },
    [](void *self, zwlr_data_control_device_v1 *) {
        static_cast<DataControlClient *>(self)->stop(
            "the compositor ended the data-control device");
    },
    [](void *self, zwlr_data_control_device_v1 *, zwlr_data_control_offer_v1 *offer) {
        static_cast<DataControlClient *>(self)->primarySelection(offer);
    },
};

const zwlr_data_control_offer_v1_listener DataControlClient::offerListener = {
    [](void *self, zwlr_data_control_offer_v1 *offer, const char *mimeType) {
        auto *client = static_cast<DataControlClient *>(self);
        if (const auto it = client->m_offerTypes.find(offer); it != client->m_offerTypes.end())
            it->append(QByteArray(mimeType));
    },
};

const zwlr_data_control_source_v1_listener DataControlClient::sourceListener = {
    [](void *self, zwlr_data_control_source_v1 *source, const char *mimeType, int32_t fd) {
        static_cast<DataControlClient *>(self)->send(source, mimeType, fd);
    },
    [](void *self, zwlr_data_control_source_v1 *source) {
        static_cast<DataControlClient *>(self)->cancelled(source);
    },
};

const wl_callback_listener DataControlClient::syncListener = {
    [](void *self, wl_callback *callback, uint32_t) {
        static_cast<DataControlClient *>(self)->synced(callback);
    },
};

std::unique_ptr<DataControlClient> DataControlClient::connect()
{
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return nullptr;
    std::unique_ptr<DataControlClient> client(new DataControlClient(display));
    client->m_registry = wl_display_get_registry(display);
    wl_registry_add_listener(client->m_registry, &registryListener, client.get());
    if (wl_display_roundtrip(display) < 0 || !client->m_seat)
        return nullptr;
    const std::optional<ProtocolName> chosen = chooseProtocol(
        client->m_standardOffered.has_value(), client->m_wlrootsOffered.has_value());
    if (!chosen)
        return nullptr;
    client->m_protocol = &protocol(*chosen);
    const Offered offered = *(
        *chosen == ProtocolName::standard ? client->m_standardOffered : client->m_wlrootsOffered);
    // The wlroots name's version 2 only adds the primary selection, which is ignored; it is
    // taken so that its offers can be destroyed as they come.
    client->m_manager = static_cast<zwlr_data_control_manager_v1 *>(
        wl_registry_bind(client->m_registry, offered.name, client->m_protocol->manager,
            std::min(offered.version, client->m_protocol->maxVersion)));
    client->m_managerName = offered.name;
    client->m_device = getDataDevice(*client->m_protocol, client->m_manager, client->m_seat);
    zwlr_data_control_device_v1_add_listener(client->m_device, &deviceListener, client.get());
    // The device names the current selection at once: what was copied before we came.
    if (wl_display_roundtrip(display) < 0)
        return nullptr;
    client->m_started = true;
    return client;
}

DataControlClient::DataControlClient(wl_display *display)
    : m_display(display)
{
}

DataControlClient::~DataControlClient()
{
    delete m_notifier; // before the connection closes its socket
    destroyOffers(m_offers.takeAll());
    for (auto it = m_sources.keyBegin(); it != m_sources.keyEnd(); ++it)
        zwlr_data_control_source_v1_destroy(*it);
    for (wl_callback *callback : std::as_const(m_syncs))
        wl_callback_destroy(callback);
    if (m_device)
        zwlr_data_control_device_v1_destroy(m_device);
    if (m_manager)
        zwlr_data_control_manager_v1_destroy(m_manager);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

void DataControlClient::setReceiver(
    QObject *receiver, SelectionHandler selectionChanged, ContentsHandler contentsRead)
{
    m_receiver = receiver;
    m_selectionChanged = std::move(selectionChanged);
    m_contentsRead = std::move(contentsRead);
}

void DataControlClient::start()
{
    m_notifier = new QSocketNotifier(wl_display_get_fd(m_display), QSocketNotifier::Read, this);
    QObject::connect(
        m_notifier, &QSocketNotifier::activated, this, &DataControlClient::dispatchIncoming);
    dispatchIncoming();
}

void DataControlClient::dispatchIncoming()
{
    // This connection is used on this thread alone, so reading and dispatching need no
    // hand-over between threads; the notifier fires again while data is left.
    if (wl_display_prepare_read(m_display) == 0 && wl_display_read_events(m_display) < 0) {
        m_notifier->setEnabled(false);
        stop("the connection to the compositor broke");
        return;
    }
    if (wl_display_dispatch_pending(m_display) < 0) {
        m_notifier->setEnabled(false);
        stop("the connection to the compositor broke");
        return;
    }
    wl_display_flush(m_display);
}

void DataControlClient::global(
    wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
{
    if (!m_seat && qstrcmp(interface, wl_seat_interface.name) == 0) {
        m_seat = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        m_seatName = name;
    } else if (qstrcmp(interface, ext_data_control_manager_v1_interface.name) == 0) {
        // Bound once every global was named, so that the standard name wins wherever it is
        // listed.
        m_standardOffered = Offered { name, version };
    } else if (qstrcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0) {
        m_wlrootsOffered = Offered { name, version };
    }
}

void DataControlClient::globalRemoved(uint32_t name)
{
    if (m_manager && name == m_managerName)
        stop("the compositor withdrew data-control");
    else if (m_seat && name == m_seatName)
        stop("the seat went away");
}

void DataControlClient::stop(const char *reason)
{
    if (m_stopped)
        return;
    m_stopped = true;
    qCWarning(lcDataControl,
        "Clipboard capture stopped: %s. Copies made in other programs are "
        "no longer recorded.",
        reason);
    destroyOffers(m_offers.takeAll());
    if (m_device)
        zwlr_data_control_device_v1_destroy(std::exchange(m_device, nullptr));
    wl_display_flush(m_display);
}

void DataControlClient::offerIntroduced(zwlr_data_control_offer_v1 *offer)
{
    m_offerTypes.insert(offer, {});
    zwlr_data_control_offer_v1_add_listener(offer, &offerListener, this);
    m_offers.introduce(offer);
}

void DataControlClient::selection(zwlr_data_control_offer_v1 *offer)
{
    destroyOffers(m_offers.selectionChanged(offer));
    const quint64 number = ++m_selection;
    if (!m_started || !m_receiver)
        return;
    // The compositor answers every request in order: a selection that arrives before our
    // own write's sync came back is the one that write made.
    const bool own = !m_syncs.isEmpty();
    qCDebug(lcDataControl) << "selection" << number << (own ? "(ours)" : "")
                           << (offer ? m_offerTypes.value(offer) : QByteArrayList());
    QMetaObject::invokeMethod(
        m_receiver,
        [handler = m_selectionChanged, number, own, empty = !offer] {
            handler(number, own, empty);
        },
        Qt::QueuedConnection);
}

void DataControlClient::primarySelection(zwlr_data_control_offer_v1 *offer)
{
    destroyOffers(m_offers.primarySelectionChanged(offer));
}

void DataControlClient::destroyOffers(const QList<OfferBook::Id> &offers)
{
    for (OfferBook::Id id : offers) {
        m_offerTypes.remove(id);
        zwlr_data_control_offer_v1_destroy(offerOf(id));
    }
}

void DataControlClient::read(quint64 selection)
{
    std::optional<ClipboardContents> contents;
    if (selection == m_selection)
        contents = m_stopped ? ClipboardContents {} : readOffer(offerOf(m_offers.current()));
    QMetaObject::invokeMethod(
        m_receiver,
        [handler = m_contentsRead, selection, contents] { handler(selection, contents); },
        Qt::QueuedConnection);
}

ClipboardContents DataControlClient::readOffer(zwlr_data_control_offer_v1 *offer)
{
    ClipboardContents contents;
    if (!offer)
        return contents; // the clipboard is empty
    const QByteArrayList offered = m_offerTypes.value(offer);
    if (isMarkedSecret(offered)) {
        contents.secret = true;
        return contents;
    }
    // One deadline for the whole read, as on X11.
    const QDeadlineTimer deadline(clipboardformats::readTimeoutMs);
    const QByteArray uriList(clipboardformats::uriListType);
    if (offered.contains(uriList)) {
        if (const auto list = receive(offer, uriList, deadline, &contents.truncated))
            contents.fileURLs = clipboardformats::urlsOfList(*list);
    }
    if (const auto type = textTypeToRead(offered)) {
        bool cut = false;
        if (const auto text = receive(offer, *type, deadline, &cut))
            contents.text = clipboardformats::decodeText(*type, *text, cut);
        contents.truncated = contents.truncated || cut;
    }
    return contents;
}

std::optional<QByteArray> DataControlClient::receive(zwlr_data_control_offer_v1 *offer,
    const QByteArray &mimeType, const QDeadlineTimer &deadline, bool *cut)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return std::nullopt;
    zwlr_data_control_offer_v1_receive(offer, mimeType.constData(), fds[1]);
    // The request carries a copy of the write end: ours is closed so that the end of the
    // owner's data is seen, and the request must leave now, not with the next one.
    ::close(fds[1]);
    wl_display_flush(m_display);

    QByteArray data;
    bool complete = false;
    while (!deadline.hasExpired()) {
        pollfd fd { fds[0], POLLIN, 0 };
        const int ready = ::poll(&fd, 1, int(qMax<qint64>(1, deadline.remainingTime())));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break; // the deadline passed
        const qsizetype before = data.size();
        // One byte past the cap tells a copy of exactly the cap from a longer one.
        const qsizetype room
            = qMin<qsizetype>(64 * 1024, clipboardformats::readMaxBytes + 1 - before);
        data.resize(before + room);
        const ssize_t n = ::read(fds[0], data.data() + before, size_t(room));
        data.resize(before + qMax<ssize_t>(n, 0));
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0) {
            complete = n == 0;
            break;
        }
        if (data.size() > clipboardformats::readMaxBytes)
            break;
    }
    ::close(fds[0]);
    if (complete)
        return data;
    if (data.isEmpty())
        return std::nullopt; // no answer in time
    if (cut)
        *cut = true;
    data.truncate(clipboardformats::readMaxBytes);
    return data;
}

void DataControlClient::setSelection(const QList<OfferedForm> &forms)
{
    if (!m_device) {
        if (!std::exchange(m_toldWriteRefused, true))
            qCWarning(lcDataControl, "Cannot set the clipboard: clipboard capture stopped.");
        return;
    }
    zwlr_data_control_source_v1 *source = nullptr;
    if (!forms.isEmpty()) {
        source = createDataSource(*m_protocol, m_manager);
        zwlr_data_control_source_v1_add_listener(source, &sourceListener, this);
        for (const OfferedForm &form : forms)
            zwlr_data_control_source_v1_offer(source, form.mimeType.constData());
        m_sources.insert(source, forms);
    }
    qCDebug(lcDataControl) << "setting the selection," << forms.size() << "forms";
    zwlr_data_control_device_v1_set_selection(m_device, source);
    wl_callback *sync = wl_display_sync(m_display);
    wl_callback_add_listener(sync, &syncListener, this);
    m_syncs.insert(sync);
    wl_display_flush(m_display);
}

void DataControlClient::synced(wl_callback *callback)
{
    m_syncs.remove(callback);
    wl_callback_destroy(callback);
}

void DataControlClient::send(zwlr_data_control_source_v1 *source, const char *mimeType, int fd)
{
    for (const OfferedForm &form : m_sources.value(source)) {
        if (form.mimeType == mimeType) {
            new PipeWriter(fd, form.data, this);
            return;
        }
    }
    ::close(fd);
}

void DataControlClient::cancelled(zwlr_data_control_source_v1 *source)
{
    // Another copy replaced ours; programs still reading it keep their pipes.
    m_sources.remove(source);
    zwlr_data_control_source_v1_destroy(source);
}

} // namespace nookary
