#pragma once

#include <QWidget>

namespace nookary {

// The borderless, floating window of the centred presentation. Unlike most frameless
// windows it takes keyboard focus, so that typing reaches its search field; it never
// shows in a task bar (its owner asks the desktop for that in `aboutToShow`).
class NookaryPanel final : public QWidget
{
    Q_OBJECT

public:
    explicit NookaryPanel(QWidget *parent = nullptr);

Q_SIGNALS:
    // Before each showing, while the window is not yet mapped.
    void aboutToShow();

protected:
    void showEvent(QShowEvent *event) override;
};

} // namespace nookary
