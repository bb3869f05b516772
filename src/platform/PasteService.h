// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/MainQueue.h"
#include "platform/Workspace.h"

#include <QObject>
#include <QStringList>

#include <chrono>
#include <functional>
#include <optional>

namespace nookary {

class Clock;

// Pastes into another program's window by typing its paste keys there, as the user would
// after choosing an entry. Nothing is ever typed into one of our own windows or into no
// window at all: a request waits until its target has the keyboard and no key is held (a
// key the user still holds cannot be released for them), and gives up without typing after
// `giveUpAfter`. Main thread only; `finished` comes once per request, on the main thread.
class PasteService : public QObject {
    Q_OBJECT

public:
    // Why a session cannot paste; the settings window says so. Never renumber: tests and the
    // view name these.
    enum class Availability {
        available,
        noXTest, // an X server without the XTEST extension
        noVirtualKeyboard, // a Wayland compositor without zwp_virtual_keyboard_manager_v1
        noWindowSystem, // a session this build reaches no keyboard in
    };
    Q_ENUM(Availability)

    // `none`: the target has no key that pastes the clipboard; nothing is typed.
    enum class Keys { ctrlV, ctrlShiftV, ctrlAltV, none };
    Q_ENUM(Keys)

    struct Request {
        // The window focus goes back to; nothing where its activation cannot be seen
        // (Wayland), in which case the keys go wherever focus went once ours is gone.
        std::optional<RunningApplication> target;
        // True while one of our windows has the keyboard.
        std::function<bool()> ownWindowHasFocus;
        // False once the chosen entry is no longer on the clipboard (another program copied
        // since): the keys would paste that instead, so none are sent. Unset: always true.
        std::function<bool()> choiceOnClipboard;
        // The keys for the target, by its window class names (WM_CLASS instance and class,
        // or an app id); the list is empty when the class cannot be known.
        std::function<Keys(const QStringList &windowClass)> keysFor;
    };

    static constexpr std::chrono::milliseconds giveUpAfter { 1000 };
    static constexpr std::chrono::milliseconds checkInterval { 15 };

    // `clock` times the waiting and must outlive the service.
    explicit PasteService(Clock &clock, QObject *parent = nullptr);
    ~PasteService() override;

    virtual Availability availability() const = 0;

    // Types the paste keys into `request.target` once it is ready, replacing a request that
    // still waits (which then finishes unsent).
    void paste(Request request);
    // Drops a waiting request (the panel opened again): it finishes unsent.
    void cancel();
    bool isWaiting() const { return m_request.has_value(); }

Q_SIGNALS:
    void finished(bool sent);

protected:
    // Whether a request can ever be served here (a target that can be watched, if needed).
    virtual bool canServe(const Request &request) const = 0;
    // Whether the keys may go now: the target has the keyboard and no key is down.
    virtual bool isReady(const Request &request) const = 0;
    // The target's window class names, for `Request::keysFor`.
    virtual QStringList windowClass(const Request &request) const = 0;
    // Types the keys; false when the window system refused them.
    virtual bool send(Keys keys) = 0;

private:
    void check();
    void finish(bool sent);

    Clock &m_clock;
    std::optional<Request> m_request;
    std::chrono::steady_clock::time_point m_deadline {};
    CancellableTask m_nextCheck;
};

// For sessions in which the program reaches no other window's keyboard.
class NullPasteService final : public PasteService {
    Q_OBJECT

public:
    explicit NullPasteService(Availability why = Availability::noWindowSystem);
    Availability availability() const override { return m_why; }

protected:
    bool canServe(const Request &) const override { return false; }
    bool isReady(const Request &) const override { return false; }
    QStringList windowClass(const Request &) const override { return {}; }
    bool send(Keys) override { return false; }

private:
    const Availability m_why;
};

} // namespace nookary
