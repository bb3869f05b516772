// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace nookary {

// The program's in-process notifications, one signal each on one application-wide object.
class AppNotifications final : public QObject {
    Q_OBJECT

public:
    static AppNotifications &instance();

Q_SIGNALS:
    // "Nookary.hotkeyPressed": the global shortcut was pressed while the walkthrough shows.
    void hotkeyPressed();
};

} // namespace nookary
