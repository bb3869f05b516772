// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace nookary {

// Five rounded segments that fill up as the user practises the shortcut; dimmed while
// there is no shortcut to practise with.
class PracticeSegmentsView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int segmentCount = 5;
    static constexpr int spacing = 12;
    static constexpr int segmentHeight = 16;
    static constexpr qreal radius = 8;

    explicit PracticeSegmentsView(QWidget *parent = nullptr);

    void setState(int filled, bool active);
    void setSegmentWidth(int width);
    int filled() const { return m_filled; }
    bool isActive() const { return m_active; }
    int segmentWidth() const { return m_segmentWidth; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_filled = 0;
    bool m_active = false;
    int m_segmentWidth = 44;
};

} // namespace nookary
