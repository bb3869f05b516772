// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUuid>
#include <Qt>

#include <chrono>

class QMimeData;
class QObject;

namespace nookary {

class AppModel;
class Clock;

// What the saved column does with a drag: a snippet dragged by its handle reorders the
// list live, text (a history entry, or from another program) becomes a new snippet.
//
// Qt gives a drop to the innermost widget that takes it, so a drop on a row does not
// normally reach the column behind it. The column still applies its drop a moment later
// and only when no row has just taken one, so that one drop never adds twice.

// Whether a drag is offered to the saved column at all: only one carrying plain text.
bool shelfAcceptsDrag(const QMimeData &mime);

// The handler of one saved row.
class ShelfDropDelegate final {
public:
    ShelfDropDelegate(AppModel &model, const QUuid &targetID);

    // The drag entered the row: a snippet dragged by its handle takes the row's place.
    void dropEntered() const;
    // The operation to propose while the drag moves over the row.
    Qt::DropAction dropUpdated() const;
    // Whether the drop is taken. Ends a handle drag where the list stands; inserts text in
    // front of this row.
    bool performDrop(const QMimeData &mime) const;

private:
    AppModel &m_model;
    QUuid m_targetID;
};

// The handler of the saved column as a whole (the area outside the rows).
class ShelfColumnDropDelegate final {
public:
    // How long after its drop the column applies it, so that a row's drop comes first.
    static constexpr std::chrono::milliseconds applyDelay { 30 };

    // The drop is applied on `clock`; work posted for later is cancelled when `context`
    // goes.
    ShelfColumnDropDelegate(AppModel &model, Clock &clock, QObject *context);

    Qt::DropAction dropUpdated() const;
    // Whether the drop is taken. Ends a handle drag; puts text at the top of the list.
    bool performDrop(const QMimeData &mime) const;

private:
    AppModel &m_model;
    Clock &m_clock;
    QObject *m_context;
};

} // namespace nookary
