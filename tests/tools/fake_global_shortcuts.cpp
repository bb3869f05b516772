// SPDX-License-Identifier: GPL-3.0-or-later
// A desktop portal offering only GlobalShortcuts, on the session bus it is started on, for
// the tests of the portal's global shortcut. It answers as the test tells it through
// org.nookary.FakePortal at /control: "bound" (with the trigger the test names, or the one
// asked for), "cancelled" (response 1), "failed" (response 2) or "silent" (never).
#include "platform/portal/PortalShortcut.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QTimer>

#include <cstdio>

using namespace nookary;

namespace {

QDBusConnection bus()
{
    return QDBusConnection::sessionBus();
}

QString requestPath(const QDBusMessage &call, const QVariantMap &options)
{
    QString sender = call.service().mid(1);
    sender.replace(u'.', u'_');
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
        .arg(sender, options.value(QStringLiteral("handle_token")).toString());
}

// The Response of a request, after the call's reply, as the portal sends it.
void respond(const QString &path, uint response, const QVariantMap &results)
{
    QTimer::singleShot(10, [path, response, results] {
        QDBusMessage signal = QDBusMessage::createSignal(
            path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        signal << response << results;
        bus().send(signal);
    });
}

} // namespace

class FakeSession final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Session")

public:
    explicit FakeSession(int *closed, QObject *parent)
        : QObject(parent)
        , m_closed(closed)
    {
    }

public Q_SLOTS:
    void Close()
    {
        ++*m_closed;
        deleteLater();
    }

private:
    int *m_closed;
};

class FakeShortcuts final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
    Q_PROPERTY(uint version READ version)

public:
    QString answer = QStringLiteral("bound");
    QString trigger;
    QString lastPreferredTrigger;
    QString lastSession;
    int sessions = 0;
    int closed = 0;

    uint version() const { return 1; }

public Q_SLOTS:
    QDBusObjectPath CreateSession(const QVariantMap &options, const QDBusMessage &call)
    {
        const QString session
            = QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                  .arg(++sessions)
                  .arg(options.value(QStringLiteral("session_handle_token")).toString());
        bus().registerObject(
            session, new FakeSession(&closed, this), QDBusConnection::ExportAllSlots);
        const QString request = requestPath(call, options);
        respond(request, 0, { { QStringLiteral("session_handle"), session } });
        return QDBusObjectPath(request);
    }

    QDBusObjectPath BindShortcuts(const QDBusObjectPath &session,
        const nookary::PortalShortcutList &shortcuts, const QString &parentWindow,
        const QVariantMap &options, const QDBusMessage &call)
    {
        Q_UNUSED(parentWindow);
        const QString request = requestPath(call, options);
        lastSession = session.path();
        PortalShortcutList bound;
        for (PortalShortcut shortcut : shortcuts) {
            lastPreferredTrigger
                = shortcut.properties.value(QStringLiteral("preferred_trigger")).toString();
            shortcut.properties = { { QStringLiteral("description"),
                                        shortcut.properties.value(QStringLiteral("description")) },
                { QStringLiteral("trigger_description"),
                    trigger.isEmpty() ? lastPreferredTrigger : trigger } };
            bound.append(shortcut);
        }
        if (answer == QLatin1String("bound"))
            respond(request, 0, { { QStringLiteral("shortcuts"), QVariant::fromValue(bound) } });
        else if (answer == QLatin1String("cancelled"))
            respond(request, 1, {});
        else if (answer == QLatin1String("failed"))
            respond(request, 2, {});
        return QDBusObjectPath(request);
    }

Q_SIGNALS:
    void Activated(const QDBusObjectPath &session, const QString &id, qulonglong timestamp,
        const QVariantMap &options);
};

class Control final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.nookary.FakePortal")

public:
    explicit Control(FakeShortcuts &portal)
        : m_portal(portal)
    {
    }

public Q_SLOTS:
    void SetAnswer(const QString &answer, const QString &trigger)
    {
        m_portal.answer = answer;
        m_portal.trigger = trigger;
    }
    QString LastPreferredTrigger() const { return m_portal.lastPreferredTrigger; }
    int Sessions() const { return m_portal.sessions; }
    int ClosedSessions() const { return m_portal.closed; }
    // The user presses the shortcut of the last bound session, or of another one.
    void Press(const QString &id, bool otherSession)
    {
        Q_EMIT m_portal.Activated(QDBusObjectPath(otherSession ? QStringLiteral(
                                                      "/org/freedesktop/portal/desktop/session/0/x")
                                                               : m_portal.lastSession),
            id, 0, {});
    }

private:
    FakeShortcuts &m_portal;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    registerPortalShortcutTypes();
    FakeShortcuts portal;
    Control control(portal);
    if (!bus().registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals
                | QDBusConnection::ExportAllProperties)
        || !bus().registerObject(
            QStringLiteral("/control"), &control, QDBusConnection::ExportAllSlots)
        || !bus().registerService(QStringLiteral("org.freedesktop.portal.Desktop"))) {
        std::fprintf(stderr, "fake portal: cannot take the portal's name\n");
        return 1;
    }
    return app.exec();
}

#include "fake_global_shortcuts.moc"
