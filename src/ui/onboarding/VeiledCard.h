// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace nookary {

// A walkthrough card: a thin veil of the text colour on a rounded shape, with a hairline
// border of a slightly stronger veil. Its children stay inside the shape by their margins.
class VeiledCard final : public QWidget {
public:
    VeiledCard(qreal radius, float fillOpacity, float borderOpacity, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_radius;
    float m_fillOpacity;
    float m_borderOpacity;
};

} // namespace nookary
