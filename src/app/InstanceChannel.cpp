// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstanceChannel.h"

#include "app/InstanceName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>

#include <QLoggingCategory>
#include <QTimer>
#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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

QString &currentInstanceName()
{
    static QString name = InstanceName::forSession(QProcessEnvironment::systemEnvironment());
    return name;
}

// A real folder (not a link) of this user that nobody else may enter.
bool isPrivateFolder(const QByteArray &path, bool tighten = false)
{
    struct stat info { };
    if (::lstat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode)
        || info.st_uid != ::getuid())
        return false;
    if ((info.st_mode & 077) == 0)
        return true;
    // Ours, so ours to close.
    return tighten && ::chmod(path.constData(), 0700) == 0;
}

// Whoever listens at the other end must be this user's: anyone else could read every
// request and answer anything.
bool connectToOwnInstance(QLocalSocket &socket, int timeoutMs)
{
    socket.connectToServer(InstanceChannel::socketPath());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    if (UserSocketListener::peerIsThisUser(socket.socketDescriptor()))
        return true;
    qCWarning(lcInstance).noquote()
        << "Another user's program listens at" << socket.serverName() << "- not asked.";
    socket.abort();
    return false;
}

} // namespace

void InstanceChannel::useInstanceName(const QString &name)
{
    currentInstanceName() = name;
}

QString InstanceChannel::instanceName()
{
    return currentInstanceName();
}

QString InstanceChannel::socketFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return QFile::decodeName(runtime);
    const QString base = QDir::tempPath() + QStringLiteral("/nookary-%1").arg(::getuid());
    for (int n = 0; n < 10; ++n) {
        const QString folder = n == 0 ? base : base + QStringLiteral("-%1").arg(n);
        const QByteArray path = QFile::encodeName(folder);
        if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
            continue;
        if (isPrivateFolder(path, true))
            return folder;
    }
    return {};
}

QString InstanceChannel::socketPath()
{
    const QString folder = socketFolder();
    if (folder.isEmpty())
        return {};
    return folder + QStringLiteral("/com.dorwen.Nookary.%1.%2").arg(::getuid()).arg(instanceName());
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
    // One for all of the user's displays: their instances share one settings file.
    const QString folder = socketFolder();
    if (folder.isEmpty())
        return {};
    return folder + QStringLiteral("/com.dorwen.Nookary.%1.start.lock").arg(::getuid());
}

bool InstanceChannel::isRunning(int timeoutMs)
{
    // The kernel accepts a connection to a live socket even while its owner is busy; a
    // socket file without a listener refuses at once.
    QLocalSocket socket;
    return connectToOwnInstance(socket, timeoutMs);
}

std::optional<QByteArray> InstanceChannel::send(Request request, int timeoutMs)
{
    return send(request, {}, timeoutMs);
}

std::optional<QByteArray> InstanceChannel::send(
    Request request, const QByteArray &argument, int timeoutMs, bool *reached)
{
    QLocalSocket socket;
    const bool connected = connectToOwnInstance(socket, timeoutMs);
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

QByteArray InstanceChannel::printable(const QByteArray &reply)
{
    // Plain ASCII, as most replies are, has nothing to mark: a history may hold megabytes.
    if (std::all_of(reply.cbegin(), reply.cend(),
            [](char c) { return (uchar(c) >= 0x20 && uchar(c) < 0x7f) || c == '\n'; }))
        return reply;
    QString out;
    const QString text = QString::fromUtf8(reply);
    out.reserve(text.size());
    // Runs of plain characters are copied whole.
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        const bool control = (u < 0x20 && u != u'\n') || (u >= 0x7f && u <= 0x9f);
        const bool turning = u == 0x061c || u == 0x200e || u == 0x200f
            || (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
        if (control || turning) {
            out += QStringView(text).sliced(plainFrom, i - plainFrom);
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
            plainFrom = i + 1;
        }
    }
    out += QStringView(text).sliced(plainFrom);
    return out.toUtf8();
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
    , m_listener(maxConnections)
{
    connect(&m_listener, &UserSocketListener::newConnection, this, &InstanceServer::serve);
}

bool InstanceServer::listen()
{
    const QString path = InstanceChannel::socketPath();
    if (path.isEmpty())
        return false;
    // Two Nookarys starting at once: one at a time asks whether another listens and takes
    // the socket, so that the second finds the first. The lock goes with the process.
    const int lock = ::open(QFile::encodeName(path + QStringLiteral(".lock")).constData(),
        O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lock >= 0)
        ::flock(lock, LOCK_EX);
    bool listening = false;
    if (!InstanceChannel::isRunning()) {
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
            qCInfo(lcInstance).noquote() << "Taking over the socket left behind at" << path;
            QFile::remove(path);
        }
        listening = m_listener.listen(path);
    }
    if (lock >= 0)
        ::close(lock);
    return listening;
}

void InstanceServer::serve(QLocalSocket *socket)
{
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
