// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QLocalSocket;
class QSocketNotifier;

namespace nookary {

// A listening local socket that only programs of this user reach, and that keeps listening
// whatever its peers do. QLocalServer stops listening for good, and removes its socket,
// the first time an accept fails for lack of file descriptors, and trusts every peer.
// Here each connection's peer is checked (its user id, from the kernel), at most
// `maxConnections` are held at once (a new one closes the oldest), and a lack of descriptors
// waits a moment and accepts again. Main thread only.
class UserSocketListener final : public QObject {
    Q_OBJECT

public:
    explicit UserSocketListener(int maxConnections, QObject *parent = nullptr);
    // Closes the socket and removes its file, unless another program has replaced it since.
    ~UserSocketListener() override;

    // Binds a new socket at `path`, readable by this user alone; whoever made its folder
    // decides who can reach it. False when the path is taken or cannot be bound.
    bool listen(const QString &path);
    bool isListening() const { return m_fd >= 0; }
    QString errorString() const { return m_error; }
    int heldConnections() const;

    // Whether the program at the other end of a connected local socket runs as this user.
    static bool peerIsThisUser(qintptr socketDescriptor);

Q_SIGNALS:
    // A connection of this user's. It is the listener's child; delete it when done.
    void newConnection(QLocalSocket *socket);

private:
    void acceptPending();
    bool closeOldest();

    const int m_maxConnections;
    int m_fd = -1;
    quint64 m_inode = 0;
    QString m_path;
    QString m_error;
    QSocketNotifier *m_notifier = nullptr;
    QList<QPointer<QLocalSocket>> m_held;
    QTimer m_retry;
    bool m_saidOutOfDescriptors = false;
};

} // namespace nookary
