// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/panel/RowFrame.h"

#include <optional>

namespace nookary {

class ElidedLabel;

// One history entry: its display text on one line.
class HistoryRow final : public RowFrame {
    Q_OBJECT

public:
    HistoryRow(const QUuid &id, const QString &text, QWidget *parent = nullptr);
    QString text() const { return m_text; }
    QString shownText() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    std::optional<QPoint> m_pressedAt; // a left press that has not yet started a drag
    QString m_text;
    ElidedLabel *m_label;
};

} // namespace nookary
