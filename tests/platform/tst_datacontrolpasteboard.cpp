// SPDX-License-Identifier: GPL-3.0-or-later
// The data-control pasteboard against a compositor of the test's own, which can do what sway
// cannot be made to do on purpose: offer the protocol under either name or both, end the
// device, withdraw the manager, offer a primary selection, empty the selection, and count
// what the client asks for.
#include "platform/wayland/DataControlClipboardManager.h"
#include "platform/wayland/DataControlPasteboard.h"

#include "ext-data-control-v1-server-protocol.h"
#include "wlr-data-control-unstable-v1-server-protocol.h"
#include <wayland-server.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <condition_variable>
#include <mutex>
#include <thread>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

using namespace nookary;

namespace {

// The interfaces of one name of the protocol. The two names share their requests and events,
// so one implementation serves both; only the objects made carry the name that was bound.
struct ServerProtocol {
    const wl_interface *manager;
    const wl_interface *device;
    const wl_interface *source;
    const wl_interface *offer;
    int version;
};
const ServerProtocol kWlroots { &zwlr_data_control_manager_v1_interface,
    &zwlr_data_control_device_v1_interface, &zwlr_data_control_source_v1_interface,
    &zwlr_data_control_offer_v1_interface, 2 };
const ServerProtocol kStandard { &ext_data_control_manager_v1_interface,
    &ext_data_control_device_v1_interface, &ext_data_control_source_v1_interface,
    &ext_data_control_offer_v1_interface, 1 };

// The names the compositor offers data-control under.
struct Offers {
    bool wlroots = true;
    bool standard = false;
};

// A compositor offering a seat and data-control, run on a thread of its own. `call` runs a
// function there and waits for it; everything it knows is read that way.
class FakeCompositor {
public:
    explicit FakeCompositor(const QString &socket, Offers offers = {})
    {
        m_display = wl_display_create();
        m_loop = wl_display_get_event_loop(m_display);
        wl_display_add_socket(m_display, socket.toLocal8Bit().constData());
        m_seat = wl_global_create(m_display, &wl_seat_interface, 1, this, bindSeat);
        // The standard name listed after the wlroots one: the client must still prefer it.
        if (offers.wlroots)
            m_managers.push_back(
                wl_global_create(m_display, kWlroots.manager, kWlroots.version, this, bindWlroots));
        if (offers.standard)
            m_managers.push_back(wl_global_create(
                m_display, kStandard.manager, kStandard.version, this, bindStandard));
        m_wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        m_wakeSource = wl_event_loop_add_fd(m_loop, m_wake, WL_EVENT_READABLE, runCalls, this);
        m_thread = std::thread([this] {
            while (!m_stop) {
                wl_event_loop_dispatch(m_loop, 20);
                wl_display_flush_clients(m_display);
            }
        });
    }

    ~FakeCompositor()
    {
        m_stop = true;
        m_thread.join();
        for (int fd : m_heldOpen)
            ::close(fd);
        wl_event_source_remove(m_wakeSource);
        // A client whose hang-up was not yet seen is still held: it goes first.
        wl_display_destroy_clients(m_display);
        wl_display_destroy(m_display);
        ::close(m_wake);
    }

    void call(const std::function<void()> &f)
    {
        std::unique_lock lock(m_mutex);
        m_calls.push_back(f);
        const uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(m_wake, &one, sizeof one);
        m_done.wait(lock, [this] { return m_calls.empty(); });
    }

    // Another program's copy: the device is told of a new offer with these types.
    void offer(const QByteArrayList &types, const QByteArray &text, bool primary = false)
    {
        call([=, this] {
            m_text = text;
            announce(types, primary);
        });
    }

