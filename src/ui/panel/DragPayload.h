// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QUuid>

#include <memory>
#include <optional>

class QMimeData;
class QWidget;

namespace nookary {

// What the panel's drags carry and how a drop's text is read.
namespace DragPayload {

// A history entry: its text as plain text. `partial`: the text is only the first part of a
// longer copy, which a private marker tells a drop onto the saved column.
std::unique_ptr<QMimeData> forHistoryEntry(const QString &text, bool partial = false);
bool isPartialHistoryEntry(const QMimeData &mime);
// A saved snippet dragged by its handle: its id as plain text (36 upper-case characters),
// with a private marker so that text fields can tell it from text being dragged.
std::unique_ptr<QMimeData> forShelfHandle(const QUuid &id);
bool isShelfHandleDrag(const QMimeData &mime);

// Whether a drag offers text in one of the plain-text forms X11 programs use
// ("text/plain;charset=utf-8", "UTF8_STRING", "text/plain").
bool offersPlainText(const QMimeData &mime);
// The dropped text, trimmed, from the first plain-text form offered, decoded from its raw
// bytes as UTF-8. Nothing when no such form is offered, when the bytes are not valid UTF-8
// (never replacement characters) or when nothing is left after trimming.
std::optional<QString> droppedText(const QMimeData &mime);

// Makes `widget` (and a scroll area's viewport) refuse the drop of a snippet's handle drag,
// which would otherwise type the snippet's id into a text field.
void refuseShelfHandleDrops(QWidget *widget);

} // namespace DragPayload

} // namespace nookary
