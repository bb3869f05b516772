// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/StatusItem.h"

#include <QIcon>
#include <QMenu>
#include <QPair>
#include <QTimer>

#include <memory>
#include <optional>

class QSystemTrayIcon;

namespace nookary {

namespace sni {
class StatusNotifierItem;
}

// StatusItem on whichever tray the session has, now or later: a StatusNotifierItem of our
// own while a StatusNotifierItem host shows it (KDE, GNOME with AppIndicator support, Xfce,
// LXQt, the wlroots bars), and otherwise, on X11, QSystemTrayIcon in an XEmbed tray. Never
// both, so a desktop with both kinds of tray shows one icon. The menu stays attached, since
// StatusNotifierItem hosts show it themselves, and is refilled each time it is about to
// show.
class TrayStatusItem final : public StatusItem {
    Q_OBJECT

public:
    explicit TrayStatusItem(QObject *parent = nullptr);
    ~TrayStatusItem() override;

    void setIcon(const QIcon &icon) override;
    bool isAvailable() const override;
    void setDimmed(bool dimmed) override;
    bool isDimmed() const override { return m_dimmed; }
    QRect geometry() const override;
    void setMenuBuilder(std::function<void(QMenu &)> builder) override;
    void showMessage(const QString &title, const QString &text) override;
    void popUpMenu(const QPoint &at) override;

private:
    void showPendingMessage();
    void alignBalloonToLeadingEdge();
    void refillMenu();
    // Shows the icon through the StatusNotifierItem or through QSystemTrayIcon.
    void chooseTray();
    void chooseTrayIcon();
    void makeXEmbedIcon();
    QIcon shownIcon() const;

    QMenu m_menu;
    QIcon m_icon;
    std::function<void(QMenu &)> m_builder;
    bool m_dimmed = false;
    std::unique_ptr<sni::StatusNotifierItem> m_statusNotifier;
    // Made on X11 only once no StatusNotifierItem host shows ours: Qt 6.4 picks XEmbed or
    // D-Bus when the first QSystemTrayIcon is made, and with no host then it keeps to XEmbed.
    std::unique_ptr<QSystemTrayIcon> m_xembed;
    // The StatusNotifierWatcher had its time to answer; past it, XEmbed is used meanwhile.
    bool m_waitedForWatcher = false;
    bool m_saidNoTray = false;
    // A notice waiting for a tray to show the icon, title and text.
    std::optional<QPair<QString, QString>> m_pendingMessage;
    int m_messageWaits = 0;
    QTimer m_messageWait;
    // While a notice waits for an XEmbed tray to start, which Qt does not tell.
    QTimer m_trayWait;
};

} // namespace nookary
