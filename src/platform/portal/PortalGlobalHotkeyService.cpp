// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortalGlobalHotkeyService.h"

#include "core/TextDirection.h"
#include "platform/portal/PortalShortcut.h"
#include "platform/portal/PortalTrigger.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QLoggingCategory>
#include <QPointer>
#include <QRandomGenerator>

#include <functional>

Q_LOGGING_CATEGORY(lcPortal, "nookary.portal")

namespace nookary {

void registerPortalShortcutTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<PortalShortcutList>();
        return true;
    }();
    Q_UNUSED(registered);
}

namespace {

const QString kRequestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString kSessionInterface = QStringLiteral("org.freedesktop.portal.Session");

// A dictionary argument as the message carries it: Qt gives nested ones as QDBusArgument.
QVariantMap toMap(const QVariant &value)
{
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

PortalShortcutList toShortcuts(const QVariant &value)
{
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<PortalShortcutList>(value.value<QDBusArgument>());
    return value.value<PortalShortcutList>();
}

// A session handle: an object path, though older portals answered a string.
QString toPath(const QVariant &value)
{
    if (value.canConvert<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

} // namespace

// One portal request: listens for the Response of its Request object, at the path the
// portal will use (known before the call, so a quick answer is not missed) or at the path
// the call returns, and answers once.
class PortalRequest final : public QObject {
    Q_OBJECT

public:
    using Answer = std::function<void(uint response, const QVariantMap &results)>;

    PortalRequest(QDBusConnection bus, Answer answer, QObject *parent)
        : QObject(parent)
        , m_bus(std::move(bus))
        , m_answer(std::move(answer))
    {
    }
    ~PortalRequest() override { stopListening(); }

    void listenAt(const QString &path)
    {
        if (path == m_path)
            return;
        stopListening();
        m_path = path;
        m_bus.connect(PortalGlobalHotkeyService::portalService, m_path, kRequestInterface,
            QStringLiteral("Response"), this, SLOT(onResponse(QDBusMessage)));
    }

    void fail() { answer(2, {}); }

private Q_SLOTS:
    void onResponse(const QDBusMessage &message)
    {
        const QVariantList arguments = message.arguments();
        if (arguments.size() < 2)
            return fail();
        answer(arguments.at(0).toUInt(), toMap(arguments.at(1)));
    }

private:
    void stopListening()
    {
        if (!m_path.isEmpty())
            m_bus.disconnect(PortalGlobalHotkeyService::portalService, m_path, kRequestInterface,
                QStringLiteral("Response"), this, SLOT(onResponse(QDBusMessage)));
        m_path.clear();
    }
    void answer(uint response, const QVariantMap &results)
    {
        // Whatever the answer sets off (an alert's own event loop included) finds this
        // request already done.
        stopListening();
        deleteLater();
        if (auto answer = std::exchange(m_answer, nullptr))
            answer(response, results);
    }

    QDBusConnection m_bus;
    Answer m_answer;
    QString m_path;
};

std::unique_ptr<PortalGlobalHotkeyService> PortalGlobalHotkeyService::create(
    const QDBusConnection &bus, std::chrono::milliseconds deadline)
{
    if (!bus.isConnected())
        return nullptr;
    // The interface's version property says it is offered; asking may start the portal.
    QDBusMessage ask = QDBusMessage::createMethodCall(portalService, portalPath,
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    ask << shortcutsInterface << QStringLiteral("version");
    const QDBusMessage reply = QDBusConnection(bus).call(ask, QDBus::Block, int(deadline.count()));
    if (reply.type() != QDBusMessage::ReplyMessage) {
        qCInfo(lcPortal) << "No desktop portal with global shortcuts:" << reply.errorMessage();
        return nullptr;
    }
    return std::unique_ptr<PortalGlobalHotkeyService>(new PortalGlobalHotkeyService(bus));
}

PortalGlobalHotkeyService::PortalGlobalHotkeyService(const QDBusConnection &bus)
    : m_bus(bus)
{
    registerPortalShortcutTypes();
    m_bus.connect(portalService, portalPath, shortcutsInterface, QStringLiteral("Activated"), this,
        SLOT(onActivated(QDBusMessage)));
    m_bus.connect(portalService, portalPath, shortcutsInterface, QStringLiteral("ShortcutsChanged"),
        this, SLOT(onShortcutsChanged(QDBusMessage)));
}

PortalGlobalHotkeyService::~PortalGlobalHotkeyService()
{
    unregisterHotkey();
}

bool PortalGlobalHotkeyService::registerHotkey(HotkeyShortcut shortcut)
{
    unregisterHotkey();
    if (PortalTrigger::preferredTrigger(shortcut).isEmpty())
        return false;
    m_shortcut = shortcut;
    const quint64 generation = m_generation;
    const QString token = QStringLiteral("nookary_%1").arg(QRandomGenerator::global()->generate());
    startRequest(QStringLiteral("CreateSession"),
        { QVariantMap { { QStringLiteral("handle_token"), token },
            { QStringLiteral("session_handle_token"), token } } },
        token, generation, &PortalGlobalHotkeyService::sessionCreated);
    return true;
}

void PortalGlobalHotkeyService::unregisterHotkey()
{
    // Answers to what was asked before belong to nobody now; a request still waiting
    // stays until its answer, to close the session it may bring.
    ++m_generation;
    m_bound = false;
    closeSessionAt(std::exchange(m_sessionHandle, QString()));
}

void PortalGlobalHotkeyService::closeSessionAt(const QString &session)
{
    if (!session.isEmpty())
        m_bus.asyncCall(QDBusMessage::createMethodCall(
            portalService, session, kSessionInterface, QStringLiteral("Close")));
}

void PortalGlobalHotkeyService::startRequest(const QString &method, const QVariantList &arguments,
    const QString &token, quint64 generation,
    void (PortalGlobalHotkeyService::*onResponse)(quint64, uint, const QVariantMap &))
{
    QPointer<PortalGlobalHotkeyService> self(this);
    auto *request = new PortalRequest(
        m_bus,
        [self, generation, onResponse](uint response, const QVariantMap &results) {
            if (!self)
                return;
            if (generation == self->m_generation)
                (self.data()->*onResponse)(generation, response, results);
            else if (response == 0) // a session opened for nobody is not left open
                self->closeSessionAt(toPath(results.value(QStringLiteral("session_handle"))));
        },
        this);
    // The portal names the request after our bus name and the token; listening there first
    // catches an answer that comes before the call's reply.
    QString sender = m_bus.baseService().mid(1);
    sender.replace(u'.', u'_');
    request->listenAt(portalPath + QStringLiteral("/request/") + sender + u'/' + token);

    QDBusMessage call
        = QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface, method);
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), request);
    QPointer<PortalRequest> guarded(request);
    connect(watcher, &QDBusPendingCallWatcher::finished, request,
        [guarded, method](QDBusPendingCallWatcher *finished) {
            finished->deleteLater();
            const QDBusPendingReply<QDBusObjectPath> reply = *finished;
            if (!guarded)
                return;
            if (reply.isError()) {
                qCInfo(lcPortal) << "The portal refused" << method << reply.error().message();
                guarded->fail();
                return;
            }
            guarded->listenAt(reply.value().path());
        });
}

void PortalGlobalHotkeyService::sessionCreated(
    quint64 generation, uint response, const QVariantMap &results)
{
    const QString session = toPath(results.value(QStringLiteral("session_handle")));
    if (response != 0 || session.isEmpty())
        return refuse(generation);
    m_sessionHandle = session;
    const PortalShortcutList shortcuts { { shortcutId,
        // The desktop shows it as it is: no invisible marks.
        { { QStringLiteral("description"), TextDirection::withoutMarks(shortcutDescription()) },
            { QStringLiteral("preferred_trigger"),
                PortalTrigger::preferredTrigger(m_shortcut) } } } };
    const QString token = QStringLiteral("nookary_%1").arg(QRandomGenerator::global()->generate());
    startRequest(QStringLiteral("BindShortcuts"),
        { QVariant::fromValue(QDBusObjectPath(session)), QVariant::fromValue(shortcuts), QString(),
            QVariantMap { { QStringLiteral("handle_token"), token } } },
        token, generation, &PortalGlobalHotkeyService::shortcutsBound);
}

void PortalGlobalHotkeyService::shortcutsBound(
    quint64 generation, uint response, const QVariantMap &results)
{
    if (response != 0)
        return refuse(generation);
    for (const PortalShortcut &shortcut : toShortcuts(results.value(QStringLiteral("shortcuts")))) {
        if (shortcut.id == shortcutId) {
            m_bound = true;
            Q_EMIT registrationBound(
                shortcut.properties.value(QStringLiteral("trigger_description")).toString());
            return;
        }
    }
    // Answered, but without our shortcut: the user bound nothing.
    refuse(generation);
}

void PortalGlobalHotkeyService::refuse(quint64 generation)
{
    if (generation != m_generation)
        return;
    closeSessionAt(std::exchange(m_sessionHandle, QString()));
    Q_EMIT registrationRefused();
}

void PortalGlobalHotkeyService::onActivated(const QDBusMessage &message)
{
    const QVariantList arguments = message.arguments();
    if (!m_bound || arguments.size() < 2)
        return;
    if (toPath(arguments.at(0)) == m_sessionHandle && arguments.at(1).toString() == shortcutId)
        Q_EMIT pressed();
}

void PortalGlobalHotkeyService::onShortcutsChanged(const QDBusMessage &message)
{
    // The user bound another trigger in the desktop's settings.
    const QVariantList arguments = message.arguments();
    if (!m_bound || arguments.size() < 2 || toPath(arguments.at(0)) != m_sessionHandle)
        return;
    for (const PortalShortcut &shortcut : toShortcuts(arguments.at(1))) {
        if (shortcut.id == shortcutId)
            Q_EMIT triggerChanged(
                shortcut.properties.value(QStringLiteral("trigger_description")).toString());
    }
}

} // namespace nookary

#include "PortalGlobalHotkeyService.moc"
