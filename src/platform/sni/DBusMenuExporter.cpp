// SPDX-License-Identifier: GPL-3.0-or-later
#include "DBusMenuExporter.h"

#include <QAction>
#include <QActionGroup>
#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QMenu>
#include <QTimer>

#include <utility>

namespace nookary::sni {

namespace {

// The label in dbusmenu's words: its mnemonic mark is '_' where Qt's is '&'.
QString dbusLabel(const QString &text)
{
    QString label;
    label.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'&' && i + 1 < text.size()) {
            label += text.at(i + 1) == u'&' ? QStringLiteral("&") : QStringLiteral("_");
            if (text.at(i + 1) == u'&')
                ++i;
        } else if (c == u'_') {
            label += QStringLiteral("__");
        } else {
            label += c;
        }
    }
    return label;
}

QVariantMap entryProperties(const QAction &action)
{
    QVariantMap properties;
    if (action.isSeparator()) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
    } else {
        properties.insert(QStringLiteral("label"), dbusLabel(action.text()));
        if (action.isCheckable()) {
            properties.insert(QStringLiteral("toggle-type"),
                action.actionGroup() && action.actionGroup()->isExclusive()
                    ? QStringLiteral("radio")
                    : QStringLiteral("checkmark"));
            properties.insert(QStringLiteral("toggle-state"), action.isChecked() ? 1 : 0);
        }
    }
    if (!action.isEnabled())
        properties.insert(QStringLiteral("enabled"), false);
    if (!action.isVisible())
        properties.insert(QStringLiteral("visible"), false);
    return properties;
}

// Only the properties a host asked for; all of them when it named none.
QVariantMap chosen(const QVariantMap &properties, const QStringList &names)
{
    if (names.isEmpty())
        return properties;
    QVariantMap out;
    for (const QString &name : names) {
        if (properties.contains(name))
            out.insert(name, properties.value(name));
    }
    return out;
}

} // namespace

// com.canonical.dbusmenu, version 3, for one flat menu.
class DBusMenuAdaptor final : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    explicit DBusMenuAdaptor(DBusMenuExporter &exporter)
        : QDBusAbstractAdaptor(&exporter)
        , m_exporter(exporter)
    {
        connect(&exporter, &DBusMenuExporter::layoutUpdated, this, &DBusMenuAdaptor::LayoutUpdated);
    }

    uint version() const { return 3; }
    QString textDirection() const
    {
        return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl")
                                                                     : QStringLiteral("ltr");
    }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public Q_SLOTS:
    uint GetLayout(int parentId, int recursionDepth, const QStringList &propertyNames,
        nookary::sni::MenuLayoutItem &layout)
    {
        // Hosts that never say AboutToShow still get the entries of now.
        m_exporter.refresh();
        layout = find(parentId);
        layout.properties = chosen(layout.properties, propertyNames);
        if (recursionDepth == 0)
            layout.children.clear();
        for (MenuLayoutItem &child : layout.children)
            child.properties = chosen(child.properties, propertyNames);
        return m_exporter.revision();
    }

    nookary::sni::MenuItemPropertiesList GetGroupProperties(
        const QList<int> &ids, const QStringList &propertyNames)
    {
        MenuItemPropertiesList out;
        for (const int id : ids) {
            const MenuLayoutItem item = find(id);
            if (item.id == id)
                out.append({ id, chosen(item.properties, propertyNames) });
        }
        return out;
    }

    QDBusVariant GetProperty(int id, const QString &name)
    {
        return QDBusVariant(find(id).properties.value(name));
    }

    void Event(int id, const QString &eventId, const QDBusVariant &, uint)
    {
        if (eventId == QLatin1String("clicked"))
            m_exporter.activate(id);
    }

    QList<int> EventGroup(const nookary::sni::MenuEventList &events)
    {
        QList<int> unknown;
        for (const MenuEvent &event : events) {
            if (event.eventId != QLatin1String("clicked"))
                continue;
            if (!m_exporter.activate(event.id))
                unknown.append(event.id);
        }
        return unknown;
    }

    bool AboutToShow(int id)
    {
        if (id != 0)
            return false;
        const uint before = m_exporter.revision();
        m_exporter.refresh();
        return m_exporter.revision() != before;
    }

    QList<int> AboutToShowGroup(const QList<int> &ids, QList<int> &idErrors)
    {
        QList<int> updates;
        for (const int id : ids) {
            if (id == 0 && AboutToShow(0))
                updates.append(0);
            else if (find(id).id != id)
                idErrors.append(id);
        }
        return updates;
    }

Q_SIGNALS:
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    // The root (0) or one entry; an entry with another id when there is none.
    MenuLayoutItem find(int id) const
    {
        const MenuLayoutItem root = m_exporter.layout();
        if (id == 0)
            return root;
        for (const MenuLayoutItem &child : root.children) {
            if (child.id == id)
                return child;
        }
        return { -1, {}, {} };
    }

    DBusMenuExporter &m_exporter;
};

DBusMenuExporter::DBusMenuExporter(QMenu &menu, std::function<void()> refill, QObject *parent)
    : QObject(parent)
    , m_menu(menu)
    , m_refill(std::move(refill))
{
    registerTypes();
    new DBusMenuAdaptor(*this);
    m_layout.properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
}

bool DBusMenuExporter::exportOn(QDBusConnection connection, const QString &path)
{
    return connection.registerObject(path, this, QDBusConnection::ExportAdaptors);
}

void DBusMenuExporter::refresh()
{
    if (rebuild())
        Q_EMIT layoutUpdated(m_revision, 0);
}

MenuLayoutItem DBusMenuExporter::layout() const
{
    return m_layout;
}

bool DBusMenuExporter::activate(int id)
{
    if (id < 1 || id > m_menu.actions().size())
        return false;
    // After the host's call has its answer, since the action may open a window or quit; by
    // its place, since a host asking for the layout meanwhile fills the menu anew.
    QTimer::singleShot(0, this, [this, id] {
        QAction *action = m_menu.actions().value(id - 1);
        if (action && action->isEnabled() && !action->isSeparator())
            action->trigger();
        refresh();
    });
    return true;
}

bool DBusMenuExporter::rebuild()
{
    // Never under the pointer of a user who has it open (a host without dbusmenu asked for
    // it as a popup).
    if (m_refill && !m_menu.isVisible())
        m_refill();
    QList<MenuLayoutItem> children;
    int id = 0;
    for (QAction *action : m_menu.actions())
        children.append({ ++id, entryProperties(*action), {} });
    const bool changed = children.size() != m_layout.children.size()
        || !std::equal(children.begin(), children.end(), m_layout.children.begin(),
            [](const MenuLayoutItem &a, const MenuLayoutItem &b) {
                return a.properties == b.properties;
            });
    if (!changed)
        return false;
    m_layout.children = children;
    ++m_revision;
    return true;
}

} // namespace nookary::sni

#include "DBusMenuExporter.moc"
