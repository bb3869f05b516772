// SPDX-License-Identifier: GPL-3.0-or-later
#include "HotkeyRecorderControl.h"

#include "model/AppModel.h"
#include "platform/KeyTranslator.h"
#include "ui/Accessibility.h"
#include "ui/SymbolIcons.h"
#include "ui/recorder/HotkeyRecorderState.h"
#include "ui/recorder/RecorderStyle.h"
#include "ui/recorder/ShortcutBadge.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace nookary {

namespace {

// Asked at every use, so that it follows the installed translation.
QString notSetYet()
{
    return HotkeyRecorderControl::tr("Not set yet");
}

constexpr int kFieldMinWidth = 170;
constexpr QMargins kFieldPadding { 14, 8, 14, 8 };
constexpr qreal kFieldMinScale = 0.85;

QFont fieldFont()
{
    return RecorderStyle::font(13, QFont::DemiBold);
}

// The pull-down's face: a chevron on the same rounded face as the field.
class ChevronButton final : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5),
            RecorderStyle::cornerRadius, RecorderStyle::cornerRadius);
        painter.fillPath(path, RecorderStyle::veil(*this, 0.08f));
        painter.setPen(QPen(RecorderStyle::veil(*this, 0.12f), 1));
        painter.drawPath(path);
        QColor color = RecorderStyle::secondary(*this);
        if (!isEnabled())
            color.setAlphaF(color.alphaF() * 0.5f);
        const QPixmap chevron
            = SymbolIcons::pixmap(QStringLiteral("chevron.down"), 10, color, devicePixelRatioF());
        painter.drawPixmap(QPoint((width() - 10) / 2, (height() - 10) / 2), chevron);
    }
};

} // namespace

// Texts

QString HotkeyRecorderControl::shortcutText(HotkeyShortcut shortcut)
{
    return shortcut.modifierText() + QStringLiteral(" + ")
        + HotkeyShortcut::keyName(shortcut.keyCode);
}

QString HotkeyRecorderControl::settingsFieldText(HotkeyShortcut shortcut, bool recording)
{
    if (recording)
        return tr("Press new shortcut");
    return shortcut.isSet() ? shortcutText(shortcut) : tr("Off");
}

QString HotkeyRecorderControl::onboardingBadgeText(
    HotkeyShortcut shortcut, Style style, bool treatAsUnset)
{
    if ((style == Style::onboarding && treatAsUnset) || !shortcut.isSet())
        return notSetYet();
    return shortcutText(shortcut);
}

QString HotkeyRecorderControl::onboardingButtonTitle(
    HotkeyShortcut shortcut, Style style, bool treatAsUnset, bool recording)
{
    if (recording)
        return tr("Cancel");
    return onboardingBadgeText(shortcut, style, treatAsUnset) != notSetYet()
        ? tr("Change\u2026")
        : tr("Choose Shortcut\u2026");
}

QString HotkeyRecorderControl::settingsFieldText() const
{
    // The desktop's own words where it chose the trigger (it may differ from the stored one).
    if (!isRecording() && shownBinding().isSet() && m_model
        && !m_model->hotkeyTriggerText().isEmpty())
        return m_model->hotkeyTriggerText();
    return settingsFieldText(shownBinding(), isRecording());
}

QString HotkeyRecorderControl::onboardingBadgeText() const
{
    const QString text = onboardingBadgeText(shownBinding(), m_style, m_onboardingTreatAsUnset);
    if (text != notSetYet() && m_model && !m_model->hotkeyTriggerText().isEmpty())
        return m_model->hotkeyTriggerText();
    return text;
}

QString HotkeyRecorderControl::onboardingButtonTitle() const
{
    return onboardingButtonTitle(shownBinding(), m_style, m_onboardingTreatAsUnset, isRecording());
}

QString HotkeyRecorderControl::refusalReason(quint32 modifiers, QChar letter)
{
    using Command = HotkeyShortcut::EditingCommand;
    const auto command = HotkeyShortcut::editingCommand(modifiers, letter);
    if (!command)
        return {};
    // By the letter, not the key's place: it is the combination the user knows by name.
    const QString keys
        = HotkeyShortcut { 0, modifiers }.modifierText() + QStringLiteral(" + ") + letter.toUpper();
    switch (*command) {
    case Command::selectAll:
        return tr("Apps use %1 to select all.").arg(keys);
    case Command::copy:
        return tr("Apps use %1 to copy.").arg(keys);
    case Command::paste:
        return tr("Apps use %1 to paste.").arg(keys);
    case Command::cut:
        return tr("Apps use %1 to cut.").arg(keys);
    case Command::undo:
        return tr("Apps use %1 to undo.").arg(keys);
    case Command::redo:
        return tr("Apps use %1 to redo.").arg(keys);
    case Command::save:
        return tr("Apps use %1 to save.").arg(keys);
    case Command::find:
        return tr("Apps use %1 to find.").arg(keys);
    case Command::close:
        return tr("Apps use %1 to close.").arg(keys);
    case Command::quit:
        return tr("Apps use %1 to quit.").arg(keys);
    }
    return {};
}

