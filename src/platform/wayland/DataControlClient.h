// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardContentsReader.h"
#include "platform/wayland/DataControlProtocol.h"
#include "platform/wayland/DataControlRules.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QObject>
#include <QSet>

#include <functional>
#include <memory>
#include <optional>

class QSocketNotifier;
struct wl_callback;
struct wl_callback_listener;
struct wl_display;
struct wl_registry;
struct wl_registry_listener;
struct wl_seat;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_device_v1_listener;
struct zwlr_data_control_manager_v1;
struct zwlr_data_control_offer_v1;
struct zwlr_data_control_offer_v1_listener;
struct zwlr_data_control_source_v1;
struct zwlr_data_control_source_v1_listener;

namespace nookary {

// The data-control protocol on a Wayland connection of its own: watches the selection, reads
// an offer, serves our own copies. Made on one thread, then used only on the thread it was
// moved to; what it reports is posted to the receiver's thread.
class DataControlClient final : public QObject {
public:
    // A new selection, numbered from 1 up; `own` when it is the one we set; `empty` when
    // nothing is on the clipboard any more (its owner quit, or cleared it).
    using SelectionHandler = std::function<void(quint64 selection, bool own, bool empty)>;
    // Nothing when a newer selection replaced it before it could be read.
    using ContentsHandler
        = std::function<void(quint64 selection, std::optional<ClipboardContents> contents)>;

    // Null when there is no Wayland connection, no seat or no data-control manager under
    // either name (the standard one is preferred). The selection at that moment is the
    // starting point, not a change: it is not reported.
    static std::unique_ptr<DataControlClient> connect();
    datacontrol::ProtocolName protocolName() const { return m_protocol->name; }
    ~DataControlClient() override;

    // Before the client moves to its thread.
    void setReceiver(
        QObject *receiver, SelectionHandler selectionChanged, ContentsHandler contentsRead);

    // On the client's thread from here on.
    void start();
    // Reads what the offer of `selection` holds and reports it; reports nothing read when a
    // newer selection replaced it (that one is asked for next). Blocks for the read's
    // deadline at most.
    void read(quint64 selection);
    // Makes `forms` our copy on the clipboard; none: empties the clipboard.
    void setSelection(const QList<datacontrol::OfferedForm> &forms);

private:
    explicit DataControlClient(wl_display *display);

    static const ::wl_registry_listener registryListener;
    static const ::zwlr_data_control_device_v1_listener deviceListener;
    static const ::zwlr_data_control_offer_v1_listener offerListener;
    static const ::zwlr_data_control_source_v1_listener sourceListener;
    static const ::wl_callback_listener syncListener;

    void global(wl_registry *registry, uint32_t name, const char *interface, uint32_t version);
    void globalRemoved(uint32_t name);
    void offerIntroduced(zwlr_data_control_offer_v1 *offer);
    void selection(zwlr_data_control_offer_v1 *offer);
    void primarySelection(zwlr_data_control_offer_v1 *offer);
    void send(zwlr_data_control_source_v1 *source, const char *mimeType, int fd);
    void cancelled(zwlr_data_control_source_v1 *source);
    void synced(wl_callback *callback);

    void dispatchIncoming();
    void stop(const char *reason);
    void destroyOffers(const QList<datacontrol::OfferBook::Id> &offers);
    ClipboardContents readOffer(zwlr_data_control_offer_v1 *offer);
    std::optional<QByteArray> receive(zwlr_data_control_offer_v1 *offer, const QByteArray &mimeType,
        const QDeadlineTimer &deadline, bool *cut);

    wl_display *m_display;
    wl_registry *m_registry = nullptr;
    wl_seat *m_seat = nullptr;
    uint32_t m_seatName = 0;
    // The globals offered under each name, and the name bound.
    struct Offered {
        uint32_t name = 0;
        uint32_t version = 0;
    };
    std::optional<Offered> m_standardOffered;
    std::optional<Offered> m_wlrootsOffered;
    const datacontrol::Protocol *m_protocol = nullptr;
    zwlr_data_control_manager_v1 *m_manager = nullptr;
    uint32_t m_managerName = 0;
    zwlr_data_control_device_v1 *m_device = nullptr;
    QSocketNotifier *m_notifier = nullptr;

    datacontrol::OfferBook m_offers;
    QHash<datacontrol::OfferBook::Id, QByteArrayList> m_offerTypes;
    QHash<zwlr_data_control_source_v1 *, QList<datacontrol::OfferedForm>> m_sources;
    QSet<wl_callback *> m_syncs; // one per own write the compositor has not yet answered
    quint64 m_selection = 0;
    bool m_started = false; // past the selection found at connecting
    bool m_stopped = false;
    bool m_toldWriteRefused = false;

    QObject *m_receiver = nullptr;
    SelectionHandler m_selectionChanged;
    ContentsHandler m_contentsRead;
};

} // namespace nookary
