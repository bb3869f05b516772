#pragma once

#include "ui/panel/RowFrame.h"

namespace nookary {

class ElidedLabel;

// One history entry: its display text on one line.
class HistoryRow final : public RowFrame
{
    Q_OBJECT

public:
    HistoryRow(const QUuid &id, const QString &text, QWidget *parent = nullptr);
    QString text() const { return m_text; }
    QString shownText() const;

private:
    QString m_text;
    ElidedLabel *m_label;
};

} // namespace nookary