    QByteArrayList receives()
    {
        QByteArrayList r;
        call([&] { r = m_receives; });
        return r;
    }
    int liveOffers()
    {
        int n = 0;
        call([&] { n = m_liveOffers; });
        return n;
    }
    bool hasDevice()
    {
        bool live = false;
        call([&] { live = m_device != nullptr; });
        return live;
    }
    QByteArrayList selectionTypes()
    {
        QByteArrayList types;
        call([&] { types = m_selectionTypes; });
        return types;
    }
    void setSilent(bool silent)
    {
        call([=, this] { m_silent = silent; });
    }
    void finishDevice()
    {
        call([this] { zwlr_data_control_device_v1_send_finished(m_device); });
    }
    void withdrawManager()
    {
        call([this] {
            for (wl_global *manager : m_managers)
                wl_global_remove(manager);
        });
    }
    // The name the client bound; null before it bound one.
    const char *boundName()
    {
        const char *name = nullptr;
        call([&] { name = m_bound ? m_bound->manager->name : nullptr; });
        return name;
    }
    // The selection's owner went away: every device hears that the selection is empty.
    void emptySelection()
    {
        call([this] {
            if (m_selectionSource)
                zwlr_data_control_source_v1_send_cancelled(m_selectionSource);
            m_selectionSource = nullptr;
            m_selectionTypes.clear();
            if (m_device)
                zwlr_data_control_device_v1_send_selection(m_device, nullptr);
        });
    }

    // Asks the source of our own copy for `type`, as a program pasting it does; what it
    // sends, or nothing when it closed the pipe without a word.
    QByteArray paste(const QByteArray &type)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return {};
        call([&] {
            if (m_selectionSource)
                zwlr_data_control_source_v1_send_send(m_selectionSource, type.constData(), fds[1]);
        });
        ::close(fds[1]);
        QByteArray data;
        char buffer[4096];
        pollfd fd { fds[0], POLLIN, 0 };
        while (::poll(&fd, 1, 3000) > 0) {
            const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            data.append(buffer, n);
        }
        ::close(fds[0]);
        return data;
    }

private:
    static int runCalls(int fd, uint32_t, void *data)
    {
        auto *self = static_cast<FakeCompositor *>(data);
        uint64_t count;
        [[maybe_unused]] const auto read = ::read(fd, &count, sizeof count);
        std::lock_guard lock(self->m_mutex);
        for (const auto &f : self->m_calls)
            f();
        self->m_calls.clear();
        wl_display_flush_clients(self->m_display);
        self->m_done.notify_all();
        return 0;
    }

    void announce(const QByteArrayList &types, bool primary)
    {
        if (!m_device)
            return;
        wl_resource *offer = wl_resource_create(
            wl_resource_get_client(m_device), m_bound->offer, wl_resource_get_version(m_device), 0);
        wl_resource_set_implementation(offer, &offerImplementation, this, [](wl_resource *r) {
            --static_cast<FakeCompositor *>(wl_resource_get_user_data(r))->m_liveOffers;
        });
        ++m_liveOffers;
        zwlr_data_control_device_v1_send_data_offer(m_device, offer);
        for (const QByteArray &type : types)
            zwlr_data_control_offer_v1_send_offer(offer, type.constData());
        if (primary)
            zwlr_data_control_device_v1_send_primary_selection(m_device, offer);
        else
            zwlr_data_control_device_v1_send_selection(m_device, offer);
    }

    static void bindSeat(wl_client *client, void *, uint32_t version, uint32_t id)
    {
        static const struct wl_seat_interface implementation = {};
        wl_resource *seat = wl_resource_create(client, &wl_seat_interface, int(version), id);
        wl_resource_set_implementation(seat, &implementation, nullptr, nullptr);
    }

    static void bindManager(wl_client *client, void *data, uint32_t version, uint32_t id,
        const ServerProtocol &protocol)
    {
        static_cast<FakeCompositor *>(data)->m_bound = &protocol;
        wl_resource *manager = wl_resource_create(client, protocol.manager, int(version), id);
        wl_resource_set_implementation(manager, &managerImplementation, data, nullptr);
    }
    static void bindWlroots(wl_client *client, void *data, uint32_t version, uint32_t id)
    {
        bindManager(client, data, version, id, kWlroots);
    }
    static void bindStandard(wl_client *client, void *data, uint32_t version, uint32_t id)
    {
        bindManager(client, data, version, id, kStandard);
    }

