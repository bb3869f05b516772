// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

namespace nookary {

// One entry of the portal's shortcut lists (D-Bus `(sa{sv})`): an id and its properties
// ("description", "preferred_trigger" asked for; "trigger_description" answered).
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};
using PortalShortcutList = QList<PortalShortcut>;

inline QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

inline const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

// Makes the types known to Qt D-Bus; call before sending or reading them.
void registerPortalShortcutTypes();

} // namespace nookary

Q_DECLARE_METATYPE(nookary::PortalShortcut)
Q_DECLARE_METATYPE(nookary::PortalShortcutList)
