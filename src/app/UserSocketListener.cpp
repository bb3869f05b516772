// SPDX-License-Identifier: GPL-3.0-or-later
#include "UserSocketListener.h"

#include <QFile>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcListener, "nookary.instance")

namespace nookary {

namespace {

// How long to wait before accepting again when the process has no descriptor left.
constexpr int kRetryMs = 200;

quint64 inodeOf(const QByteArray &path)
{
    struct stat info { };
    return ::lstat(path.constData(), &info) == 0 && S_ISSOCK(info.st_mode) ? info.st_ino : 0;
}

} // namespace

UserSocketListener::UserSocketListener(int maxConnections, QObject *parent)
    : QObject(parent)
    , m_maxConnections(maxConnections)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (m_notifier)
            m_notifier->setEnabled(true);
        acceptPending();
    });
}

UserSocketListener::~UserSocketListener()
{
    if (m_fd < 0)
        return;
    delete m_notifier;
    ::close(m_fd);
    const QByteArray path = QFile::encodeName(m_path);
    if (inodeOf(path) == m_inode)
        ::unlink(path.constData());
}

bool UserSocketListener::listen(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || size_t(name.size()) >= sizeof address.sun_path) {
        m_error = QStringLiteral("the socket's path is too long");
        return false;
    }
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
        || ::chmod(name.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd, 64) != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_path = path;
    m_inode = inodeOf(name);
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UserSocketListener::acceptPending);
    return true;
}

bool UserSocketListener::peerIsThisUser(qintptr socketDescriptor)
{
    ucred peer {};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0
        && size == sizeof peer && peer.uid == ::getuid();
}

int UserSocketListener::heldConnections() const
{
    int held = 0;
    for (const QPointer<QLocalSocket> &socket : m_held)
        held += socket && socket->state() != QLocalSocket::UnconnectedState ? 1 : 0;
    return held;
}

bool UserSocketListener::closeOldest()
{
    m_held.removeIf([](const QPointer<QLocalSocket> &socket) {
        return !socket || socket->state() == QLocalSocket::UnconnectedState;
    });
    if (m_held.isEmpty())
        return false;
    const QPointer<QLocalSocket> oldest = m_held.takeFirst();
    oldest->abort(); // closes its descriptor at once
    return true;
}

void UserSocketListener::acceptPending()
{
    while (m_fd >= 0) {
        const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return;
            // Out of descriptors (or kernel memory): the connection waits in the backlog
            // while one is freed; the socket itself stays open and listening.
            if (!m_saidOutOfDescriptors) {
                m_saidOutOfDescriptors = true;
                qCWarning(lcListener).noquote()
                    << "Too many connections to" << m_path
                    << "(" + QString::fromLocal8Bit(std::strerror(errno))
                        + ") - the oldest are closed, and Nookary goes on listening.";
            }
            if (closeOldest())
                continue;
            m_notifier->setEnabled(false);
            m_retry.start();
            return;
        }
        if (!peerIsThisUser(fd)) {
            ::close(fd);
            continue;
        }
        while (heldConnections() >= m_maxConnections && closeOldest()) { }
        auto *socket = new QLocalSocket(this);
        if (!socket->setSocketDescriptor(fd, QLocalSocket::ConnectedState)) {
            delete socket; // whether it closed the descriptor is Qt's
            continue;
        }
        m_held.append(socket);
        Q_EMIT newConnection(socket);
    }
}

} // namespace nookary
