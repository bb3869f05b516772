// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QScrollBar>
#include <QTimer>

class QScrollArea;

namespace nookary {

// A thin vertical scroll bar drawn over the right edge of a scroll area's content, taking
// no room from it, shown while the content scrolls or the pointer holds it and hidden a
// moment after. It stands in for the area's own vertical bar, which is switched off; the
// two stay in step.
class OverlayScrollBar final : public QScrollBar {
    Q_OBJECT

public:
    static constexpr int thickness = 7;
    static constexpr int hideDelayMs = 900;

    explicit OverlayScrollBar(QScrollArea *area);

    // Shows the bar for a moment, as scrolling does (nothing when there is nothing to
    // scroll).
    void flash();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void place();
    void hideUnlessHeld();

    // The area's viewport, kept rather than asked of the area: while the area is being
    // destroyed it is no scroll area any more, yet its viewport still sends events here.
    QWidget *m_viewport;
    QTimer m_hideTimer;
};

} // namespace nookary