QString HotkeyRecorderControl::noteText() const
{
    if (isRecording())
        return m_refusal;
    const bool shown = m_style == Style::settings ? shownBinding().isSet()
                                                  : onboardingBadgeText() != notSetYet();
    if (shown && m_model && m_model->isHotkeyUnavailable())
        return tr("In use by another program");
    return {};
}

// The control

HotkeyRecorderControl::HotkeyRecorderControl(AppModel &model, const KeyTranslator &keys,
    Style style, bool onboardingTreatAsUnset, QWidget *parent)
    : QWidget(parent)
    , m_model(&model)
    , m_keys(keys)
    , m_style(style)
    , m_onboardingTreatAsUnset(onboardingTreatAsUnset)
    , m_recorder(new HotkeyRecorderState(keys, this))
{
    if (style == Style::settings)
        buildSettings();
    else
        buildOnboarding();
    connect(m_recorder, &HotkeyRecorderState::isRecordingChanged, this, [this] {
        m_refusal.clear();
        // Ending a recording applies the new shortcut, which may end this control (a host
        // that rebuilds it): nothing of it is touched afterwards unless it is still there.
        QPointer<HotkeyRecorderControl> self(this);
        if (m_wasShown && m_model)
            m_model->setIsRecordingHotkey(m_recorder->isRecording());
        if (self)
            sync();
    });
    // Every refused press says its own reason, or clears the last one.
    connect(
        m_recorder, &HotkeyRecorderState::refused, this, [this](quint32 modifiers, QChar letter) {
            m_refusal = refusalReason(modifiers, letter);
            sync();
        });
    connect(
        &model.settings(), &Settings::hotkeyShortcutChanged, this, &HotkeyRecorderControl::sync);
    connect(&model, &AppModel::hotkeyTriggerTextChanged, this, &HotkeyRecorderControl::sync);
    connect(&model, &AppModel::isHotkeyUnavailableChanged, this, &HotkeyRecorderControl::sync);
    sync();
}

HotkeyRecorderControl::~HotkeyRecorderControl()
{
    // Going away in the middle of a recording leaves no filter and no raised flag.
    const bool wasRecording = m_recorder->isRecording();
    m_recorder->disconnect(this);
    m_recorder->stopRecording();
    if (wasRecording && m_model)
        m_model->setIsRecordingHotkey(false);
}

bool HotkeyRecorderControl::isRecording() const
{
    return m_recorder->isRecording();
}

HotkeyShortcut HotkeyRecorderControl::binding() const
{
    return m_model ? m_model->settings().hotkeyShortcut() : HotkeyShortcut::off();
}

HotkeyShortcut HotkeyRecorderControl::shownBinding() const
{
    const HotkeyShortcut shortcut = binding();
    return m_keys.isUsable(shortcut) ? shortcut : HotkeyShortcut::off();
}

void HotkeyRecorderControl::writeBinding(HotkeyShortcut shortcut)
{
    if (m_model)
        m_model->settings().setHotkeyShortcut(shortcut);
}

void HotkeyRecorderControl::toggle()
{
    if (isRecording())
        m_recorder->stopRecording();
    else
        start();
}

void HotkeyRecorderControl::start()
{
    QPointer<HotkeyRecorderControl> self(this);
    m_recorder->startRecording([self](HotkeyShortcut shortcut) {
        if (!self)
            return;
        // Taken: an earlier press's reason no longer applies, even while the new shortcut
        // is being applied.
        self->m_refusal.clear();
        self->writeBinding(shortcut);
    });
}

void HotkeyRecorderControl::newShortcut()
{
    m_recorder->stopRecording();
    start();
}

void HotkeyRecorderControl::resetToDefault()
{
    m_recorder->stopRecording();
    writeBinding(HotkeyShortcut::defaultShortcut());
}

void HotkeyRecorderControl::disableShortcut()
{
    m_recorder->stopRecording();
    writeBinding(HotkeyShortcut::off());
}

