// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

#include <sys/types.h>
#include <vector>

namespace nookary::test {

// A real X session made for one test: Xvfb on a display it picks itself, openbox as the
// window manager, tint2 as a panel with a tray, and a temporary home, so that nothing the
// test does touches the developer's desktop or settings. Everything it started is stopped
// when it is destroyed.
//
// Or a Wayland session: sway on its headless backend (no screen, no input devices), which
// offers the wlroots protocols (data-control, virtual keyboards). Sway refuses to run as
// root: a test run as root starts it as an unprivileged user of its own ("nookary-desk",
// created on first use), and the test's programs reach its socket by its full path.
//
// Or GNOME's: Mutter headless with a virtual monitor, as the same user, on a session bus of
// its own (dbus-run-session), with its XWayland: the desk's programs get both WAYLAND_DISPLAY
// and the XWayland DISPLAY with the authority file Mutter wrote. It offers no data-control and
// no input devices.
class TestDesk {
public:
    enum class Session { x11, wayland, gnome };

    struct Options {
        bool windowManager = true; // X11 only
        bool panel = true; // X11 only
        // Xvfb's one screen, as WIDTHxHEIGHTxDEPTH; `xrandr --setmonitor` can split it.
        QString screen = QStringLiteral("1280x800x24");
        Session session = Session::x11;
        // A session bus of the desk's own, with the accessibility bus that a screen reader
        // uses (started on demand), and Qt's accessibility on in the desk's programs.
        bool accessibility = false;
    };

    struct Result {
        bool finished = false;
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    // The sans-serif every program on the desk draws with (fonts-dejavu-core).
    static inline const QString deskFont = QStringLiteral("DejaVu Sans");

    TestDesk();
    explicit TestDesk(Options options);
    ~TestDesk();

    bool start();
    QString errorString() const { return m_error; }

    QString display() const { return m_display; }
    QString homePath() const { return m_home.path(); }
    // HOME and the XDG folders of this desk, with DISPLAY on X11, or on Wayland
    // WAYLAND_DISPLAY (the socket's full path) and Qt's Wayland platform.
    QProcessEnvironment environment() const { return m_environment; }
    // True when sway is installed, so that a Wayland desk can start.
    static bool canStartWayland();
    // True when Mutter, XWayland and dbus-run-session are installed, for a GNOME desk.
    static bool canStartGnome();
    // GNOME: a keyboard for the headless Mutter, which has none (and Wayland programs can
    // neither copy nor paste without one): `script` (tests/tools/mutter_keys.py) holds a
    // remote-desktop session of Mutter's own D-Bus API, whose virtual keyboard the seat has
    // while it runs. Then presses and releases X keysyms on it, one at a time.
    bool addGnomeKeyboard(const QString &script);
    bool pressGnomeKey(quint32 keysym);

    // Runs a program on this desk to its end.
    Result run(const QString &program, const QStringList &arguments, const QByteArray &input = {},
        int timeoutMs = 15000) const;
    Result run(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &environment, const QByteArray &input = {},
        int timeoutMs = 15000) const;
    // The trimmed standard output of a program run on this desk.
    QString output(
        const QString &program, const QStringList &arguments, const QByteArray &input = {}) const;
    QString xdotool(const QStringList &arguments) const;
    // Wayland: types with a virtual keyboard (`wtype` arguments, such as "text" or
    // "-k", "Return"). The seat has a keyboard only while wtype runs, so it waits for the
    // focused program to take the new keyboard before the first key.
    Result wtype(const QStringList &arguments) const;
    QString activeWindow() const;
    // Wayland (sway): the app id of the window that has the keyboard, or empty.
    QString swayFocusedApp() const;
    // The first visible window of `className` whose width lies in [minWidth, maxWidth],
    // or empty.
    QString findWindow(const QString &className, int minWidth, int maxWidth) const;
    // Nookary's XEmbed tray icon, or empty. Its tooltip ("Nookary", shown while the pointer
    // rests on the icon) is a window of the same class and about the same width: a click
    // meant for the icon must not land on it. The icon is the one the tray took in.
    QString trayIcon() const;

    // Replaces Nookary's settings file in the desk's home: the walkthrough done, and
    // `settings` (lines of its [General] group). False when it cannot be written.
    bool writeNookarySettings(const QByteArray &settings = {}) const;
    // Nookary's settings file in the desk's home.
    QString nookarySettingsPath() const;

    // Nookary, the build's own, on this desk.
    struct NookaryStart {
        // Lines of the settings file's [General] group; the file is written anew, with the
        // walkthrough done unless `firstRun`.
        QByteArray settings {};
        bool firstRun = false;
        // Leaves the settings file as it is instead (and `settings` and `snippets` unused).
        bool keepSettings = false;
        // Saved snippets, in order, written to the settings file with fresh ids.
        QStringList snippets {};
        // A start at login by default: quietly, with no window.
        QStringList arguments { QStringLiteral("--launched-from-login-item") };
        // The desk's own when empty.
        QProcessEnvironment environment {};
    };
    // Starts Nookary and waits until it answers a command line (10 s). Null, with
    // errorString(), where it cannot; it is stopped with the desk at the latest.
    QProcess *startNookary(const NookaryStart &start);
    QProcess *startNookary() { return startNookary(NookaryStart {}); }
    // Runs Nookary's command line on this desk (with `environment` when one is given).
    Result nookary(const QStringList &arguments, const QProcessEnvironment &environment = {}) const;
    struct Entry {
        QString id;
        QString text;
        bool operator==(const Entry &) const = default;
    };
    // What `Nookary --history` and `--saved` print, newest and first first; empty where no
    // Nookary answers.
    QList<Entry> history(const QProcessEnvironment &environment = {}) const;
    QList<Entry> saved(const QProcessEnvironment &environment = {}) const;
    static QStringList texts(const QList<Entry> &entries);
    // The window of Nookary's panel (either presentation: at least 560 wide), or empty.
    QString panelWindow() const;
    // Presses keys as the user does (xdotool's names: "ctrl+alt+space").
    void pressKeys(const QString &keys) const;
    // Activates a window and waits until it has the focus (5 s).
    bool focusWindow(const QString &window) const;

    // Starts a program that runs beside the test; stopped at the end at the latest.
    QProcess *spawn(const QString &program, const QStringList &arguments);
    QProcess *spawn(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &environment);
    static void stop(QProcess *process);
    // The pids of the running processes whose executable is `program` (resolved).
    static QList<qint64> processesRunning(const QString &program);

private:
    bool startServer();
    bool pinFont();
    bool startCompositor();
    bool startMutter();
    // The compositor's runtime folder, owned by the user it runs as; that user's ids.
    bool makeCompositorHome(uid_t &uid, gid_t &gid);
    bool waitForSocket(QProcess *compositor, const QString &log);
    bool startSessionBus();
    bool waitFor(const std::function<bool()> &condition, int timeoutMs) const;

    Options m_options;
    QString m_error;
    QString m_display;
    QTemporaryDir m_home;
    std::unique_ptr<QTemporaryDir> m_compositorHome; // sway's, owned by the user it runs as
    QProcessEnvironment m_environment;
    QString m_xwaylandDisplay; // GNOME: Mutter's XWayland, and the authority file it wrote
    QString m_xwaylandAuthority;
    pid_t m_compositorGroup = 0; // GNOME: Mutter, its bus and XWayland share a process group
    uid_t m_compositorUid = 0;
    gid_t m_compositorGid = 0;
    QProcess *m_gnomeKeyboard = nullptr;
    std::vector<std::unique_ptr<QProcess>> m_processes; // the server first
};

} // namespace nookary::test
