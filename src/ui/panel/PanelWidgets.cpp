// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelWidgets.h"

#include "core/TextDirection.h"
#include "ui/Accessibility.h"
#include "ui/NookaryPanel.h"
#include "ui/SymbolIcons.h"
#include "ui/panel/PanelStyle.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>
#include <utility>

namespace nookary {

namespace {
constexpr int kShownCharacters = 400;

bool inNookaryPanel(const QWidget *widget)
{
    return qobject_cast<const NookaryPanel *>(widget->window()) != nullptr;
}
} // namespace

// SymbolButton

SymbolButton::SymbolButton(
    const QString &symbol, int symbolSize, const QString &text, QWidget *parent)
    : QAbstractButton(parent)
    , m_symbol(symbol)
    , m_symbolSize(symbolSize)
{
    setText(text);
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::NoFocus);
    setFont(PanelStyle::font(13, QFont::DemiBold));
}

void SymbolButton::setSymbol(const QString &symbol)
{
    m_symbol = symbol;
    update();
}

void SymbolButton::setAccented(bool accented)
{
    m_accented = accented;
    update();
}

QSize SymbolButton::sizeHint() const
{
    const int symbolWidth = m_symbol.isEmpty() ? 0 : m_symbolSize + 4;
    int width = m_symbol.isEmpty() ? 4 : symbolWidth;
    if (!text().isEmpty())
        width += 4 + fontMetrics().horizontalAdvance(text());
    return { width, std::max(m_symbolSize + 4, fontMetrics().height()) };
}

void SymbolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor color = m_accented ? PanelStyle::accent()
                                    : (m_hovered ? PanelStyle::primary() : PanelStyle::secondary());
    int textStart = 4;
    if (!m_symbol.isEmpty()) {
        const QPixmap icon
            = SymbolIcons::pixmap(m_symbol, m_symbolSize, color, devicePixelRatioF());
        // The symbol leads, on the right in a mirrored panel.
        const QRect symbol(2, (height() - m_symbolSize) / 2, m_symbolSize, m_symbolSize);
        painter.drawPixmap(QStyle::visualRect(layoutDirection(), rect(), symbol).topLeft(), icon);
        textStart = m_symbolSize + 6;
    }
    if (!text().isEmpty()) {
        painter.setPen(color);
        painter.setFont(font());
        painter.drawText(
            QStyle::visualRect(layoutDirection(), rect(), rect().adjusted(textStart, 0, 0, 0)),
            Qt::AlignVCenter | Qt::AlignLeft, text());
    }
    if (hasFocus()) {
        painter.setPen(QPen(PanelStyle::accent(), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 4, 4);
    }
}

