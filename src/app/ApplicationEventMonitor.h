// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;
class QMouseEvent;
class QWidget;
class QWindow;

namespace nookary {

// Sees the application's key presses and releases and its mouse presses before the widget
// they are for, as an application-wide event filter. It looks at them as they reach the
// window, before Qt hands them to the widget (and, unaccepted, to its parents), so each
// press is seen once. A key handler that answers true consumes the key; mouse presses are
// only looked at, never consumed.
class ApplicationEventMonitor final : public QObject {
    Q_OBJECT

public:
    // `window`: the window the key is for (a popup shown over the window it reached, say).
    using KeyHandler = std::function<bool(QWidget *window, QKeyEvent &)>;
    using MouseHandler = std::function<void(QWidget *target, QMouseEvent &)>;

    ApplicationEventMonitor(KeyHandler onKey, MouseHandler onMouse, QObject *parent = nullptr);
    ~ApplicationEventMonitor() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    KeyHandler m_onKey;
    MouseHandler m_onMouse;
};

} // namespace nookary
