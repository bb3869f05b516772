// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/AppModel.h"

#include <QWidget>

class QLabel;

namespace nookary {

class SymbolButton;

// "Deleted. Undo" under a column's rows, for as long as the last snippet or entry removed
// from that column can be put back; where it could not go back, why. It does not lapse while
// its button has keyboard focus, and when it goes, the keys go back to the search field.
class UndoBar final : public QWidget {
    Q_OBJECT

public:
    UndoBar(AppModel &model, AppModel::Column column, QWidget *parent = nullptr);

    QLabel *label() const { return m_label; }
    SymbolButton *undoButton() const { return m_undo; }

Q_SIGNALS:
    // The bar went while its button had the keys: they belong to the search field again.
    void keysGivenUp();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void sync();

    AppModel &m_model;
    const AppModel::Column m_column;
    QLabel *m_label;
    SymbolButton *m_undo;
};

} // namespace nookary
