// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardManager.h"

#include <QAbstractNativeEventFilter>
#include <QList>

#include <memory>

namespace nookary {

class X11ClipboardReader;

// The freedesktop clipboard-manager convention over X11: owns the CLIPBOARD_MANAGER selection
// with a window of its own on Qt's connection and answers SAVE_TARGETS, by which GTK and Qt
// programs hand their clipboard over as they quit. Requests are answered in a native event
// filter, because Qt's clipboard refuses requests for selections it does not know. What the
// exiting program offers is read by an X11ClipboardReader, off the main thread, with its
// deadline and size cap. XFixes tells when the clipboard's owner vanished, and when the
// other manager that kept this one out has left.
class X11ClipboardManager final : public ClipboardManager, private QAbstractNativeEventFilter {
    Q_OBJECT

public:
    // Null when the application does not run on X11 or the server lacks XFixes.
    static std::unique_ptr<X11ClipboardManager> create();
    ~X11ClipboardManager() override;

    void start(Keeper &keeper) override;
    void stop() override;

    bool isManager() const { return m_isManager; }

private:
    struct Connection;
    struct Request {
        quint32 time = 0;
        quint32 requestor = 0;
        quint32 selection = 0;
        quint32 target = 0;
        quint32 property = 0;
    };

    explicit X11ClipboardManager(std::unique_ptr<Connection> connection);
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    void takeRoleIfFree();
    void answer(const Request &request);
    void saveTargets(const Request &request);
    void reply(const Request &request, bool done);
    void clipboardOwnerChanged(quint8 subtype, quint32 owner, quint32 since);

    std::unique_ptr<Connection> m_x;
    Keeper *m_keeper = nullptr;
    bool m_isManager = false;
    bool m_toldOfOtherManager = false;
    // Changes of the clipboard's owner seen: a hand-over read after the owner changed again
    // would keep the wrong copy.
    quint64 m_clipboardOwnerChanges = 0;
    quint32 m_clipboardOwner = 0; // as XFixes told last; 0: none, or not known yet
    QList<Request> m_pendingHandOvers;
    std::unique_ptr<X11ClipboardReader> m_reader; // made at the first hand-over
};

} // namespace nookary
