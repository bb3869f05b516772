// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QUuid>
#include <QWidget>

namespace nookary {

// Where the pointer rested when the panel appeared. A window mapped under a still pointer
// gets an Enter event as if the user had pointed at what lies under it; only a pointer that
// has left that resting place is the user pointing.
class PointerRest final {
public:
    void restAt(QPointF global)
    {
        m_rest = global;
        m_moved = false;
    }
    // True once the pointer has been anywhere other than where it rested.
    bool hasMovedTo(QPointF global)
    {
        if (!m_moved && global != m_rest)
            m_moved = true;
        return m_moved;
    }

private:
    QPointF m_rest { -1e9, -1e9 };
    bool m_moved = true;
};

// The chrome every row of the panel shares: a rounded translucent card, outlined in the
// accent colour while selected. Tells when the pointer enters it and when it is clicked.
class RowFrame : public QWidget {
    Q_OBJECT

public:
    RowFrame(const QUuid &id, QWidget *parent = nullptr);

    QUuid id() const { return m_id; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    // What a drag of this row shows under the pointer: the row on an opaque card, since
    // the translucent one alone would be lost over other windows.
    QPixmap dragPixmap();
    // Enter events at `rest`'s place do not count as pointing (see PointerRest).
    void setPointerRest(PointerRest *rest) { m_rest = rest; }

Q_SIGNALS:
    // The user pointed at the row: the pointer entered it, or moved in it after resting.
    void hovered();
    void clicked();
    // A right click on the row, or a reader's "show menu": its context menu, at `global`.
    void contextMenuRequested(QPoint global);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    // A drag took over the press: its release is no click.
    void forgetPress() { m_pressed = false; }

private:
    QUuid m_id;
    bool m_selected = false;
    bool m_pressed = false;
    bool m_pointed = false;
    PointerRest *m_rest = nullptr;

    void notePointer(QPointF global);
};

} // namespace nookary
