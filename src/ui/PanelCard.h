// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace nookary {

// The chrome both presentations put around the panel: a dark translucent card (92 %
// opaque), 16 rounded corners and a thin white border, with the content filling it.
class PanelCard final : public QWidget {
    Q_OBJECT

public:
    // Takes ownership of `content`.
    explicit PanelCard(QWidget *content, QWidget *parent = nullptr);

    QWidget *content() const { return m_content; }

    static constexpr int cornerRadius = 16;
    static constexpr qreal opacity = 0.92;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_content;
};

} // namespace nookary
