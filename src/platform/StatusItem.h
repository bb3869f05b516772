// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QRect>

#include <functional>

class QIcon;
class QMenu;

namespace nookary {

// The program's icon in the desktop's tray. A left click is `clicked`; a right click opens
// the menu, whose entries are built anew each time it opens. Main thread only.
class StatusItem : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    ~StatusItem() override = default;

    // The picture shown; the tray shows nothing until it has one. The caller owns the art,
    // so that this layer draws none of it.
    virtual void setIcon(const QIcon &icon) = 0;
    // Whether a tray shows the icon now. A tray that appears later still gets it.
    virtual bool isAvailable() const = 0;
    // Dimmed (0.35 opacity) while clipboard tracking is paused.
    virtual void setDimmed(bool dimmed) = 0;
    virtual bool isDimmed() const = 0;
    // The icon's place on screen; empty when the tray does not tell.
    virtual QRect geometry() const = 0;
    virtual void setMenuBuilder(std::function<void(QMenu &)> builder) = 0;
    // Opens the menu at `at`, for a right click the program saw itself (over its own
    // popup, which holds the pointer). Nothing where the tray draws the menu.
    virtual void popUpMenu(const QPoint &at) { Q_UNUSED(at); }
    // A short notice beside the icon (the desktop's notifications where the tray passes it
    // on), for something the user must know but need not answer.
    virtual void showMessage(const QString &title, const QString &text)
    {
        Q_UNUSED(title);
        Q_UNUSED(text);
    }

Q_SIGNALS:
    void clicked();
};

} // namespace nookary
