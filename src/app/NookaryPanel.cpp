#include "NookaryPanel.h"

namespace nookary {

NookaryPanel::NookaryPanel(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(560, 380);
    resize(560, 380);
    setWindowTitle(QStringLiteral("Nookary"));
}

} // namespace nookary
