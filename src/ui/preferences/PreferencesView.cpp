// SPDX-License-Identifier: GPL-3.0-or-later
#include "PreferencesView.h"
#include "ui/Accessibility.h"

#include "core/TextDirection.h"
#include "model/AppModel.h"
#include "model/SettingsKeys.h"
#include "model/SnippetTransfer.h"
#include "ui/ShortcutGuide.h"
#include "ui/preferences/SegmentedControl.h"
#include "ui/recorder/HotkeyRecorderControl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPromise>
#include <QPushButton>
#include <QThreadPool>
#include <QVBoxLayout>

#include <algorithm>

namespace nookary {

namespace {

constexpr int kRowSpacing = 12;
constexpr int kRowPaddingV = 6;

// The file dialog reads its name filters and the suggested file name as data, and the
// window manager shows its title as it is: a mirrored English's marks stay out of them, and
// out of a text put into another, which has its own.
using TextDirection::withoutMarks;

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

// Dimmed as the labels are, for the lines that explain a row.
void setSecondary(QLabel *label, qreal alpha)
{
    QPalette palette = label->palette();
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(float(alpha));
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

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
    setMinimumSize(460, 370);
    auto *stack = new QVBoxLayout(this);
    stack->setContentsMargins(16, 12, 16, 12);
    stack->setSpacing(0);
    stack->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    const QFont small = sized(font(), 12);

    m_launchAtLogin = new QCheckBox(this);
    Accessibility::setName(m_launchAtLogin, tr("Launch at login"));
    connect(m_launchAtLogin, &QCheckBox::clicked, this,
        [this](bool checked) { m_model.setLaunchAtLogin(checked); });
    addRow(tr("Launch at login"), m_launchAtLogin);
    addDivider();

    m_historyLimit = new QComboBox(this);
    m_historyLimit->setFont(small);
    Accessibility::setName(m_historyLimit, tr("History limit"));
    for (const int limit : SettingsKeys::historyLimitOptions)
        m_historyLimit->addItem(tr("%Ln items", nullptr, limit), limit);
    connect(m_historyLimit, &QComboBox::activated, this, [this](int index) {
        m_model.settings().setHistoryLimit(m_historyLimit->itemData(index).toInt());
    });
    addRow(tr("History limit"), m_historyLimit);
    addDivider();

    m_openMode = new SegmentedControl({ tr("Tray popover"), tr("Centered window") }, this);
    Accessibility::setName(m_openMode, tr("Open mode"));
    connect(m_openMode, &SegmentedControl::activated, this,
        [this](int index) { m_model.settings().setOpenPresentation(kOpenModes[index]); });
    addRow(tr("Open mode"), m_openMode);
    addDivider();

    m_defaultSelection = new SegmentedControl({ tr("History"), tr("Saved") }, this);
    Accessibility::setName(m_defaultSelection, tr("Default selection"));
    connect(m_defaultSelection, &SegmentedControl::activated, this,
        [this](int index) { m_model.settings().setDefaultOpenTarget(kTargets[index]); });
    addRow(tr("Default selection"), m_defaultSelection);
    addDivider();

    if (canRegisterShortcut) {
        m_recorder = new HotkeyRecorderControl(
            model, keys, HotkeyRecorderControl::Style::settings, false, this);
        QWidget *row = addRow(tr("Keyboard shortcut"), m_recorder);
        keepLabelLevelWithField(*row, *m_labels.last(), *m_recorder);
    } else {
        m_manualShortcut = new QLabel(manualShortcutText(), this);
        m_manualShortcut->setFont(small);
        m_manualShortcut->setWordWrap(true);
        m_manualShortcut->setTextInteractionFlags(Qt::TextSelectableByMouse);
        m_manualShortcut->setMinimumWidth(controlWidth - 10);
        addRow(tr("Keyboard shortcut"), m_manualShortcut);
        // Under the row, the whole window wide: the commands' lines are longer than the
        // controls' column.
        m_shortcutGuide = new ShortcutGuide(this);
        m_shortcutGuide->stepsLabel()->setFont(small);
        stack->addWidget(m_shortcutGuide);
        stack->addSpacing(kRowPaddingV);
    }
    addDivider();
    addRow(tr("Paste after choosing"), makePasteRow());
    // The one label longer than its column.
    m_labels.last()->setWordWrap(true);
    addDivider();
    addRow(tr("Saved snippets"), makeSnippetsRow());
    stack->addStretch(1);

    for (auto signal : { &AppModel::launchAtLoginChanged, &AppModel::pasteAvailabilityChanged })
        connect(&model, signal, this, &PreferencesView::syncFromModel);
    for (auto signal : { &Settings::historyLimitChanged, &Settings::openPresentationChanged,
             &Settings::defaultOpenTargetChanged, &Settings::pasteAfterChoosingChanged })
        connect(&model.settings(), signal, this, &PreferencesView::syncFromModel);
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
    // A longer label (another language's) takes a second line rather than lose its end.
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    if (layoutDirection() == Qt::RightToLeft) {
        // Wrapped as a left-to-right paragraph set at the right edge: Qt leaves the space
        // where a marked English line breaks at its right end, a gap short of the edge.
        label->setText(withoutMarks(text));
        label->setAlignment(Qt::AlignRight | Qt::AlignAbsolute | Qt::AlignVCenter);
    }
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
    m_historyLimit->setCurrentIndex(m_historyLimit->findData(m_model.settings().historyLimit()));
    m_openMode->setCurrentIndex(indexOf(kOpenModes, m_model.settings().openPresentation()));
    m_defaultSelection->setCurrentIndex(indexOf(kTargets, m_model.settings().defaultOpenTarget()));

    // Where the session cannot paste, the box shows what happens (nothing), disabled, and
    // the stored choice is kept for a session that can.
    using Availability = PasteService::Availability;
    const Availability availability = m_model.pasteAvailability();
    m_pasteAfterChoosing->setEnabled(availability == Availability::available);
    m_pasteAfterChoosing->setChecked(
        availability == Availability::available && m_model.settings().pasteAfterChoosing());
    m_pasteUnavailable->setVisible(availability != Availability::available);
    m_pasteUnavailable->setText(availability == Availability::noXTest
            ? tr("Needs the XTEST extension of the X server")
            : tr("This desktop lets no program type into others"));
}

QWidget *PreferencesView::makePasteRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    m_pasteAfterChoosing = new QCheckBox(row);
    Accessibility::setName(m_pasteAfterChoosing, tr("Paste after choosing"));
    m_pasteAfterChoosing->setToolTip(tr("Pastes the chosen entry into the window you return "
                                        "to (in a terminal, with its own paste key)"));
    connect(m_pasteAfterChoosing, &QCheckBox::clicked, this,
        [this](bool checked) { m_model.settings().setPasteAfterChoosing(checked); });
    layout->addWidget(m_pasteAfterChoosing);
    m_pasteUnavailable = new QLabel(row);
    m_pasteUnavailable->setFont(sized(font(), 11));
    setSecondary(m_pasteUnavailable, 0.55);
    layout->addWidget(m_pasteUnavailable, 1);
    return row;
}

QWidget *PreferencesView::makeSnippetsRow()
{
    auto *row = new QWidget(this);
    auto *column = new QVBoxLayout(row);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    const QFont small = sized(font(), 12);
    m_export = new QPushButton(tr("Export…"), row);
    m_import = new QPushButton(tr("Import…"), row);
    for (QPushButton *button : { m_export, m_import }) {
        button->setFont(small);
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    m_export->setToolTip(tr("Writes the saved snippets to a file, to keep or to take to "
                            "another machine"));
    m_import->setToolTip(tr("Adds the snippets of an exported file, or of a text file with "
                            "one snippet per line, after yours"));
    buttons->addStretch(1);
    column->addLayout(buttons);
    m_snippetsStatus = new QLabel(tr("Take them to another machine as a file"), row);
    m_snippetsStatus->setFont(sized(font(), 11));
    m_snippetsStatus->setTextFormat(Qt::PlainText); // file names are no markup
    m_snippetsStatus->setWordWrap(true);
    m_snippetsStatus->setMinimumWidth(controlWidth - 10);
    m_snippetsStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    setSecondary(m_snippetsStatus, 0.7);
    // Room for two lines of outcome is kept, so that the rows above stay put; a longer
    // reason takes the free space below.
    m_snippetsStatus->setMinimumHeight(2 * m_snippetsStatus->fontMetrics().lineSpacing());
    m_snippetsStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(m_snippetsStatus);
    connect(m_export, &QPushButton::clicked, this, &PreferencesView::chooseExportFile);
    connect(m_import, &QPushButton::clicked, this, &PreferencesView::chooseImportFile);
    return row;
}

void PreferencesView::chooseExportFile()
{
    QFileDialog dialog(this, withoutMarks(tr("Export Saved Snippets")),
        QDir::home().filePath(withoutMarks(tr("Nookary snippets.json"))),
        withoutMarks(tr("Saved snippets (*.json)")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without a suffix still makes a file that reads as an export elsewhere.
    dialog.setDefaultSuffix(QStringLiteral("json"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        exportSavedSnippets(dialog.selectedFiles().constFirst());
}

void PreferencesView::chooseImportFile()
{
    const QString exported = withoutMarks(tr("Saved snippets (*.json)"));
    const QString lines = withoutMarks(tr("Text, one snippet per line (*.txt)"));
    QString chosenFilter;
    const QString path = QFileDialog::getOpenFileName(this,
        withoutMarks(tr("Import Saved Snippets")), QDir::homePath(),
        exported + QStringLiteral(";;") + lines + QStringLiteral(";;")
            + withoutMarks(tr("All files (*)")),
        &chosenFilter);
    if (!path.isEmpty())
        importSavedSnippets(path, chosenFilter == lines);
}

void PreferencesView::exportSavedSnippets(const QString &path)
{
    QString error;
    const std::optional<qsizetype> count = m_model.exportSavedSnippets(path, &error);
    showSnippetsOutcome(path, [&](const QString &file) {
        if (!count)
            return tr("%1: %2").arg(file, withoutMarks(error));
        return tr("Exported %Ln snippet(s) to %1", nullptr, int(*count)).arg(file);
    });
}

void PreferencesView::importSavedSnippets(const QString &path, bool lines)
{
    using Read = std::pair<std::optional<QStringList>, QString>;
    const auto format = lines ? SnippetTransfer::Format::lines : SnippetTransfer::Format::byContent;
    // Read away from the main thread: a file on a slow or hung disk must not freeze Nookary.
    auto promise = std::make_shared<QPromise<Read>>();
    auto *watcher = new QFutureWatcher<Read>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, path] {
        watcher->deleteLater();
        setTransferBusy(false);
        const Read read = watcher->future().result();
        if (!read.first) {
            showSnippetsOutcome(path, [&](const QString &file) {
                return tr("%1: %2 Nothing was imported.").arg(file, withoutMarks(read.second));
            });
            return;
        }
        const QString outcome = SnippetTransfer::describe(
            m_model.importSavedSnippets(*read.first), AppModel::shelfMax);
        showSnippetsOutcome({}, [&](const QString &) { return outcome; });
    });
    watcher->setFuture(promise->future());
    setTransferBusy(true);
    showSnippetsOutcome(path, [](const QString &file) { return tr("Reading %1…").arg(file); });
    QThreadPool::globalInstance()->start([promise, path, format] {
        promise->start();
        QString error;
        std::optional<QStringList> texts;
        if (const std::optional<QByteArray> bytes = SnippetTransfer::readFile(path, &error))
            texts = SnippetTransfer::decode(*bytes, format, &error);
        promise->addResult(Read { std::move(texts), error });
        promise->finish();
    });
}

void PreferencesView::setTransferBusy(bool busy)
{
    m_export->setEnabled(!busy);
    m_import->setEnabled(!busy);
}

void PreferencesView::showSnippetsOutcome(
    const QString &path, const std::function<QString(const QString &file)> &text)
{
    // The file's name shortened in the middle leaves room for the whole reason; the tooltip
    // holds the full path.
    const QString name = QFileInfo(path).fileName();
    // Only a name longer than a whole line is shortened: the label wraps anyway.
    const int room = std::max(m_snippetsStatus->minimumWidth(), m_snippetsStatus->width());
    m_snippetsStatus->setText(
        text(m_snippetsStatus->fontMetrics().elidedText(name, Qt::ElideMiddle, room)));
    m_snippetsStatus->setToolTip(text(QDir::toNativeSeparators(path)));
    // Two lines are kept for any outcome; one that needs more (a wide font, a long
    // language) gets them, and the window grows to hold them.
    const int needed = std::max(2 * m_snippetsStatus->fontMetrics().lineSpacing(),
        m_snippetsStatus->heightForWidth(m_snippetsStatus->width()));
    if (needed != m_snippetsStatus->minimumHeight()) {
        m_snippetsStatus->setMinimumHeight(needed);
        Q_EMIT neededHeightChanged();
    }
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
