// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace nookary {

// The borderless, floating window of the centred presentation. Unlike most frameless
// windows it takes keyboard focus, so that typing reaches its search field; it never
// shows in a task bar (its owner asks the desktop for that in `aboutToShow`).
class NookaryPanel final : public QWidget {
    Q_OBJECT

public:
    explicit NookaryPanel(QWidget *parent = nullptr);

    // Hands the window to the window manager to follow the pointer, as a title bar does;
    // false where none can, and the caller then moves it by hand.
    bool startSystemMove();
    // Tells that the pointer has started resizing the window (by hand, from the grip).
    void noteResizeStarted();
    // The button that started a system move came back to us: the window manager never took
    // the pointer (a tap), so the move it may still start must end.
    void noteSystemMoveReleased();

Q_SIGNALS:
    // Before each showing, while the window is not yet mapped.
    void aboutToShow();
    // A move or resize by the pointer has begun. During a system move the window manager
    // holds the pointer and the keyboard, which Qt reports as a loss of focus.
    void moveOrResizeStarted();
    void systemMoveReleased();

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace nookary