void HotkeyRecorderControl::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_wasShown = true;
    sync(); // the layout in use may have changed meanwhile
}

void HotkeyRecorderControl::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    m_recorder->stopRecording();
    if (m_model)
        m_model->setIsRecordingHotkey(false);
}

bool HotkeyRecorderControl::event(QEvent *event)
{
    // Recording holds the global shortcut released: once the user works elsewhere, that
    // would leave them without one for as long as the window waits in the background.
    if (event->type() == QEvent::WindowDeactivate)
        m_recorder->stopRecording();
    return QWidget::event(event);
}

void HotkeyRecorderControl::buildSettings()
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(4); // the row, and the note under it when there is one
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    stack->addLayout(row);

    m_field = new ShortcutField(this);
    connect(m_field, &ShortcutField::clicked, this, &HotkeyRecorderControl::toggle);
    row->addWidget(m_field, 0, Qt::AlignVCenter);

    m_pullDown = new ChevronButton(this);
    m_pullDown->setFixedSize(28, 32);
    m_pullDown->setPopupMode(QToolButton::InstantPopup);
    m_pullDown->setToolTip(tr("More shortcut options"));
    Accessibility::setName(m_pullDown, tr("More shortcut options"));
    m_menu = new QMenu(m_pullDown);
    m_newShortcut
        = m_menu->addAction(tr("New Shortcut"), this, &HotkeyRecorderControl::newShortcut);
    m_menu->addSeparator();
    m_reset
        = m_menu->addAction(tr("Reset to Default"), this, &HotkeyRecorderControl::resetToDefault);
    m_disable
        = m_menu->addAction(tr("Disable Shortcut"), this, &HotkeyRecorderControl::disableShortcut);
    m_pullDown->setMenu(m_menu);
    row->addWidget(m_pullDown, 0, Qt::AlignVCenter);
    row->addStretch(1);
    buildNote(*stack, Qt::AlignLeft);
}

void HotkeyRecorderControl::buildNote(QVBoxLayout &stack, Qt::Alignment alignment)
{
    m_note = new QLabel(this);
    m_note->setFont(RecorderStyle::font(11));
    m_note->setAlignment(alignment | Qt::AlignVCenter);
    m_note->hide();
    stack.addWidget(m_note, 0, alignment);
}

void HotkeyRecorderControl::buildOnboarding()
{
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(14);
    stack->setAlignment(Qt::AlignHCenter);
    auto *inner = new QVBoxLayout;
    inner->setSpacing(10);
    stack->addLayout(inner);

    m_badge = new ShortcutBadge(true, this);
    inner->addWidget(m_badge, 0, Qt::AlignHCenter);
    m_button = new QPushButton(this);
    QFont large = m_button->font();
    large.setPixelSize(15);
    m_button->setFont(large);
    m_button->setMinimumHeight(34);
    connect(m_button, &QPushButton::clicked, this, [this] {
        // The prominent form starts; the bordered form toggles (and reads "Cancel" while
        // recording).
        if (m_button->property("prominent").toBool())
            start();
        else
            toggle();
    });
    inner->addWidget(m_button, 0, Qt::AlignHCenter);

    auto *lines = new QVBoxLayout;
    lines->setSpacing(4);
    stack->addLayout(lines);
    m_hint = new QLabel(tr("Press a new shortcut now (Esc to cancel)"), this);
    m_hint->setFont(RecorderStyle::font(11));
    m_hint->setAlignment(Qt::AlignCenter);
    lines->addWidget(m_hint, 0, Qt::AlignHCenter);
    buildNote(*lines, Qt::AlignHCenter);
    // The lines keep their room, one line each, while hidden or empty: the host centres
    // this control, and a line appearing would move the button under the pointer.
    const int lineHeight = m_hint->sizeHint().height();
    for (QLabel *line : { m_hint, m_note }) {
        QSizePolicy policy = line->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        line->setSizePolicy(policy);
        line->setFixedHeight(lineHeight);
    }
}

