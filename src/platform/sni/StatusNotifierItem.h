// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/sni/StatusNotifierTypes.h"

#include <QDBusConnection>
#include <QIcon>
#include <QObject>
#include <QPoint>

#include <functional>

class QDBusMessage;
class QDBusServiceWatcher;
class QMenu;

namespace nookary::sni {

class DBusMenuExporter;

// The tray icon as a StatusNotifierItem of our own on the session bus, with its menu as
// com.canonical.dbusmenu. Qt 6.4 decides once per process whether its tray icon goes over
// D-Bus; this item instead follows the StatusNotifierWatcher as it comes, goes and comes
// back, so a tray that starts after Nookary shows the icon too. Main thread only; nothing
// here waits on the bus.
class StatusNotifierItem final : public QObject {
    Q_OBJECT

public:
    static inline const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
    static inline const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
    static inline const QString itemPath = QStringLiteral("/StatusNotifierItem");
    static inline const QString menuPath = QStringLiteral("/MenuBar");

    // `menu` is the menu the hosts show; `refillMenu` fills it anew before they do. Both
    // must outlive the item.
    StatusNotifierItem(QDBusConnection connection, QMenu &menu, std::function<void()> refillMenu,
        QObject *parent = nullptr);
    ~StatusNotifierItem() override;

    // Takes this item's name on the bus, offers its objects and starts following the
    // watcher; false when the bus refuses, and the item then never shows.
    bool start();
    QString serviceName() const { return m_serviceName; }

    void setIcon(const QIcon &icon);
    void setTitle(const QString &title);
    // Fills the menu anew for the hosts, when what it says changed (the pause entry).
    void refreshMenu();

    // True while a watcher lists this item and a host shows what it lists.
    bool isShown() const { return m_shown; }
    // True once the first answer about the watcher came (or there is no bus to ask).
    bool isSettled() const { return m_settled; }

    // What the hosts read.
    QString title() const { return m_title; }
    const IconPixmapList &pixmaps() const { return m_pixmaps; }

Q_SIGNALS:
    void shownChanged(bool shown);
    // The first answer about the watcher came: isShown() now says what is.
    void settled();
    // A left click on the icon, at a place on screen (not every host tells).
    void activated(const QPoint &place);
    // A host that shows no dbusmenu asks for the menu at a place on screen.
    void contextMenuRequested(const QPoint &place);

    // For the D-Bus interface.
    void newIcon();
    void newTitle();
    void newToolTip();

private Q_SLOTS:
    void askWhetherAHostShows();

private:
    // Calls the watcher without waiting; `answer` gets the reply or the error, unless a new
    // registration began meanwhile.
    void askWatcher(const QString &interface, const QString &method, const QVariantList &arguments,
        std::function<void(const QDBusMessage &reply)> answer);
    void registerWithWatcher();
    void setRegistered(bool registered, bool hostShows);

    QDBusConnection m_connection;
    DBusMenuExporter *m_menu;
    QDBusServiceWatcher *m_watcher = nullptr;
    QString m_serviceName;
    QString m_title;
    IconPixmapList m_pixmaps;
    bool m_registered = false;
    bool m_shown = false;
    bool m_settled = false;
    // Each registration asked for; an answer for an older one is ignored.
    int m_attempt = 0;
};

} // namespace nookary::sni
