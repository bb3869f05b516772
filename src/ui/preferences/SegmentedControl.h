// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <QWidget>

namespace nookary {

// A row of mutually exclusive segments, one of them selected, at the small control size.
// Clicking a segment, or Left and Right while it has focus, selects it and emits `activated`.
// Readers see a group of radio buttons, the selected one checked and, with focus, focused.
class SegmentedControl final : public QWidget {
    Q_OBJECT

public:
    explicit SegmentedControl(const QStringList &segments, QWidget *parent = nullptr);

    QStringList segments() const { return m_segments; }
    int currentIndex() const { return m_current; }
    // Selects without emitting `activated` (the model's value shown).
    void setCurrentIndex(int index);
    // The segment's place inside the control.
    QRect segmentRect(int index) const;
    // Selects and emits `activated`, as a click on the segment does.
    void choose(int index);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

Q_SIGNALS:
    // The user chose a segment.
    void activated(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    int segmentWidth(int index) const;

    QStringList m_segments;
    int m_current = -1;
};

} // namespace nookary
