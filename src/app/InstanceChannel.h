// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/UserSocketListener.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace nookary {

// The single-instance channel: the first Nookary of a user on a display listens on a local
// socket that only this user can reach; later command lines connect, send one request line
// (a word, and for an import a space and its argument) and read one reply.
namespace InstanceChannel {

enum class Request { reopen, toggle, show, hide, history, saved, ping, importSaved };

// The Nookary this process is or talks to, an `InstanceName`: by default the one of this
// process's environment; the program and its command lines set the one their options name.
void useInstanceName(const QString &name);
QString instanceName();
// A folder of this user alone (mode 0700): the runtime folder when it is one, else one
// made in the temporary folder (a name another user took is passed over). Empty when none
// can be had.
QString socketFolder();
// The socket in that folder, named after the program, the user id and the instance.
QString socketPath();
// The lock (a QLockFile) that keeps an instance's start and a command line that writes the
// settings file itself apart: an instance holds it from before it reads the settings until
// it listens, and again as it quits; the command line takes it, then looks for an instance.
// One per user, in the socket's folder; empty when there is no such folder.
QString startLockPath();
QByteArray requestWord(Request request);
std::optional<Request> requestFromWord(QByteArrayView word);

// True when an instance of this user listens, even one too busy to answer right now.
bool isRunning(int timeoutMs = 1000);

// The running instance's reply, or nothing when no instance answers within `timeoutMs`.
std::optional<QByteArray> send(Request request, int timeoutMs = 3000);
// The same with an argument on the request line, which must hold no line break. `reached`
// tells whether an instance was connected to: then it may have acted on the request even
// though its answer never came.
std::optional<QByteArray> send(
    Request request, const QByteArray &argument, int timeoutMs = 3000, bool *reached = nullptr);

// A reply as it may be printed to a terminal: control characters (and those that turn text
// around) are written as JSON escapes, bytes that are not UTF-8 as replacement characters.
QByteArray printable(const QByteArray &reply);

} // namespace InstanceChannel

// The listening side. Requests are answered on the main thread, one line in, a reply out.
class InstanceServer final : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<QByteArray(InstanceChannel::Request)>;
    // For a handler that also takes a request's argument (empty when it carries none).
    using ArgumentHandler
        = std::function<QByteArray(InstanceChannel::Request, const QByteArray &argument)>;

    explicit InstanceServer(Handler handler, QObject *parent = nullptr);
    explicit InstanceServer(ArgumentHandler handler, QObject *parent = nullptr);

    // False when another instance already listens, or the socket cannot be made. A socket
    // left behind by an instance that crashed is removed and taken over.
    bool listen();
    QString errorString() const { return m_listener.errorString(); }

    // Connections held at once; more close the oldest. Idle ones go after 2 s anyway.
    static constexpr int maxConnections = 16;

private:
    void serve(QLocalSocket *socket);

    ArgumentHandler m_handler;
    UserSocketListener m_listener;
};

} // namespace nookary