    static FakeCompositor *self(wl_resource *resource)
    {
        return static_cast<FakeCompositor *>(wl_resource_get_user_data(resource));
    }

    static const struct zwlr_data_control_manager_v1_interface managerImplementation;
    static const struct zwlr_data_control_device_v1_interface deviceImplementation;
    static const struct zwlr_data_control_source_v1_interface sourceImplementation;
    static const struct zwlr_data_control_offer_v1_interface offerImplementation;

    wl_display *m_display;
    wl_event_loop *m_loop;
    wl_global *m_seat;
    std::vector<wl_global *> m_managers;
    const ServerProtocol *m_bound = nullptr;
    int m_wake;
    wl_event_source *m_wakeSource;
    std::thread m_thread;
    std::atomic<bool> m_stop { false };
    std::mutex m_mutex;
    std::condition_variable m_done;
    std::vector<std::function<void()>> m_calls;

    wl_resource *m_device = nullptr;
    wl_resource *m_selectionSource = nullptr;
    QHash<wl_resource *, QByteArrayList> m_sourceTypes;
    QByteArrayList m_selectionTypes;
    QByteArrayList m_receives;
    QByteArray m_text;
    bool m_silent = false;
    std::vector<int> m_heldOpen;
    int m_liveOffers = 0;
};

const struct zwlr_data_control_manager_v1_interface FakeCompositor::managerImplementation = {
    [](wl_client *client, wl_resource *manager, uint32_t id) {
        wl_resource *source = wl_resource_create(
            client, self(manager)->m_bound->source, wl_resource_get_version(manager), id);
        wl_resource_set_implementation(
            source, &sourceImplementation, self(manager), [](wl_resource *r) {
                FakeCompositor *fake = self(r);
                fake->m_sourceTypes.remove(r);
                if (fake->m_selectionSource == r)
                    fake->m_selectionSource = nullptr;
            });
        self(manager)->m_sourceTypes.insert(source, {});
    },
    [](wl_client *client, wl_resource *manager, uint32_t id, wl_resource *) {
        wl_resource *device = wl_resource_create(
            client, self(manager)->m_bound->device, wl_resource_get_version(manager), id);
        wl_resource_set_implementation(
            device, &deviceImplementation, self(manager), [](wl_resource *r) {
                if (self(r)->m_device == r)
                    self(r)->m_device = nullptr;
            });
        self(manager)->m_device = device;
        zwlr_data_control_device_v1_send_selection(device, nullptr); // the clipboard is empty
    },
    [](wl_client *, wl_resource *manager) { wl_resource_destroy(manager); },
};

const struct zwlr_data_control_device_v1_interface FakeCompositor::deviceImplementation = {
    [](wl_client *, wl_resource *device, wl_resource *source) {
        FakeCompositor *fake = self(device);
        if (fake->m_selectionSource && fake->m_selectionSource != source)
            zwlr_data_control_source_v1_send_cancelled(fake->m_selectionSource);
        fake->m_selectionSource = source;
        fake->m_selectionTypes = source ? fake->m_sourceTypes.value(source) : QByteArrayList();
        // Every device hears of the new selection, the setter's too.
        if (source)
            fake->announce(fake->m_selectionTypes, false);
        else
            zwlr_data_control_device_v1_send_selection(device, nullptr);
    },
    [](wl_client *, wl_resource *device) { wl_resource_destroy(device); },
    [](wl_client *, wl_resource *, wl_resource *) {},
};

const struct zwlr_data_control_source_v1_interface FakeCompositor::sourceImplementation = {
    [](wl_client *, wl_resource *source, const char *type) {
        self(source)->m_sourceTypes[source].append(type);
    },
    [](wl_client *, wl_resource *source) { wl_resource_destroy(source); },
};