void HotkeyRecorderControl::sync()
{
    const HotkeyShortcut shortcut = shownBinding();
    const bool recording = isRecording();
    const QString note = noteText();
    m_note->setText(note);
    QPalette notePalette = m_note->palette();
    notePalette.setColor(QPalette::WindowText, RecorderStyle::secondary(*this));
    m_note->setPalette(notePalette);
    m_note->setVisible(!note.isEmpty());
    if (m_style == Style::settings) {
        m_field->setState(settingsFieldText(), recording, shortcut.isSet());
        m_pullDown->setEnabled(!recording);
        m_newShortcut->setEnabled(!recording);
        m_reset->setEnabled(recording || binding() != HotkeyShortcut::defaultShortcut());
        m_disable->setEnabled(recording || shortcut.isSet());
        return;
    }
    m_badge->setText(onboardingBadgeText());
    m_badge->setRecording(recording);
    m_button->setText(onboardingButtonTitle());
    const bool prominent = onboardingBadgeText() == notSetYet() && !recording;
    m_button->setProperty("prominent", prominent);
    const QColor accent = RecorderStyle::accent(*this);
    const QColor onAccent = palette().color(QPalette::HighlightedText);
    m_button->setStyleSheet(prominent
            ? QStringLiteral("QPushButton { background: %1; color: %2; border: none;"
                             " border-radius: 7px; padding: 6px 18px; }"
                             "QPushButton:pressed { background: %3; }")
                  .arg(accent.name(), onAccent.name(), accent.darker(115).name())
            : QString());
    QPalette hintPalette = m_hint->palette();
    hintPalette.setColor(QPalette::WindowText, RecorderStyle::secondary(*this));
    m_hint->setPalette(hintPalette);
    m_hint->setVisible(recording);
}

// The field

ShortcutField::ShortcutField(QWidget *parent)
    : QWidget(parent)
{
    Accessibility::install();
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ShortcutField::setState(const QString &text, bool recording, bool set)
{
    const bool resize = text != m_text;
    m_text = text;
    m_recording = recording;
    m_set = set;
    setToolTip(recording ? tr("Press a new shortcut now. Press Esc to cancel.")
                         : tr("Click to set a new keyboard shortcut."));
    // Readers hear the shortcut, and that the next keys are taken, on the control itself.
    Accessibility::setName(this,
        recording ? tr("Keyboard shortcut, recording: press the new shortcut, or "
                       "Escape to cancel")
                  : tr("Keyboard shortcut: %1").arg(text));
    if (resize)
        updateGeometry();
    update();
}

QColor ShortcutField::textColor() const
{
    if (m_recording)
        return RecorderStyle::accent(*this);
    return m_set ? RecorderStyle::primary(*this) : RecorderStyle::secondary(*this);
}

QSize ShortcutField::sizeHint() const
{
    // Rounded up, and a pixel to spare: hinted bold text can draw a little wider than measured.
    const QFontMetricsF metrics(fieldFont());
    const int textWidth = int(std::ceil(metrics.horizontalAdvance(m_text))) + 2;
    const int width
        = std::max(kFieldMinWidth, textWidth + kFieldPadding.left() + kFieldPadding.right());
    return { width,
        int(std::ceil(metrics.height())) + kFieldPadding.top() + kFieldPadding.bottom() };
}

void ShortcutField::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), RecorderStyle::cornerRadius,
        RecorderStyle::cornerRadius);
    const QColor accent = RecorderStyle::accent(*this);
    painter.fillPath(path,
        m_recording ? RecorderStyle::withOpacity(accent, 0.14f)
                    : RecorderStyle::veil(*this, 0.08f));
    painter.setPen(QPen(
        m_recording ? RecorderStyle::withOpacity(accent, 0.45f) : RecorderStyle::veil(*this, 0.12f),
        1));
    painter.drawPath(path);
    if (hasFocus()) {
        painter.setPen(QPen(RecorderStyle::withOpacity(accent, 0.8f), 1.5));
        painter.drawPath(path);
    }

    // One line; shrunk down to 85 % of its size to fit, then elided.
    const QRect textRect = rect().marginsRemoved(kFieldPadding);
    QFont font = fieldFont();
    const qreal fullWidth = QFontMetricsF(font).horizontalAdvance(m_text);
    if (fullWidth > textRect.width() + 2) {
        const qreal scale = std::max(kFieldMinScale, qreal(textRect.width()) / fullWidth);
        font.setPixelSize(std::max(1, int(font.pixelSize() * scale)));
    }
    painter.setFont(font);
    painter.setPen(textColor());
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine,
        QFontMetrics(font).elidedText(m_text, Qt::ElideRight, textRect.width()));
}

void ShortcutField::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

void ShortcutField::keyPressEvent(QKeyEvent *event)
{
    // Space and Return work the field from the keyboard, as they would a button; not with
    // modifiers held, or an old shortcut pressed here would start a recording.
    const bool bare = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (bare
        && (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return
            || event->key() == Qt::Key_Enter)) {
        Q_EMIT clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace nookary
