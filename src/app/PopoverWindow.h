// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/panel/PanelView.h"

#include <QWidget>

#include <functional>
#include <optional>

namespace nookary {

// The popover presentation: a frameless popup under (or above) the tray icon, closed by a
// click outside it as popups are. Its content is replaced at every opening.
class PopoverWindow final : public QWidget {
    Q_OBJECT

public:
    // The popover is the panel at its smallest.
    static constexpr QSize contentSize = PanelView::minimumPanelSize;

    explicit PopoverWindow(QWidget *parent = nullptr);

    // Takes ownership of `content`; the previous content goes.
    void setContent(QWidget *content);
    QWidget *content() const { return m_content; }
    // `anchor`: the tray icon's place on screen, or empty when unknown.
    void showAt(const QRect &anchor);
    bool isShown() const { return isVisible(); }
    // Where the press that closed it by landing outside it was, in screen coordinates;
    // nothing when it closed otherwise. Kept until the next showing.
    std::optional<QPoint> closingPress() const { return m_closingPress; }
    // Asked first about a press outside it (screen coordinates): true takes the press, and
    // the popover stays open.
    void setPressOutsideHandler(std::function<bool(QPoint, Qt::MouseButton)> handler)
    {
        m_pressOutside = std::move(handler);
    }

Q_SIGNALS:
    void closed();

protected:
    void hideEvent(QHideEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QWidget *m_content = nullptr;
    std::optional<QPoint> m_closingPress;
    std::function<bool(QPoint, Qt::MouseButton)> m_pressOutside;
};

} // namespace nookary
