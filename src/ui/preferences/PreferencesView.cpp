// SPDX-License-Identifier: GPL-3.0-or-later
#include "PreferencesView.h"

#include "model/AppModel.h"
#include "model/SettingsKeys.h"
#include "ui/preferences/SegmentedControl.h"
#include "ui/recorder/HotkeyRecorderControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace nookary {

namespace {

constexpr int kRowSpacing = 12;
constexpr int kRowPaddingV = 6;

QFont sized(QFont font, int pixelSize)
{
    font.setPixelSize(pixelSize);
    return font;
}

// The segments of "Open mode" and "Default selection", left to right.
constexpr AppModel::OpenPresentation kOpenModes[]
    = { AppModel::OpenPresentation::menubarPopover, AppModel::OpenPresentation::centeredWindow };
constexpr AppModel::DefaultOpenTarget kTargets[]
    = { AppModel::DefaultOpenTarget::historyFirst, AppModel::DefaultOpenTarget::savedFirst };

template <typename T, std::size_t N> int indexOf(const T (&values)[N], T value)
{
    for (std::size_t i = 0; i < N; ++i) {
        if (values[i] == value)
            return int(i);
    }
    return -1;
}

// The recorder may show a line under its field: the label stays level with the field rather
// than moving down to the middle of both.
void keepLabelLevelWithField(QWidget &row, QLabel &label, const HotkeyRecorderControl &recorder)
{
    QLayout *layout = row.layout();
    for (int i = 0; i < layout->count(); ++i) {
        if (QWidget *widget = layout->itemAt(i)->widget())
            layout->setAlignment(widget, Qt::AlignTop);
    }
    label.setMinimumHeight(recorder.field()->sizeHint().height());
}

} // namespace

PreferencesView::PreferencesView(
    AppModel &model, const KeyTranslator &keys, bool canRegisterShortcut, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    setMinimumSize(460, 270);
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(16, 12, 16, 12);
    stack->setSpacing(0);
    stack->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    const QFont small = sized(font(), 12);

    m_launchAtLogin = new QCheckBox(this);
    m_launchAtLogin->setAccessibleName(QStringLiteral("Launch at login"));
    connect(m_launchAtLogin, &QCheckBox::clicked, this,
        [this](bool checked) { m_model.setLaunchAtLogin(checked); });
    addRow(QStringLiteral("Launch at login"), m_launchAtLogin);
    addDivider();

    m_historyLimit = new QComboBox(this);
    m_historyLimit->setFont(small);
    m_historyLimit->setAccessibleName(QStringLiteral("History limit"));
    for (const int limit : SettingsKeys::historyLimitOptions)
        m_historyLimit->addItem(QStringLiteral("%1 items").arg(limit), limit);
    connect(m_historyLimit, &QComboBox::activated, this,
        [this](int index) { m_model.setHistoryLimit(m_historyLimit->itemData(index).toInt()); });
    addRow(QStringLiteral("History limit"), m_historyLimit);
    addDivider();

    m_openMode = new SegmentedControl(
        { QStringLiteral("Menu bar"), QStringLiteral("Centered window") }, this);
    m_openMode->setAccessibleName(QStringLiteral("Open mode"));
    connect(m_openMode, &SegmentedControl::activated, this,
        [this](int index) { m_model.setOpenPresentation(kOpenModes[index]); });
    addRow(QStringLiteral("Open mode"), m_openMode);
    addDivider();

    m_defaultSelection
        = new SegmentedControl({ QStringLiteral("History"), QStringLiteral("Saved") }, this);
    m_defaultSelection->setAccessibleName(QStringLiteral("Default selection"));
    connect(m_defaultSelection, &SegmentedControl::activated, this,
        [this](int index) { m_model.setDefaultOpenTarget(kTargets[index]); });
    addRow(QStringLiteral("Default selection"), m_defaultSelection);
    addDivider();

    if (canRegisterShortcut) {
        m_recorder = new HotkeyRecorderControl(
            model, keys, HotkeyRecorderControl::Style::settings, false, this);
        QWidget *row = addRow(QStringLiteral("Keyboard shortcut"), m_recorder);
        keepLabelLevelWithField(*row, *m_labels.last(), *m_recorder);
    } else {
        m_manualShortcut = new QLabel(manualShortcutText, this);
        m_manualShortcut->setFont(small);
        m_manualShortcut->setWordWrap(true);
        m_manualShortcut->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_manualShortcut->setMinimumWidth(controlWidth - 10);
        addRow(QStringLiteral("Keyboard shortcut"), m_manualShortcut);
    }
    stack->addStretch(1);

    for (auto signal : { &AppModel::launchAtLoginChanged, &AppModel::historyLimitChanged,
             &AppModel::openPresentationChanged, &AppModel::defaultOpenTargetChanged })
        connect(&model, signal, this, &PreferencesView::syncFromModel);
    syncFromModel();
}

QWidget *PreferencesView::addRow(const QString &text, QWidget *control)
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, kRowPaddingV, 0, kRowPaddingV);
    // The gap is fixed by hand: the flexible space at the end takes no gap of its own.
    layout->setSpacing(0);

    auto *label = new QLabel(text, row);
    label->setFont(sized(font(), 13));
    QPalette secondary = label->palette();
    QColor color = secondary.color(QPalette::WindowText);
    color.setAlphaF(0.55f);
    secondary.setColor(QPalette::WindowText, color);
    label->setPalette(secondary);
    label->setFixedWidth(labelColumnWidth);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setBuddy(control);
    m_labels.append(label);
    layout->addWidget(label, 0, Qt::AlignVCenter);
    layout->addSpacing(kRowSpacing);

    // Every control sits at the leading edge of a frame of the same width. The frame may give
    // up a few pixels at the window's narrowest, where margins, label and frame would not fit.
    auto *frame = new QWidget(row);
    frame->setObjectName(QStringLiteral("controlFrame"));
    frame->setMaximumWidth(controlWidth);
    frame->setMinimumWidth(controlWidth - 10);
    frame->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    auto *frameLayout = new QHBoxLayout(frame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    frameLayout->addWidget(
        control, control == m_recorder ? 1 : 0, Qt::AlignLeft | Qt::AlignVCenter);
    if (control != m_recorder)
        frameLayout->addStretch(1);
    control->setParent(frame);
    layout->addWidget(frame, 1, Qt::AlignVCenter);
    layout->addStretch(0);

    static_cast<QVBoxLayout *>(this->layout())->addWidget(row);
    return row;
}

void PreferencesView::addDivider()
{
    static_cast<QVBoxLayout *>(layout())->addWidget(new PreferenceDivider(this));
}

void PreferencesView::syncFromModel()
{
    m_launchAtLogin->setChecked(m_model.launchAtLogin());
    m_historyLimit->setCurrentIndex(m_historyLimit->findData(m_model.historyLimit()));
    m_openMode->setCurrentIndex(indexOf(kOpenModes, m_model.openPresentation()));
    m_defaultSelection->setCurrentIndex(indexOf(kTargets, m_model.defaultOpenTarget()));
}

PreferenceDivider::PreferenceDivider(QWidget *parent)
    : QWidget(parent)
{
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PreferenceDivider::paintEvent(QPaintEvent *)
{
    // The theme's separator line, lightened by a white veil at 4.5 %.
    QPainter painter(this);
    QColor line = palette().color(QPalette::WindowText);
    line.setAlphaF(0.12f);
    painter.fillRect(rect(), line);
    painter.fillRect(rect(), QColor::fromRgbF(1, 1, 1, 0.045f));
}

} // namespace nookary
