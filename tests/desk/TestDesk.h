#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace nookary::test {

// A real X session made for one test: Xvfb on a display it picks itself, openbox as the
// window manager, tint2 as a panel with a tray, and a temporary home, so that nothing the
// test does touches the developer's desktop or settings. Everything it started is stopped
// when it is destroyed.
class TestDesk {
public:
    struct Options {
        bool windowManager = true;
        bool panel = true;
    };

    struct Result {
        bool finished = false;
        int exitCode = -1;
        QByteArray out;
        QByteArray err;
    };

    TestDesk();
    explicit TestDesk(Options options);
    ~TestDesk();

    bool start();
    QString errorString() const { return m_error; }

    QString display() const { return m_display; }
    QString homePath() const { return m_home.path(); }
    // DISPLAY, HOME and the XDG folders of this desk; no Wayland.
    QProcessEnvironment environment() const { return m_environment; }

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
    QString activeWindow() const;
    // The first visible window of `className` whose width lies in [minWidth, maxWidth],
    // or empty.
    QString findWindow(const QString &className, int minWidth, int maxWidth) const;

    // Starts a program that runs beside the test; stopped at the end at the latest.
    QProcess *spawn(const QString &program, const QStringList &arguments);
    QProcess *spawn(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &environment);
    static void stop(QProcess *process);

private:
    bool startServer();
    bool waitFor(const std::function<bool()> &condition, int timeoutMs) const;

    Options m_options;
    QString m_error;
    QString m_display;
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
    std::vector<std::unique_ptr<QProcess>> m_processes; // the server first
};

} // namespace nookary::test
