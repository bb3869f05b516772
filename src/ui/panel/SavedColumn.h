#pragma once

#include "ui/panel/ScrollColumn.h"

#include <QHash>
#include <QUuid>

#include <functional>

namespace nookary {

class AddShelfRow;
class AppModel;
class EmptyState;
class ShelfRow;

// The right column: the saved snippets narrowed by the query, their badges, in-place
// editing, and the row that adds a snippet.
class SavedColumn final : public ScrollColumn
{
    Q_OBJECT

public:
    SavedColumn(AppModel &model, std::function<void(const QString &)> onCopy, QWidget *parent = nullptr);

    void sync();
    void syncSelection();
    void syncEditing();
    void scrollSelectionIntoView();

    QList<ShelfRow *> visibleRows() const;
    ShelfRow *row(const QUuid &id) const { return m_rows.value(id); }
    AddShelfRow *addRow() const { return m_addRow; }
    EmptyState *emptyState() const { return m_empty; }

    // The badge of the row at position `index` (from 0) of the filtered list.
    static QString shortcutLabel(qsizetype index);

private:
    ShelfRow *makeRow(const QUuid &id, const QString &text);
    // An open editor commits before another edit starts, as losing focus would.
    void commitOpenEditor();

    AppModel &m_model;
    std::function<void(const QString &)> m_onCopy;
    QHash<QUuid, ShelfRow *> m_rows;
    AddShelfRow *m_addRow;
    EmptyState *m_empty;
};

} // namespace nookary