const struct zwlr_data_control_offer_v1_interface FakeCompositor::offerImplementation = {
    [](wl_client *, wl_resource *offer, const char *type, int32_t fd) {
        FakeCompositor *fake = self(offer);
        fake->m_receives.append(type);
        if (fake->m_silent) {
            fake->m_heldOpen.push_back(fd);
            return;
        }
        [[maybe_unused]] const auto written
            = ::write(fd, fake->m_text.constData(), size_t(fake->m_text.size()));
        ::close(fd);
    },
    [](wl_client *, wl_resource *offer) { wl_resource_destroy(offer); },
};

const QByteArrayList kText { "text/plain", "text/plain;charset=utf-8", "UTF8_STRING" };

// A clipboard manager's keeper that counts the owners that vanished.
struct CountingKeeper final : ClipboardManager::Keeper {
    bool acceptsHandOver() const override { return false; }
    bool keepHandedOver(const ClipboardContents &) override { return false; }
    void ownerVanished() override { ++vanished; }
    int vanished = 0;
};

// One that offers the vanished copy again, as the history's keeper does with its newest entry.
struct ReOfferingKeeper final : ClipboardManager::Keeper {
    DataControlPasteboard *pasteboard = nullptr;
    bool acceptsHandOver() const override { return false; }
    bool keepHandedOver(const ClipboardContents &) override { return false; }
    void ownerVanished() override
    {
        pasteboard->writeString(pasteboard->contents().text.value_or(QString()));
    }
};

} // namespace

class TestDataControlPasteboard : public QObject {
    Q_OBJECT

