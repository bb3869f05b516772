// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/GlobalHotkeyService.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

#include <chrono>
#include <memory>

namespace nookary {

// GlobalHotkeyService through the desktop portal's GlobalShortcuts interface, for Wayland
// sessions, where no program may grab keys itself. Each registration opens a portal session
// and binds one shortcut in it, asking for the stored one as the preferred trigger; the
// portal answers later (it may ask the user first, and may bind another trigger), and that
// answer is `registrationBound` or `registrationRefused`. Unregistering closes the session
// and drops any answer still to come. A portal that never answers leaves the registration
// waiting; nothing blocks. Main thread only.
class PortalGlobalHotkeyService final : public GlobalHotkeyService {
    Q_OBJECT

public:
    static inline const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
    static inline const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
    static inline const QString shortcutsInterface
        = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
    // The one shortcut's id within its session.
    static inline const QString shortcutId = QStringLiteral("toggle");
    // The desktop shows it where it lists the shortcut.
    static QString shortcutDescription() { return tr("Open or close Nookary"); }

    // Null when no portal on `bus` offers GlobalShortcuts, or it does not say so within
    // `deadline` (asking may start the portal; start-up must not wait long for it).
    static std::unique_ptr<PortalGlobalHotkeyService> create(
        const QDBusConnection &bus = QDBusConnection::sessionBus(),
        std::chrono::milliseconds deadline = std::chrono::milliseconds(700));
    ~PortalGlobalHotkeyService() override;

    bool canRegister() const override { return true; }
    bool answersLater() const override { return true; }
    bool registerHotkey(HotkeyShortcut shortcut) override;
    void unregisterHotkey() override;

private Q_SLOTS:
    // Qt D-Bus hands the portal's signals over whole: their dictionaries need unpacking.
    void onActivated(const QDBusMessage &message);
    void onShortcutsChanged(const QDBusMessage &message);

private:
    explicit PortalGlobalHotkeyService(const QDBusConnection &bus);

    void sessionCreated(quint64 generation, uint response, const QVariantMap &results);
    void shortcutsBound(quint64 generation, uint response, const QVariantMap &results);
    void refuse(quint64 generation);
    void closeSessionAt(const QString &session);
    // Starts a portal call that answers through a Request object; `onResponse` gets its
    // response code and results, unless the registration was replaced meanwhile.
    void startRequest(const QString &method, const QVariantList &arguments, const QString &token,
        quint64 generation,
        void (PortalGlobalHotkeyService::*onResponse)(quint64, uint, const QVariantMap &));

    QDBusConnection m_bus;
    quint64 m_generation = 0;
    HotkeyShortcut m_shortcut;
    QString m_sessionHandle;
    bool m_bound = false;
};

} // namespace nookary