void SymbolButton::keyPressEvent(QKeyEvent *event)
{
    const bool bare = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (bare && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void SymbolButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SymbolButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

// ElidedLabel

RowNote::RowNote(QWidget *parent)
    : QLabel(parent)
{
    setFont(PanelStyle::caption2());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setStyleSheet(QStringLiteral("color: %1;").arg(PanelStyle::secondary().name(QColor::HexArgb)));
    hide();
}

void RowNote::setNote(const QString &note)
{
    setText(note);
    setVisible(!note.isEmpty());
}

ElidedLabel::ElidedLabel(QWidget *parent)
    : QWidget(parent)
    , m_color(PanelStyle::primary())
{
    setFont(PanelStyle::subheadline());
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ElidedLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    // A single space keeps an empty row as tall as the others.
    QStringView first = QStringView(text).left(kShownCharacters);
    const qsizetype lineEnd = first.indexOf(u'\n');
    const bool cut = lineEnd >= 0 || text.size() > kShownCharacters;
    m_shown = (lineEnd >= 0 ? first.left(lineEnd) : first).toString();
    if (cut)
        m_shown += QChar(0x2026);
    if (m_shown.trimmed().isEmpty() && !cut)
        m_shown = QStringLiteral(" ");
    update();
}

void ElidedLabel::setColor(const QColor &color)
{
    m_color = color;
    update();
}

Qt::LayoutDirection ElidedLabel::textDirection() const
{
    return TextDirection::ofFirstStrongCharacter(m_shown).value_or(layoutDirection());
}

QSize ElidedLabel::sizeHint() const
{
    return { fontMetrics().horizontalAdvance(m_shown), fontMetrics().height() };
}

QSize ElidedLabel::minimumSizeHint() const
{
    return { 0, fontMetrics().height() };
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(m_color);
    // The text's direction also decides its side: the start of the line.
    painter.setLayoutDirection(textDirection());
    const QString elided = fontMetrics().elidedText(m_shown, Qt::ElideRight, width());
    painter.drawText(rect(), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, elided);
}

// HeaderBlock, EmptyState

HeaderBlock::HeaderBlock(const QString &title, const QString &subtitle, QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 0, 8, 0);
    layout->setSpacing(1);
    auto *titleLabel = new QLabel(title, this);
    titleLabel->setFont(PanelStyle::headline());
    titleLabel->setStyleSheet(
        QStringLiteral("color: %1;").arg(PanelStyle::primary().name(QColor::HexArgb)));
    m_subtitle = new QLabel(subtitle, this);
    m_subtitle->setFont(PanelStyle::caption2());
    m_subtitle->setStyleSheet(
        QStringLiteral("color: %1;").arg(PanelStyle::secondary().name(QColor::HexArgb)));
    layout->addWidget(titleLabel);
    layout->addWidget(m_subtitle);
}

void HeaderBlock::setSubtitle(const QString &subtitle)
{
    m_subtitle->setText(subtitle);
}

EmptyState::EmptyState(QWidget *parent)
    : QLabel(parent)
{
    setFont(PanelStyle::subheadline());
    setContentsMargins(6, 6, 6, 6);
    setStyleSheet(QStringLiteral("color: %1;").arg(PanelStyle::secondary().name(QColor::HexArgb)));
}

// Window handles

WindowDragHandle::WindowDragHandle(QWidget *parent)
    : QWidget(parent)
{
    Accessibility::install(); // only the pointer uses it: hidden from readers
}

void WindowDragHandle::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    m_pressOffset.reset();
    m_systemMove = false;
    auto *panel = qobject_cast<NookaryPanel *>(window());
    if (event->button() != Qt::LeftButton || !panel)
        return;
    m_systemMove = panel->startSystemMove();
    if (!m_systemMove)
        m_pressOffset = event->globalPosition().toPoint() - panel->pos();
}

void WindowDragHandle::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (m_pressOffset && (event->buttons() & Qt::LeftButton))
        window()->move(event->globalPosition().toPoint() - *m_pressOffset);
}

void WindowDragHandle::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    m_pressOffset.reset();
    // Once the window manager holds the pointer, the release goes to it, not here.
    if (std::exchange(m_systemMove, false)) {
        if (auto *panel = qobject_cast<NookaryPanel *>(window()))
            panel->noteSystemMoveReleased();
    }
}

WindowResizeHandle::WindowResizeHandle(QWidget *parent)
    : QWidget(parent)
{
    Accessibility::install(); // the grip over it speaks for it
    setFixedSize(18, 18);
}

void WindowResizeHandle::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    auto *panel = qobject_cast<NookaryPanel *>(window());
    if (!panel)
        return;
    m_startPointer = QCursor::pos();
    m_startFrame = panel->geometry();
    panel->noteResizeStarted();
}

void WindowResizeHandle::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (!inNookaryPanel(this) || !(event->buttons() & Qt::LeftButton))
        return;
    // The bottom corner the handle sits in follows the pointer (the bottom-left one in a
    // mirrored panel); the opposite top corner stays.
    const bool mirrored = isRightToLeft();
    const QPoint delta = QCursor::pos() - m_startPointer;
    const QSize minimum = window()->minimumSize();
    const int width
        = std::max(minimum.width(), m_startFrame.width() + (mirrored ? -delta.x() : delta.x()));
    const int height = std::max(minimum.height(), m_startFrame.height() + delta.y());
    QRect frame(m_startFrame.topLeft(), QSize(width, height));
    if (mirrored)
        frame.moveRight(m_startFrame.right());
    window()->setGeometry(frame);
}

} // namespace nookary
