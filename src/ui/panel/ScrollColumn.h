// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/panel/RowFrame.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QPropertyAnimation;
class QScrollArea;
class QVBoxLayout;

namespace nookary {

class HeaderBlock;
class OverlayScrollBar;

// A column of the panel: a header over a scrolling stack of rows. Rows are laid out in the
// order given; a row not given is hidden, not destroyed, so typing never rebuilds them.
class ScrollColumn : public QWidget {
    Q_OBJECT

public:
    ScrollColumn(const QString &title, const QString &subtitle, QWidget *parent = nullptr);

    HeaderBlock *header() const { return m_header; }
    QScrollArea *scrollArea() const { return m_scrollArea; }
    QWidget *content() const { return m_content; }
    // The thin bar over the content's right edge, shown while it scrolls.
    OverlayScrollBar *overlayBar() const { return m_overlayBar; }

    // Scrolls `row` to the vertical centre on the next turn, animated.
    void scrollToCentre(QWidget *row);
    // Where a menu for `row` opens: under its text, within the part of the column shown.
    QPoint menuAnchor(QWidget *row) const;

    // Where the pointer rested when the column last appeared; rows take it so that
    // appearing under a still pointer does not select the row under it.
    PointerRest *pointerRest() { return &m_pointerRest; }

protected:
    void showEvent(QShowEvent *event) override;
    // Lays out exactly `rows` then `tail` (visible ones only), in order.
    void arrange(const QList<QWidget *> &rows, const QList<QWidget *> &tail);
    // Adds `widget` under the scrolling rows, outside them.
    void addBelowRows(QWidget *widget);

private:
    HeaderBlock *m_header;
    QScrollArea *m_scrollArea;
    QWidget *m_content;
    QVBoxLayout *m_rows;
    QList<QWidget *> m_arranged;
    QPropertyAnimation *m_scrollAnimation;
    OverlayScrollBar *m_overlayBar;
    PointerRest m_pointerRest;
};

} // namespace nookary
