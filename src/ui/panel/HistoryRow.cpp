#include "HistoryRow.h"

#include "model/EntryText.h"
#include "ui/panel/PanelStyle.h"
#include "ui/panel/PanelWidgets.h"

#include <QHBoxLayout>

namespace nookary {

HistoryRow::HistoryRow(const QUuid &id, const QString &text, QWidget *parent)
    : RowFrame(id, parent)
    , m_text(text)
    , m_label(new ElidedLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(PanelStyle::rowPaddingH, PanelStyle::rowPaddingV,
                               PanelStyle::rowPaddingH, PanelStyle::rowPaddingV);
    layout->addWidget(m_label);
    m_label->setText(displayText(text));
}

QString HistoryRow::shownText() const
{
    return m_label->shownText();
}

} // namespace nookary
