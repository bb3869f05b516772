// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/HistoryItem.h"
#include "ui/panel/RowFrame.h"

#include <optional>

namespace nookary {

class ElidedLabel;
class RowNote;

// One history entry: its display text on one line, and at the end, in the secondary colour,
// what the text does not show: the size of a long entry, "cut", or how many more files.
class HistoryRow final : public RowFrame {
    Q_OBJECT

public:
    explicit HistoryRow(const HistoryItem &item, QWidget *parent = nullptr);
    // The entry changed since (cut to keep the history's memory bounded).
    void setEntry(const HistoryItem &item);
    // What a drag carries: the entry's preview, all of an entry of up to 20,000 characters.
    QString text() const { return m_text; }
    QString shownText() const;
    QString note() const;
    // The size of a long entry ("75 KB"), from its bytes in UTF-8.
    static QString sizeText(qint64 bytes);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    std::optional<QPoint> m_pressedAt; // a left press that has not yet started a drag
    QString m_text;
    bool m_partial = false; // the preview is not the whole copy
    bool m_cut = false;
    ElidedLabel *m_label;
    RowNote *m_note;
};

} // namespace nookary
