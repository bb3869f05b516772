// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryRow.h"

#include "model/EntryText.h"
#include "ui/panel/DragPayload.h"
#include "ui/panel/PanelStyle.h"
#include "ui/panel/PanelWidgets.h"

#include <QApplication>
#include <QDrag>
#include <QHBoxLayout>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>

namespace nookary {

HistoryRow::HistoryRow(const HistoryItem &item, QWidget *parent)
    : RowFrame(item.id, parent)
    , m_label(new ElidedLabel(this))
    , m_note(new RowNote(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(PanelStyle::rowPaddingH, PanelStyle::rowPaddingV,
        PanelStyle::rowPaddingH, PanelStyle::rowPaddingV);
    layout->setSpacing(PanelStyle::spacing);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_note);
    // A row reads only the preview: the whole text may be megabytes.
    m_label->setText(displayText(item.preview));
    const qsizetype files = entryFileURLs(item.preview).size();
    if (files > 1)
        m_note->setNote(tr("+%Ln more", "files beside the one a row names", int(files - 1)));
    setEntry(item);
}

void HistoryRow::setEntry(const HistoryItem &item)
{
    if (!m_text.isNull() && item.cut == m_cut)
        return;
    m_text = item.preview;
    m_partial = item.isLong() || item.cut;
    m_cut = item.cut;
    if (item.cut)
        m_note->setNote(tr("cut", "an entry that is not all that was copied"));
    else if (item.isLong())
        m_note->setNote(sizeText(utf8Size(item.text)));
}

QString HistoryRow::sizeText(qint64 bytes)
{
    // In units of 1024 bytes, as the caps on a copy and on the history are.
    const QLocale locale;
    if (bytes >= 1024 * 1024)
        return tr("%1 MB", "size of a long entry; 1 MB is 1024 KB")
            .arg(locale.toString(double(bytes) / (1024 * 1024), 'f', 1));
    return tr("%1 KB", "size of a long entry; 1 KB is 1024 bytes")
        .arg(locale.toString(qRound64(double(bytes) / 1024)));
}

QString HistoryRow::note() const
{
    return m_note->text();
}

void HistoryRow::mousePressEvent(QMouseEvent *event)
{
    m_pressedAt = event->button() == Qt::LeftButton ? std::optional(event->position().toPoint())
                                                    : std::nullopt;
    RowFrame::mousePressEvent(event);
}

void HistoryRow::mouseMoveEvent(QMouseEvent *event)
{
    RowFrame::mouseMoveEvent(event);
    event->accept();
    if (!m_pressedAt || !(event->buttons() & Qt::LeftButton)
        || (event->position().toPoint() - *m_pressedAt).manhattanLength()
            < QApplication::startDragDistance())
        return;
    const QPoint pressedAt = *std::exchange(m_pressedAt, std::nullopt);
    forgetPress();
    // The preview, not the one line shown, is what gets saved.
    auto *drag = new QDrag(this);
    drag->setMimeData(DragPayload::forHistoryEntry(m_text, m_partial).release());
    drag->setPixmap(dragPixmap());
    drag->setHotSpot(pressedAt);
    drag->exec(Qt::CopyAction);
}

QString HistoryRow::shownText() const
{
    return m_label->shownText();
}

} // namespace nookary
