// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestDesk.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>
#include <QtCore/qtestsupport_core.h>

#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace nookary::test {

TestDesk::TestDesk()
    : TestDesk(Options {})
{
}

TestDesk::TestDesk(Options options)
    : m_options(options)
{
}

TestDesk::~TestDesk()
{
    // Clients first, the X server last.
    for (auto it = m_processes.rbegin(); it != m_processes.rend(); ++it) {
        if (it->get()->processId() == m_compositorGroup && m_compositorGroup > 0) {
            // dbus-run-session does not pass a signal on: Mutter's whole group goes.
            ::kill(-m_compositorGroup, SIGTERM);
            waitFor([this] { return ::kill(-m_compositorGroup, 0) != 0; }, 3000);
            ::kill(-m_compositorGroup, SIGKILL);
        }
        stop(it->get());
    }
}

bool TestDesk::start()
{
    if (!m_home.isValid()) {
        m_error = QStringLiteral("cannot make a temporary home");
        return false;
    }
    const bool gnome = m_options.session == Session::gnome;
    const bool wayland = m_options.session == Session::wayland || gnome;
    if (!(gnome ? startMutter() : wayland ? startCompositor() : startServer()))
        return false;

    const QString home = m_home.path();
    for (const char *dir : { "config", "data", "cache", "runtime" })
        QDir(home).mkpath(QString::fromLatin1(dir));
    QFile::setPermissions(home + QStringLiteral("/runtime"),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    m_environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    m_environment.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    // The program's words are English, whatever the developer's language: suites find its
    // windows by their titles.
    m_environment.remove(QStringLiteral("LANGUAGE"));
    m_environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    if (wayland) {
        m_environment.remove(QStringLiteral("DISPLAY"));
        m_environment.insert(QStringLiteral("WAYLAND_DISPLAY"), m_display);
        m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        m_environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
        if (gnome) {
            m_environment.insert(QStringLiteral("DISPLAY"), m_xwaylandDisplay);
            m_environment.insert(QStringLiteral("XAUTHORITY"), m_xwaylandAuthority);
        }
    } else {
        m_environment.insert(QStringLiteral("DISPLAY"), m_display);
    }
    m_environment.insert(QStringLiteral("HOME"), home);
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    m_environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    m_environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
    if (!pinFont())
        return false;

    if (m_options.accessibility && !startSessionBus())
        return false;
    if (wayland)
        return true; // the compositor manages the windows; there is no tray
    if (m_options.windowManager) {
        spawn(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
        const bool up = waitFor(
            [this] {
                return run(QStringLiteral("xprop"),
                    { QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK") })
                    .out.contains("window id");
            },
            10000);
        if (!up) {
            m_error = QStringLiteral("openbox did not start");
            return false;
        }
    }
    if (m_options.panel) {
        spawn(QStringLiteral("tint2"), {});
        const bool up = waitFor(
            [this] {
                return run(QStringLiteral("xdotool"),
                           { QStringLiteral("search"), QStringLiteral("--class"),
                               QStringLiteral("tint2") })
                           .exitCode
                    == 0;
            },
            10000);
        if (!up) {
            m_error = QStringLiteral("tint2 did not start");
            return false;
        }
    }
    return true;
}

bool TestDesk::pinFont()
{
    // Where a test points depends on how tall a line of text is: the desk draws with one
    // font whatever the machine's default is (Noto Sans on KDE, Cantarell on GNOME), and
    // without the developer's desktop theme, which would name a font of its own. The
    // machine's configuration (or the one FONTCONFIG_FILE names) still applies otherwise.
    for (const char *name : { "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "XDG_CURRENT_DESKTOP",
             "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI" })
        m_environment.remove(QString::fromLatin1(name));
    const QString inherited
        = qEnvironmentVariable("FONTCONFIG_FILE", QStringLiteral("/etc/fonts/fonts.conf"));
    const QString path = m_home.filePath(QStringLiteral("fonts.conf"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("cannot write the desk's font configuration");
        return false;
    }
    file.write(QStringLiteral(R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">%1</include>
  <match target="pattern">
    <test qual="any" name="family"><string>sans-serif</string></test>
    <edit name="family" mode="prepend_first" binding="strong"><string>%2</string></edit>
  </match>
</fontconfig>
)")
                   .arg(inherited.toHtmlEscaped(), deskFont)
                   .toUtf8());
    m_environment.insert(QStringLiteral("FONTCONFIG_FILE"), path);
    return true;
}

bool TestDesk::startServer()
{
    auto server = std::make_unique<QProcess>();
    server->setProcessChannelMode(QProcess::SeparateChannels);
    server->setStandardErrorFile(QProcess::nullDevice());
    // -displayfd: Xvfb picks a free display and writes its number when it is ready.
    server->start(QStringLiteral("Xvfb"),
        { QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
            QStringLiteral("0"), m_options.screen, QStringLiteral("-nolisten"),
            QStringLiteral("tcp"), QStringLiteral("-noreset") });
    if (!server->waitForStarted(5000)) {
        m_error = QStringLiteral("cannot start Xvfb: ") + server->errorString();
        return false;
    }
    QByteArray line;
    QDeadlineTimer deadline(15000);
    while (!line.contains('\n') && !deadline.hasExpired() && server->state() == QProcess::Running) {
        server->waitForReadyRead(100);
        line += server->readAllStandardOutput();
    }
    m_processes.push_back(std::move(server));
    bool ok = false;
    const int number = line.trimmed().toInt(&ok);
    if (!ok) {
        m_error = QStringLiteral("Xvfb did not report a display");
        return false;
    }
    m_display = QStringLiteral(":%1").arg(number);
    return true;
}

bool TestDesk::startSessionBus()
{
    auto bus = std::make_unique<QProcess>();
    bus->setProcessEnvironment(m_environment);
    bus->setStandardErrorFile(QProcess::nullDevice());
    bus->start(QStringLiteral("dbus-daemon"),
        { QStringLiteral("--session"), QStringLiteral("--nofork"),
            QStringLiteral("--print-address=1") });
    QByteArray line;
    QDeadlineTimer deadline(10000);
    while (!line.contains('\n') && !deadline.hasExpired() && bus->state() != QProcess::NotRunning) {
        bus->waitForReadyRead(100);
        line += bus->readAllStandardOutput();
    }
    m_processes.push_back(std::move(bus));
    const QString address = QString::fromUtf8(line).trimmed();
    if (address.isEmpty()) {
        m_error = QStringLiteral("cannot start a session bus (dbus-daemon)");
        return false;
    }
    m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    m_environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    return true;
}

bool TestDesk::canStartWayland()
{
    return !QStandardPaths::findExecutable(QStringLiteral("sway")).isEmpty();
}

namespace {

// The user sway runs as when the test runs as root; made on first use. Null when it cannot
// be had.
const passwd *compositorUser()
{
    const char *name = "nookary-desk";
    if (const passwd *user = ::getpwnam(name))
        return user;
    // Two desks may race to make it; whichever wins, the user then exists.
    QProcess::execute(QStringLiteral("useradd"),
        { QStringLiteral("--system"), QStringLiteral("--no-create-home"), QStringLiteral("--shell"),
            QStringLiteral("/usr/sbin/nologin"), QString::fromLatin1(name) });
    return ::getpwnam(name);
}

} // namespace

bool TestDesk::makeCompositorHome(uid_t &uid, gid_t &gid)
{
    m_compositorHome = std::make_unique<QTemporaryDir>();
    if (!m_compositorHome->isValid()) {
        m_error = QStringLiteral("cannot make a folder for the compositor");
        return false;
    }
    uid = m_compositorUid = ::getuid();
    gid = m_compositorGid = ::getgid();
    if (uid != 0)
        return true;
    const passwd *user = compositorUser();
    if (!user) {
        m_error = QStringLiteral("cannot make the user the compositor runs as (useradd)");
        return false;
    }
    uid = m_compositorUid = user->pw_uid;
    gid = m_compositorGid = user->pw_gid;
    // The compositor's runtime folder is its own, as a session's is.
    if (::chown(m_compositorHome->path().toLocal8Bit().constData(), uid, gid) != 0) {
        m_error = QStringLiteral("cannot hand the compositor its folder");
        return false;
    }
    return true;
}

bool TestDesk::startCompositor()
{
    uid_t uid = 0;
    gid_t gid = 0;
    if (!makeCompositorHome(uid, gid))
        return false;
    const QString dir = m_compositorHome->path();
    QFile config(dir + QStringLiteral("/config"));
    if (!config.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("cannot write sway's configuration");
        return false;
    }
    config.write("xwayland disable\noutput HEADLESS-1 resolution 1280x800\n");
    config.close();
    if (uid != ::getuid() && ::chown(config.fileName().toLocal8Bit().constData(), uid, gid) != 0) {
        m_error = QStringLiteral("cannot hand sway its configuration");
        return false;
    }

    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    environment.insert(QStringLiteral("HOME"), dir);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir);
    environment.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    environment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    environment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    auto sway = std::make_unique<QProcess>();
    sway->setProcessEnvironment(environment);
    sway->setProcessChannelMode(QProcess::MergedChannels);
    sway->setStandardOutputFile(dir + QStringLiteral("/sway.log"));
    if (uid != ::getuid()) {
        sway->setChildProcessModifier([uid, gid] {
            // After fork, before exec: only calls that are safe there.
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(126);
        });
    }
    sway->start(QStringLiteral("sway"), { QStringLiteral("-c"), config.fileName() });
    if (!sway->waitForStarted(5000)) {
        m_error = QStringLiteral("cannot start sway: ") + sway->errorString();
        return false;
    }
    QProcess *started = sway.get();
    m_processes.push_back(std::move(sway));
    return waitForSocket(started, dir + QStringLiteral("/sway.log"));
}

bool TestDesk::waitForSocket(QProcess *compositor, const QString &logPath)
{
    // The compositor names its socket itself, in its runtime folder, once it listens.
    const QString dir = m_compositorHome->path();
    QString socket;
    const bool up = waitFor(
        [&] {
            const QStringList names
                = QDir(dir).entryList({ QStringLiteral("wayland-*") }, QDir::System | QDir::Files);
            for (const QString &name : names) {
                if (!name.endsWith(QLatin1String(".lock")))
                    socket = dir + u'/' + name;
            }
            return !socket.isEmpty() || compositor->state() == QProcess::NotRunning;
        },
        15000);
    if (!up || socket.isEmpty()) {
        QFile log(logPath);
        log.open(QIODevice::ReadOnly);
        m_error = QStringLiteral("the compositor did not start: ")
            + QString::fromUtf8(log.readAll().right(600));
        return false;
    }
    m_display = socket;
    return true;
}

bool TestDesk::canStartGnome()
{
    for (const char *program : { "mutter", "Xwayland", "dbus-run-session" }) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty())
            return false;
    }
    return true;
}

bool TestDesk::startMutter()
{
    uid_t uid = 0;
    gid_t gid = 0;
    if (!makeCompositorHome(uid, gid))
        return false;
    const QString dir = m_compositorHome->path();
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    environment.insert(QStringLiteral("HOME"), dir);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir);
    auto mutter = std::make_unique<QProcess>();
    mutter->setProcessEnvironment(environment);
    mutter->setProcessChannelMode(QProcess::MergedChannels);
    const QString logPath = dir + QStringLiteral("/mutter.log");
    mutter->setStandardOutputFile(logPath);
    mutter->setChildProcessModifier([uid, gid, drop = uid != ::getuid()] {
        // After fork, before exec: only calls that are safe there. A group of its own, so
        // that the bus and XWayland go with it.
        ::setsid();
        if (drop && (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0))
            ::_exit(126);
    });
    mutter->start(QStringLiteral("dbus-run-session"),
        { QStringLiteral("--"), QStringLiteral("mutter"), QStringLiteral("--headless"),
            QStringLiteral("--wayland"), QStringLiteral("--virtual-monitor"),
            QStringLiteral("1280x800") });
    if (!mutter->waitForStarted(5000)) {
        m_error = QStringLiteral("cannot start mutter: ") + mutter->errorString();
        return false;
    }
    m_compositorGroup = pid_t(mutter->processId());
    QProcess *started = mutter.get();
    m_processes.push_back(std::move(mutter));
    if (!waitForSocket(started, logPath))
        return false;
    // Mutter says which X display its XWayland serves, and writes the authority for it.
    const QRegularExpression used(QStringLiteral("Using public X11 display (:\\d+)"));
    const bool up = waitFor(
        [&] {
            QFile log(logPath);
            if (log.open(QIODevice::ReadOnly))
                m_xwaylandDisplay = used.match(QString::fromUtf8(log.readAll())).captured(1);
            const QStringList auth = QDir(dir).entryList(
                { QStringLiteral(".mutter-Xwaylandauth.*") }, QDir::Files | QDir::Hidden);
            if (!auth.isEmpty())
                m_xwaylandAuthority = dir + u'/' + auth.first();
            return (!m_xwaylandDisplay.isEmpty() && !m_xwaylandAuthority.isEmpty())
                || started->state() == QProcess::NotRunning;
        },
        15000);
    if (!up || m_xwaylandDisplay.isEmpty() || m_xwaylandAuthority.isEmpty()) {
        m_error = QStringLiteral("mutter started no XWayland");
        return false;
    }
    return true;
}

bool TestDesk::addGnomeKeyboard(const QString &script)
{
    // Mutter's D-Bus is the session bus dbus-run-session made for it, and takes only its own
    // user: the helper runs as that user, on the address Mutter was given.
    QString address;
    const QStringList entries
        = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        // pid (comm) state ppid pgrp ...
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (!line.contains("(mutter)") || fields.value(2).toLongLong() != m_compositorGroup)
            continue;
        QFile environ(QStringLiteral("/proc/%1/environ").arg(entry));
        if (!environ.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &variable : environ.readAll().split('\0')) {
            if (variable.startsWith("DBUS_SESSION_BUS_ADDRESS="))
                address
                    = QString::fromUtf8(variable.mid(int(qstrlen("DBUS_SESSION_BUS_ADDRESS="))));
        }
    }
    if (address.isEmpty()) {
        m_error = QStringLiteral("cannot find Mutter's session bus");
        return false;
    }
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
    environment.insert(QStringLiteral("HOME"), m_compositorHome->path());
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
    auto keyboard = std::make_unique<QProcess>();
    keyboard->setProcessEnvironment(environment);
    const uid_t uid = m_compositorUid;
    const gid_t gid = m_compositorGid;
    if (uid != ::getuid()) {
        keyboard->setChildProcessModifier([uid, gid] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(126);
        });
    }
    // Debian's Python, which has the GObject bindings, whatever python3 comes first.
    keyboard->start(QStringLiteral("/usr/bin/python3"), { script });
    m_gnomeKeyboard = keyboard.get();
    m_processes.push_back(std::move(keyboard));
    QByteArray said;
    QDeadlineTimer deadline(10000);
    while (!said.contains("ready") && !deadline.hasExpired()
        && m_gnomeKeyboard->state() != QProcess::NotRunning) {
        m_gnomeKeyboard->waitForReadyRead(100);
        said += m_gnomeKeyboard->readAllStandardOutput();
    }
    if (!said.contains("ready")) {
        m_error = QStringLiteral("no keyboard for Mutter: ")
            + QString::fromUtf8(m_gnomeKeyboard->readAllStandardError().right(600));
        return false;
    }
    return true;
}

