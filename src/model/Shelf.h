// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ShelfItem.h"
#include "model/SnippetTransfer.h"
#include "platform/MainQueue.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QUuid>

#include <chrono>

namespace nookary {

class Clock;
class ShelfStorage;

// The saved snippets: the list, written through `ShelfStorage` at every change, the snippet
// being edited, and which of two handlers a drop belongs to. Selection is not its business;
// `AppModel` keeps it valid after each change.
class Shelf final : public QObject {
    Q_OBJECT

public:
    // Loads the stored list, at most `maxItems` long. Both must outlive the shelf. Ids are
    // taken by value: a caller's id may live in the list a call changes.
    Shelf(ShelfStorage &storage, Clock &clock, qsizetype maxItems, QObject *parent = nullptr);
    // A reorder still waiting for its write is written.
    ~Shelf() override;

    const QList<ShelfItem> &items() const { return m_items; }
    // Rises with every change of `items()`, for caches over the list.
    const quint64 &revision() const { return m_revision; }
    qsizetype indexOf(const QUuid &id) const;

    enum class Added { added, alreadySaved, full, blank };
    // `partial`: the text is only the first part of a longer one (a long history entry).
    Added addFromDrop(const QString &text, QUuid before, bool partial = false);
    // The snippet was added by a drop of more than a snippet keeps, and holds only its first
    // part; until it is edited. Not stored: the next start no longer knows.
    bool wasCutOnDrop(const QUuid &id) const { return m_cutOnDrop.contains(id); }
    void addAndEdit();
    // Appends the texts in their order, each normalised, skipping those already saved
    // (compared as a drop compares) and stopping at the limit. A copy of the list is kept
    // before it changes.
    SnippetTransfer::ImportResult importTexts(const QStringList &texts);
    void startEditing(QUuid id);
    // Blank text deletes the snippet instead.
    void saveEditing(QUuid id, const QString &newText);
    void remove(QUuid id);
    // Puts a removed snippet back at `index` (at most the end), keeping its id; nothing when
    // the list is full or holds its text by now.
    Added restore(const ShelfItem &item, qsizetype index);
    void move(QUuid draggedID, QUuid overID);

    QUuid editingID() const { return m_editingID; }
    void setEditingID(QUuid id);

    // Another Nookary sharing the settings file may have changed the list: takes the stored
    // list when it did. Every change calls it first, so that it applies to the list as
    // stored and another instance's changes are never written over.
    void reloadIfChangedElsewhere();

    // A drop on a row opens a short window in which the column's own handler, which Qt may
    // give the same drop, adds nothing.
    static constexpr std::chrono::milliseconds dropArbitrationWindow { 120 };
    void noteRowDrop();
    bool columnDropAllowed() const;

Q_SIGNALS:
    void changed();
    void editingIDChanged();
    // After `changed`, for a snippet that is gone.
    void removed(const QUuid &id);

private:
    enum class Write { now, soon };
    void didChange(Write write = Write::now);
    void writeItems();
    void discardEditingIfEmpty();

    ShelfStorage &m_storage;
    Clock &m_clock;
    const qsizetype m_maxItems;
    QList<ShelfItem> m_items;
    quint64 m_revision = 1;
    QUuid m_editingID;
    // An empty snippet whose edit was abandoned: the next edit or addition throws it away,
    // so that abandoned empty rows do not pile up.
    QUuid m_abandonedEmptyID;
    std::chrono::steady_clock::time_point m_rowDropPriorityUntil {};
    CancellableTask m_pendingWrite;
    QSet<QUuid> m_cutOnDrop;
};

} // namespace nookary
