// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/ClipboardFormats.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// What the data-control client decides, apart from the protocol so that it can be tested
// without a compositor.
namespace nookary::datacontrol {

// The MIME type to read an offer's text as, in the order every reader prefers; nothing when
// it offers no text.
std::optional<QByteArray> textTypeToRead(const QByteArrayList &offered);

// Password managers add the hint beside what they copy. Such an offer is skipped whole: its
// owner is not asked for anything, not even for the hint's value.
bool isMarkedSecret(const QByteArrayList &offered);

// Our own copy's forms, the same on X11.
using clipboardformats::formsForFileUrls;
using clipboardformats::formsForText;
using clipboardformats::OfferedForm;

// The offers the compositor introduced, and which of them to destroy. The device introduces
// an offer, then names it the selection (watched) or the primary selection (ignored); a new
// selection replaces the current one, which the client must destroy.
class OfferBook {
public:
    using Id = const void *;

    void introduce(Id offer);
    // `offer` (null: the clipboard is empty) is the selection now. Returns what to destroy:
    // the offer it replaced and any introduced offer that was named nowhere.
    QList<Id> selectionChanged(Id offer);
    // The primary selection is not watched: its offer is destroyed at once, and strays too.
    QList<Id> primarySelectionChanged(Id offer);
    // Everything still held, for the end.
    QList<Id> takeAll();

    Id current() const { return m_current; }

private:
    QList<Id> takeStraysBut(Id kept);

    Id m_current = nullptr;
    QList<Id> m_introduced;
};

} // namespace nookary::datacontrol