    QTemporaryDir m_runtime;
    std::unique_ptr<FakeCompositor> m_compositor;
    std::unique_ptr<DataControlPasteboard> m_pasteboard;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        qputenv("WAYLAND_DISPLAY", "nookary-test-compositor");
    }

    void init()
    {
        m_compositor = std::make_unique<FakeCompositor>(QStringLiteral("nookary-test-compositor"));
        m_pasteboard = DataControlPasteboard::create();
        QVERIFY(m_pasteboard);
    }

    void cleanup()
    {
        m_pasteboard.reset();
        m_compositor.reset();
    }

    void noCompositorNoPasteboard()
    {
        m_pasteboard.reset();
        m_compositor.reset();
        QVERIFY(!DataControlPasteboard::create());
        // A compositor without data-control (GNOME's, Weston): Qt's clipboard stands in.
        m_compositor = std::make_unique<FakeCompositor>(
            QStringLiteral("nookary-test-compositor"), Offers { false, false });
        QVERIFY(!DataControlPasteboard::create());
    }

    // KDE Plasma 6.5, wlroots 0.19 and COSMIC offer the standard name, some both: it is
    // preferred wherever it is listed, and either name carries copies both ways.
    void theStandardNameIsPreferredAndEitherWorks_data()
    {
        QTest::addColumn<bool>("wlroots");
        QTest::addColumn<bool>("standard");
        QTest::addColumn<QByteArray>("bound");
        QTest::newRow("wlroots only")
            << true << false << QByteArray("zwlr_data_control_manager_v1");
        QTest::newRow("standard only")
            << false << true << QByteArray("ext_data_control_manager_v1");
        QTest::newRow("both") << true << true << QByteArray("ext_data_control_manager_v1");
    }
    void theStandardNameIsPreferredAndEitherWorks()
    {
        QFETCH(bool, wlroots);
        QFETCH(bool, standard);
        QFETCH(QByteArray, bound);
        m_pasteboard.reset();
        m_compositor.reset();
        m_compositor = std::make_unique<FakeCompositor>(
            QStringLiteral("nookary-test-compositor"), Offers { wlroots, standard });
        m_pasteboard = DataControlPasteboard::create();
        QVERIFY(m_pasteboard);
        QCOMPARE(QByteArray(m_compositor->boundName()), bound);
        m_compositor->offer(kText, "theirs");
        QTRY_COMPARE(m_pasteboard->contents().text, QStringLiteral("theirs"));
        m_pasteboard->writeString(QStringLiteral("ours"));
        QTRY_VERIFY(m_compositor->selectionTypes().contains("UTF8_STRING"));
        QCOMPARE(m_compositor->paste("UTF8_STRING"), QByteArray("ours"));
    }

    void aCopyIsReadOnceAndTheReplacedOfferDestroyed()
    {
        QSignalSpy changed(m_pasteboard.get(), &Pasteboard::changeCountChanged);
        m_compositor->offer(
            kText + QByteArrayList { "text/uri-list" }, "file:///tmp/one\r\nfile:///tmp/two\r\n");
        QTRY_COMPARE(m_pasteboard->changeCount(), 1);
        QCOMPARE(m_pasteboard->contents().text,
            QStringLiteral("file:///tmp/one\r\nfile:///tmp/two\r\n"));
        QCOMPARE(m_pasteboard->contents().fileURLs,
            (QStringList { QStringLiteral("file:///tmp/one"), QStringLiteral("file:///tmp/two") }));
        QVERIFY(!m_pasteboard->isOwnChange());
        QCOMPARE(m_compositor->receives(), (QByteArrayList { "text/uri-list", "UTF8_STRING" }));
        QCOMPARE(m_compositor->liveOffers(), 1);

        m_compositor->offer(kText, "two");
        QTRY_COMPARE(m_pasteboard->changeCount(), 2);
        QCOMPARE(m_pasteboard->contents().text, QStringLiteral("two"));
        QVERIFY(m_pasteboard->contents().fileURLs.isEmpty());
        QTRY_COMPARE(m_compositor->liveOffers(), 1);
        QCOMPARE(changed.size(), 2);
        QVERIFY(!m_pasteboard->isReadPending());
    }

    void aBurstIsReadOneAtATimeEndingWithTheNewest()
    {
        QStringList counted;
        connect(m_pasteboard.get(), &Pasteboard::changeCountChanged, this,
            [&] { counted.append(m_pasteboard->contents().text.value_or(QString())); });
        for (int i = 0; i < 30; ++i)
            m_compositor->offer(kText, "burst " + QByteArray::number(i));
        QTRY_COMPARE(counted.value(counted.size() - 1), QStringLiteral("burst 29"));
        QTRY_VERIFY(!m_pasteboard->isReadPending());
        QTest::qWait(200);
        QCOMPARE(counted.last(), QStringLiteral("burst 29"));
        QVERIFY(m_compositor->receives().size() <= 30);
        QCOMPARE(m_compositor->receives().size(), counted.size());
        QTRY_COMPARE(m_compositor->liveOffers(), 1);
    }

    void pausedReadsNothingThenOrLater()
    {
        m_pasteboard->setReadingPaused(true);
        m_compositor->offer(kText, "while paused");
        m_compositor->offer(kText, "still paused");
        // Counted as changes of unknown contents.
        QTRY_COMPARE(m_pasteboard->changeCount(), 2);
        QCOMPARE(m_pasteboard->contents(), ClipboardContents {});

        m_pasteboard->setReadingPaused(false);
        QTest::qWait(300);
        QCOMPARE(m_compositor->receives(), QByteArrayList {});
        QCOMPARE(m_pasteboard->changeCount(), 2);
        m_compositor->offer(kText, "after");
        QTRY_COMPARE(m_pasteboard->contents().text, QStringLiteral("after"));
        QCOMPARE(m_compositor->receives(), QByteArrayList { "UTF8_STRING" });
    }

    void aSecretIsNotAskedForAnything()
    {
        m_compositor->offer(kText + QByteArrayList { "x-kde-passwordManagerHint" }, "hunter2");
        QTRY_COMPARE(m_pasteboard->changeCount(), 1);
        QVERIFY(m_pasteboard->contents().secret);
        QCOMPARE(m_pasteboard->contents().text, std::nullopt);
        QCOMPARE(m_compositor->receives(), QByteArrayList {});
    }

    void thePrimarySelectionIsIgnored()
    {
        m_compositor->offer(kText, "selected with the mouse", true);
        QTRY_COMPARE(m_compositor->liveOffers(), 0);
        QTest::qWait(200);
        QCOMPARE(m_pasteboard->changeCount(), 0);
        QCOMPARE(m_compositor->receives(), QByteArrayList {});
    }

    void anOwnerThatNeverSendsIsGivenUp()
    {
        m_compositor->setSilent(true);
        m_compositor->offer(kText, "never sent");
        // The deadline passes; what could not be read counts as a copy without text.
        QTRY_COMPARE_WITH_TIMEOUT(m_pasteboard->changeCount(), 1, 5000);
        QCOMPARE(m_pasteboard->contents().text, std::nullopt);
        m_compositor->setSilent(false);
        m_compositor->offer(kText, "next");
        QTRY_COMPARE(m_pasteboard->contents().text, QStringLiteral("next"));
    }

    void ourCopyIsServedAndNotReadBack()
    {
        m_pasteboard->writeString(QStringLiteral("caf\u00e9"));
        QCOMPARE(m_pasteboard->changeCount(), 1); // at once
        QVERIFY(m_pasteboard->isOwnChange());
        QCOMPARE(m_pasteboard->contents().text, QStringLiteral("caf\u00e9"));
        QTRY_COMPARE(
            m_compositor->selectionTypes().value(0), QByteArray("text/plain;charset=utf-8"));
        QCOMPARE(
            m_compositor->paste("text/plain;charset=utf-8"), QStringLiteral("caf\u00e9").toUtf8());
        QCOMPARE(m_compositor->paste("STRING"), QByteArray("caf\xe9"));
        QCOMPARE(m_compositor->paste("image/png"), QByteArray());
        QTest::qWait(200);
        QCOMPARE(m_compositor->receives(), QByteArrayList {});
        QCOMPARE(m_pasteboard->changeCount(), 1);

        m_pasteboard->writeFileURLs({ QUrl::fromLocalFile(QStringLiteral("/tmp/a b")),
            QUrl::fromLocalFile(QStringLiteral("/tmp/c")) });
        QCOMPARE(m_pasteboard->changeCount(), 2);
        QCOMPARE(m_pasteboard->contents().fileURLs,
            (QStringList { QStringLiteral("file:///tmp/a%20b"), QStringLiteral("file:///tmp/c") }));
        QTRY_VERIFY(m_compositor->selectionTypes().contains("x-special/gnome-copied-files"));
        QCOMPARE(m_compositor->paste("text/uri-list"),
            QByteArray("file:///tmp/a%20b\r\nfile:///tmp/c\r\n"));
        QCOMPARE(m_compositor->paste("x-special/gnome-copied-files"),
            QByteArray("copy\nfile:///tmp/a%20b\nfile:///tmp/c"));

        // Another program's copy after ours is read as usual.
        m_compositor->offer(kText, "theirs");
        QTRY_COMPARE(m_pasteboard->contents().text, QStringLiteral("theirs"));
        QCOMPARE(m_pasteboard->changeCount(), 3);
    }

    void theDeviceEndingStopsCaptureQuietly()
    {
        QTest::ignoreMessage(QtWarningMsg,
            QRegularExpression(QStringLiteral("^Clipboard capture stopped: the compositor ended")));
        m_compositor->finishDevice();
        QTRY_VERIFY(!m_compositor->hasDevice());
        m_compositor->offer(kText, "after the end");
        QTest::ignoreMessage(
            QtWarningMsg, QRegularExpression(QStringLiteral("^Cannot set the clipboard")));
        m_pasteboard->writeString(QStringLiteral("ours"));
        m_pasteboard->writeString(QStringLiteral("said once"));
        QTest::qWait(300);
        QCOMPARE(m_compositor->receives(), QByteArrayList {});
    }

    // A program that quits takes its copy with it and the compositor empties the selection:
    // the clipboard manager is told, unless the clear was our own, a newer copy is still being
    // read (what vanished is then not what was read last) or reading is paused.
    void anEmptiedSelectionIsReportedAsAVanishedOwner()
    {
        CountingKeeper keeper;
        DataControlClipboardManager manager(*m_pasteboard);
        manager.start(keeper);

        m_compositor->offer(kText, "copied, then its program quit");
        QTRY_COMPARE(m_pasteboard->changeCount(), 1);
        QCOMPARE(keeper.vanished, 0);
        m_compositor->emptySelection();
        QTRY_COMPARE(keeper.vanished, 1);
        QTRY_COMPARE(m_pasteboard->changeCount(), 2);
        QCOMPARE(m_pasteboard->contents(), ClipboardContents {});

        m_pasteboard->clear(); // ours: stays clear
        m_pasteboard->writeString(QStringLiteral("ours"));
        m_pasteboard->clear();
        QTest::qWait(300);
        QCOMPARE(keeper.vanished, 1);

        // A copy that came while another was being read, then went with its program before
        // it could be read: what was read last is not what vanished.
        m_compositor->setSilent(true);
        const qsizetype asked = m_compositor->receives().size();
        m_compositor->offer(kText, "read slowly");
        QTRY_VERIFY(m_compositor->receives().size() > asked);
        m_compositor->setSilent(false);
        m_compositor->offer(kText, "gone before it was read");
        m_compositor->emptySelection();
        QTRY_VERIFY_WITH_TIMEOUT(!m_pasteboard->isReadPending(), 5000);
        QTest::qWait(300);
        QCOMPARE(keeper.vanished, 1);

        m_pasteboard->setReadingPaused(true);
        m_compositor->offer(kText, "while paused");
        m_compositor->emptySelection();
        QTest::qWait(300);
        QCOMPARE(keeper.vanished, 1);
        m_pasteboard->setReadingPaused(false);

        manager.stop();
        m_compositor->offer(kText, "after stopping");
        QTRY_COMPARE(m_pasteboard->contents().text, QStringLiteral("after stopping"));
        m_compositor->emptySelection();
        QTest::qWait(300);
        QCOMPARE(keeper.vanished, 1);
    }

    // What the keeper writes when told is our own copy, served and not read back.
    void aCopyOfferedAgainIsOurs()
    {
        ReOfferingKeeper keeper;
        keeper.pasteboard = m_pasteboard.get();
        DataControlClipboardManager manager(*m_pasteboard);
        manager.start(keeper);
        m_compositor->offer(kText, "kept");
        QTRY_COMPARE(m_pasteboard->changeCount(), 1);
        m_compositor->emptySelection();
        QTRY_COMPARE(m_pasteboard->changeCount(), 2);
        QVERIFY(m_pasteboard->isOwnChange());
        QTRY_VERIFY(m_compositor->selectionTypes().contains("UTF8_STRING"));
        QCOMPARE(m_compositor->paste("UTF8_STRING"), QByteArray("kept"));
        const QByteArrayList asked = m_compositor->receives();
        QTest::qWait(300);
        QCOMPARE(m_compositor->receives(), asked); // nothing read of the empty selection
        QCOMPARE(m_pasteboard->changeCount(), 2);
        QVERIFY(!m_pasteboard->isReadPending());
    }

    void theManagerGoingAwayStopsCapture()
    {
        QTest::ignoreMessage(QtWarningMsg,
            QRegularExpression(
                QStringLiteral("^Clipboard capture stopped: the compositor withdrew")));
        m_compositor->withdrawManager();
        QTRY_VERIFY(!m_compositor->hasDevice());
    }
};

QTEST_GUILESS_MAIN(TestDataControlPasteboard)
#include "tst_datacontrolpasteboard.moc"
