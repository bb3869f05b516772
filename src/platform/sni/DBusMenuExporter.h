// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/sni/StatusNotifierTypes.h"

#include <QDBusConnection>
#include <QObject>

#include <functional>

class QMenu;

namespace nookary::sni {

// A QMenu offered on D-Bus as com.canonical.dbusmenu, which StatusNotifierItem hosts show
// in their own style. The menu is flat: its entries get the ids 1, 2, ... in order, and
// the host's click on one triggers that entry of the menu as it is then. `refill` fills
// the menu anew; it runs whenever a host is about to show it, so the host shows what a
// right click would. Main thread only.
class DBusMenuExporter final : public QObject {
    Q_OBJECT

public:
    static inline const QString interfaceName = QStringLiteral("com.canonical.dbusmenu");

    DBusMenuExporter(QMenu &menu, std::function<void()> refill, QObject *parent = nullptr);

    // Registers the menu's object at `path` on `connection`; false when that fails.
    bool exportOn(QDBusConnection connection, const QString &path);
    // Fills the menu anew and tells the hosts when its entries changed.
    void refresh();

    // What the interface answers, also for tests.
    uint revision() const { return m_revision; }
    MenuLayoutItem layout() const;
    // Triggers the entry `id` on the next turn of the event loop; false for an unknown id.
    bool activate(int id);

Q_SIGNALS:
    void layoutUpdated(uint revision, int parent);

private:
    // Fills the menu anew and takes a new revision when its entries changed; true then.
    bool rebuild();

    QMenu &m_menu;
    std::function<void()> m_refill;
    MenuLayoutItem m_layout;
    uint m_revision = 1;
};

} // namespace nookary::sni
