// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

class QIcon;

namespace nookary::sni {

// The structures the StatusNotifierItem and com.canonical.dbusmenu interfaces send, with
// their D-Bus signatures.

// (iiay): one size of an icon, ARGB32 in network byte order.
struct IconPixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;
};
using IconPixmapList = QList<IconPixmap>; // a(iiay)

// (sa(iiay)ss): icon name, icon, title, description.
struct ToolTip {
    QString iconName;
    IconPixmapList icon;
    QString title;
    QString description;
};

// (ia{sv}av): a menu entry, its properties and its children (each a variant holding one).
struct MenuLayoutItem {
    int id = 0;
    QVariantMap properties;
    QList<MenuLayoutItem> children;
};

// (ia{sv}): one entry's properties, for GetGroupProperties.
struct MenuItemProperties {
    int id = 0;
    QVariantMap properties;
};
using MenuItemPropertiesList = QList<MenuItemProperties>;

// (isvu): one event of EventGroup.
struct MenuEvent {
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};
using MenuEventList = QList<MenuEvent>;

// Makes the types above known to Qt D-Bus; once per process, before the first call.
void registerTypes();

// The sizes of `icon` that trays ask for, in the pixel order StatusNotifierItem hosts read.
IconPixmapList iconPixmaps(const QIcon &icon);

QDBusArgument &operator<<(QDBusArgument &argument, const IconPixmap &pixmap);
const QDBusArgument &operator>>(const QDBusArgument &argument, IconPixmap &pixmap);
QDBusArgument &operator<<(QDBusArgument &argument, const ToolTip &toolTip);
const QDBusArgument &operator>>(const QDBusArgument &argument, ToolTip &toolTip);
QDBusArgument &operator<<(QDBusArgument &argument, const MenuLayoutItem &item);
const QDBusArgument &operator>>(const QDBusArgument &argument, MenuLayoutItem &item);
QDBusArgument &operator<<(QDBusArgument &argument, const MenuItemProperties &item);
const QDBusArgument &operator>>(const QDBusArgument &argument, MenuItemProperties &item);
QDBusArgument &operator<<(QDBusArgument &argument, const MenuEvent &event);
const QDBusArgument &operator>>(const QDBusArgument &argument, MenuEvent &event);

} // namespace nookary::sni

Q_DECLARE_METATYPE(nookary::sni::IconPixmap)
Q_DECLARE_METATYPE(nookary::sni::ToolTip)
Q_DECLARE_METATYPE(nookary::sni::MenuLayoutItem)
Q_DECLARE_METATYPE(nookary::sni::MenuItemProperties)
Q_DECLARE_METATYPE(nookary::sni::MenuEvent)