bool TestDesk::pressGnomeKey(quint32 keysym)
{
    if (!m_gnomeKeyboard)
        return false;
    m_gnomeKeyboard->write(QByteArray::number(keysym) + '\n');
    QByteArray said;
    QDeadlineTimer deadline(5000);
    while (!said.contains("ok") && !deadline.hasExpired()) {
        m_gnomeKeyboard->waitForReadyRead(100);
        said += m_gnomeKeyboard->readAllStandardOutput();
    }
    return said.contains("ok");
}

TestDesk::Result TestDesk::wtype(const QStringList &arguments) const
{
    return run(QStringLiteral("wtype"),
        QStringList { QStringLiteral("-s"), QStringLiteral("400"), QStringLiteral("-d"),
            QStringLiteral("30") }
            + arguments + QStringList { QStringLiteral("-s"), QStringLiteral("200") });
}

bool TestDesk::waitFor(const std::function<bool()> &condition, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (condition())
            return true;
        QThread::msleep(50);
    }
    return condition();
}

TestDesk::Result TestDesk::run(const QString &program, const QStringList &arguments,
    const QByteArray &input, int timeoutMs) const
{
    return run(program, arguments, m_environment, input, timeoutMs);
}

TestDesk::Result TestDesk::run(const QString &program, const QStringList &arguments,
    const QProcessEnvironment &environment, const QByteArray &input, int timeoutMs) const
{
    QProcess process;
    process.setProcessEnvironment(environment.isEmpty() ? m_environment : environment);
    process.start(program, arguments);
    Result result;
    if (!process.waitForStarted(5000))
        return result;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    result.finished = process.waitForFinished(timeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished(2000);
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

QString TestDesk::output(
    const QString &program, const QStringList &arguments, const QByteArray &input) const
{
    return QString::fromUtf8(run(program, arguments, input).out).trimmed();
}

QString TestDesk::xdotool(const QStringList &arguments) const
{
    return output(QStringLiteral("xdotool"), arguments);
}

bool TestDesk::writeNookarySettings(const QByteArray &settings) const
{
    const QString folder
        = m_environment.value(QStringLiteral("XDG_CONFIG_HOME")) + QStringLiteral("/dorwen");
    QFile file(folder + QStringLiteral("/Nookary.conf"));
    return QDir().mkpath(folder) && file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        && file.write("[General]\nNookary.onboarding.completedVersion.v1=1\n" + settings) >= 0;
}

QString TestDesk::nookarySettingsPath() const
{
    return m_environment.value(QStringLiteral("XDG_CONFIG_HOME"))
        + QStringLiteral("/dorwen/Nookary.conf");
}

QProcess *TestDesk::startNookary(const NookaryStart &start)
{
    if (!start.keepSettings) {
        const QString path = nookarySettingsPath();
        QFile file(path);
        const QByteArray walkthrough
            = start.firstRun ? QByteArray() : "Nookary.onboarding.completedVersion.v1=1\n";
        if (!QDir().mkpath(QFileInfo(path).path())
            || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write("[General]\n" + walkthrough + start.settings) < 0) {
            m_error = QStringLiteral("cannot write ") + path;
            return nullptr;
        }
        file.close();
        if (!start.snippets.isEmpty()) {
            QJsonArray list;
            for (const QString &text : start.snippets)
                list.append(QJsonObject {
                    { QStringLiteral("id"),
                        QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() },
                    { QStringLiteral("text"), text } });
            QSettings settings(path, QSettings::IniFormat);
            settings.setValue(QStringLiteral("Nookary.shelf.v1"),
                QJsonDocument(list).toJson(QJsonDocument::Compact));
            settings.sync();
            if (settings.status() != QSettings::NoError) {
                m_error = QStringLiteral("cannot save the snippets in ") + path;
                return nullptr;
            }
        }
    }
    const QProcessEnvironment environment
        = start.environment.isEmpty() ? m_environment : start.environment;
    QProcess *process = spawn(QStringLiteral(NOOKARY_BINARY), start.arguments, environment);
    // Its own event loop's turns, so that the test reads what the program says meanwhile.
    if (!QTest::qWaitFor(
            [&] { return nookary({ QStringLiteral("--history") }, environment).exitCode == 0; },
            10000)) {
        m_error = QStringLiteral("Nookary did not answer within 10 s: ")
            + QString::fromLocal8Bit(process->readAllStandardError());
        return nullptr;
    }
    return process;
}

TestDesk::Result TestDesk::nookary(
    const QStringList &arguments, const QProcessEnvironment &environment) const
{
    return run(QStringLiteral(NOOKARY_BINARY), arguments,
        environment.isEmpty() ? m_environment : environment);
}

namespace {

QList<TestDesk::Entry> entries(const TestDesk::Result &result)
{
    QList<TestDesk::Entry> out;
    if (result.exitCode != 0)
        return out;
    for (const QByteArray &line : result.out.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        out.append(
            { o.value(QLatin1String("id")).toString(), o.value(QLatin1String("text")).toString() });
    }
    return out;
}

} // namespace

QList<TestDesk::Entry> TestDesk::history(const QProcessEnvironment &environment) const
{
    return entries(nookary({ QStringLiteral("--history") }, environment));
}

QList<TestDesk::Entry> TestDesk::saved(const QProcessEnvironment &environment) const
{
    return entries(nookary({ QStringLiteral("--saved") }, environment));
}

QStringList TestDesk::texts(const QList<Entry> &entries)
{
    QStringList out;
    for (const Entry &entry : entries)
        out.append(entry.text);
    return out;
}

QString TestDesk::panelWindow() const
{
    return findWindow(QStringLiteral("Nookary"), 560, 100000);
}

void TestDesk::pressKeys(const QString &keys) const
{
    xdotool({ QStringLiteral("key"), keys });
}

bool TestDesk::focusWindow(const QString &window) const
{
    xdotool({ QStringLiteral("windowactivate"), QStringLiteral("--sync"), window });
    return QTest::qWaitFor([&] { return activeWindow() == window; }, 5000);
}

QString TestDesk::activeWindow() const
{
    return xdotool({ QStringLiteral("getactivewindow") });
}

QString TestDesk::findWindow(const QString &className, int minWidth, int maxWidth) const
{
    const QStringList ids = xdotool({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                        QStringLiteral("--class"), className })
                                .split(u'\n', Qt::SkipEmptyParts);
    static const QRegularExpression size(QStringLiteral("Geometry: (\\d+)x(\\d+)"));
    for (const QString &id : ids) {
        const QRegularExpressionMatch m
            = size.match(xdotool({ QStringLiteral("getwindowgeometry"), id }));
        const int width = m.hasMatch() ? m.captured(1).toInt() : 0;
        if (width >= minWidth && width <= maxWidth)
            return id;
    }
    return {};
}

QString TestDesk::swayFocusedApp() const
{
    if (!m_compositorHome)
        return {};
    const QStringList sockets = QDir(m_compositorHome->path())
                                    .entryList({ QStringLiteral("sway-ipc.*.sock") }, QDir::System);
    if (sockets.isEmpty())
        return {};
    const QByteArray tree = run(QStringLiteral("swaymsg"),
        { QStringLiteral("-s"), m_compositorHome->path() + u'/' + sockets.first(),
            QStringLiteral("-t"), QStringLiteral("get_tree"), QStringLiteral("-r") })
                                .out;
    const std::function<QString(const QJsonObject &)> focused
        = [&focused](const QJsonObject &node) -> QString {
        if (node.value(QStringLiteral("focused")).toBool())
            return node.value(QStringLiteral("app_id")).toString();
        for (const char *key : { "nodes", "floating_nodes" }) {
            for (const QJsonValue &child : node.value(QLatin1String(key)).toArray()) {
                if (const QString app = focused(child.toObject()); !app.isEmpty())
                    return app;
            }
        }
        return {};
    };
    return focused(QJsonDocument::fromJson(tree).object());
}

QString TestDesk::trayIcon() const
{
    const QStringList ids = xdotool({ QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                        QStringLiteral("--class"), QStringLiteral("Nookary") })
                                .split(u'\n', Qt::SkipEmptyParts);
    static const QRegularExpression size(QStringLiteral("Width: (\\d+)"));
    static const QRegularExpression onRoot(QStringLiteral("Parent window id: \\S+ \\(the root"));
    for (const QString &id : ids) {
        const QString info = output(QStringLiteral("xwininfo"),
            { QStringLiteral("-id"), id, QStringLiteral("-stats"), QStringLiteral("-tree") });
        const QRegularExpressionMatch m = size.match(info);
        const int width = m.hasMatch() ? m.captured(1).toInt() : 0;
        if (width >= 1 && width <= 64 && !onRoot.match(info).hasMatch())
            return id;
    }
    return {};
}

QProcess *TestDesk::spawn(const QString &program, const QStringList &arguments)
{
    return spawn(program, arguments, m_environment);
}

QProcess *TestDesk::spawn(
    const QString &program, const QStringList &arguments, const QProcessEnvironment &environment)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment);
    process->start(program, arguments);
    process->waitForStarted(5000);
    m_processes.push_back(std::move(process));
    return m_processes.back().get();
}

void TestDesk::stop(QProcess *process)
{
    if (!process || process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(3000)) {
        process->kill();
        process->waitForFinished(2000);
    }
}

QList<qint64> TestDesk::processesRunning(const QString &program)
{
    const QString executable = QFileInfo(program).canonicalFilePath();
    QList<qint64> pids;
    const QStringList entries
        = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (ok && QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid)) == executable)
            pids.append(pid);
    }
    return pids;
}

} // namespace nookary::test
