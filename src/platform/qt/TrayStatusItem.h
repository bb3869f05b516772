// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/StatusItem.h"

#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

namespace nookary {

// StatusItem over QSystemTrayIcon (an XEmbed tray or a StatusNotifierItem host). The menu
// stays attached, since StatusNotifierItem hosts show it themselves, and is refilled each
// time it is about to show.
class TrayStatusItem final : public StatusItem {
    Q_OBJECT

public:
    explicit TrayStatusItem(QObject *parent = nullptr);

    void setIcon(const QIcon &icon) override;
    bool isAvailable() const override;
    void setDimmed(bool dimmed) override;
    bool isDimmed() const override { return m_dimmed; }
    QRect geometry() const override;
    void setMenuBuilder(std::function<void(QMenu &)> builder) override;
    void showMessage(const QString &title, const QString &text) override;

private:
    void showMessageWhenPlaced();

    QSystemTrayIcon m_tray;
    QMenu m_menu;
    QIcon m_icon;
    std::function<void(QMenu &)> m_builder;
    bool m_dimmed = false;
    QPair<QString, QString> m_message; // title and text
    int m_messageWaits = 0;
};

} // namespace nookary
