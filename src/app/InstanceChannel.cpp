// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstanceChannel.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTimer>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "nookary.instance")

namespace nookary {

namespace {

constexpr std::array<std::pair<InstanceChannel::Request, const char *>, 8> kWords { {
    { InstanceChannel::Request::reopen, "reopen" },
    { InstanceChannel::Request::toggle, "toggle" },
    { InstanceChannel::Request::show, "show" },
    { InstanceChannel::Request::hide, "hide" },
    { InstanceChannel::Request::history, "history" },
    { InstanceChannel::Request::saved, "saved" },
    { InstanceChannel::Request::ping, "ping" },
    { InstanceChannel::Request::importSaved, "import-saved" },
} };

// A peer that sends nothing sensible is dropped rather than kept waiting on.
constexpr int kMaxRequestBytes = 64;
// An import carries its texts on the request line: at most an import file's worth, escaped.
constexpr qsizetype kMaxImportRequestBytes = 8 * 16 * 1024 * 1024;
constexpr QByteArrayView kImportPrefix = "import-saved ";

qsizetype maxRequestBytes(QByteArrayView start)
{
    return start.startsWith(kImportPrefix) ? kMaxImportRequestBytes : kMaxRequestBytes;
}
constexpr int kRequestTimeoutMs = 2000;

} // namespace

QString InstanceChannel::socketPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/com.dorwen.Nookary.%1").arg(::getuid());
}

QByteArray InstanceChannel::requestWord(Request request)
{
    for (const auto &[r, word] : kWords) {
        if (r == request)
            return word;
    }
    return {};
}

std::optional<InstanceChannel::Request> InstanceChannel::requestFromWord(QByteArrayView word)
{
    for (const auto &[r, w] : kWords) {
        if (word == w)
            return r;
    }
    return std::nullopt;
}

QString InstanceChannel::startLockPath()
{
    return socketPath() + QStringLiteral(".lock");
}

bool InstanceChannel::isRunning(int timeoutMs)
{
    // The kernel accepts a connection to a live socket even while its owner is busy; a
    // socket file without a listener refuses at once.
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    return socket.waitForConnected(timeoutMs);
}

std::optional<QByteArray> InstanceChannel::send(Request request, int timeoutMs)
{
    return send(request, {}, timeoutMs);
}

std::optional<QByteArray> InstanceChannel::send(
    Request request, const QByteArray &argument, int timeoutMs, bool *reached)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    const bool connected = socket.waitForConnected(timeoutMs);
    if (reached)
        *reached = connected;
    if (!connected)
        return std::nullopt;
    socket.write(
        requestWord(request) + (argument.isEmpty() ? QByteArray() : ' ' + argument) + '\n');
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs))
            return std::nullopt;
    }
    // The server closes the connection after its reply.
    QByteArray reply;
    while (socket.state() == QLocalSocket::ConnectedState) {
        if (!socket.waitForReadyRead(timeoutMs) && socket.state() == QLocalSocket::ConnectedState)
            return std::nullopt;
        reply += socket.readAll();
    }
    reply += socket.readAll();
    return reply;
}

InstanceServer::InstanceServer(Handler handler, QObject *parent)
    : InstanceServer(
        ArgumentHandler([handler = std::move(handler)](InstanceChannel::Request request,
                            const QByteArray &) { return handler(request); }),
        parent)
{
}

InstanceServer::InstanceServer(ArgumentHandler handler, QObject *parent)
    : QObject(parent)
    , m_handler(std::move(handler))
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server.nextPendingConnection())
            serve(socket);
    });
}

bool InstanceServer::listen()
{
    // QLocalServer makes a user-only socket elsewhere and renames it into place, which
    // would silently replace a live instance's socket: ask first.
    if (InstanceChannel::isRunning())
        return false;
    const QString path = InstanceChannel::socketPath();
    if (QFile::exists(path)) {
        qCInfo(lcInstance).noquote() << "Taking over the socket left behind at" << path;
        QLocalServer::removeServer(path);
    }
    return m_server.listen(path);
}

void InstanceServer::serve(QLocalSocket *socket)
{
    socket->setParent(this);
    auto *timeout = new QTimer(socket);
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, socket, &QLocalSocket::abort);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
        const qsizetype limit = maxRequestBytes(socket->peek(kImportPrefix.size()));
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > limit)
                socket->abort();
            return;
        }
        const QByteArray line = socket->readLine(limit + 1);
        if (!line.endsWith('\n')) {
            socket->abort();
            return;
        }
        const qsizetype space = line.indexOf(' ');
        const QByteArray word = line.first(space < 0 ? line.size() : space).trimmed();
        const QByteArray argument = space < 0 ? QByteArray() : line.sliced(space + 1).trimmed();
        const auto request = InstanceChannel::requestFromWord(word);
        if (request)
            socket->write(m_handler(*request, argument));
        socket->disconnectFromServer();
    });
    timeout->start(kRequestTimeoutMs);
}

} // namespace nookary
