// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace nookary {

class AppModel;
class KeyTranslator;
class HotkeyRecorderControl;
class SegmentedControl;
class ShortcutGuide;

// The settings, one labelled row each, every control bound straight to the model: a change
// is written to the model at once, and the model's current values are shown whenever they
// change. There is nothing to apply or cancel.
class PreferencesView final : public QWidget {
    Q_OBJECT

public:
    static constexpr int labelColumnWidth = 130;
    static constexpr int controlWidth = 300;

    // Where the desktop binds the shortcut itself, in place of the recorder.
    static QString manualShortcutText()
    {
        return tr("Set in your desktop's keyboard settings: a custom shortcut that runs "
                  "Nookary --toggle");
    }

    // Where `canRegisterShortcut` is false, the shortcut row says how to bind one in the
    // desktop instead of offering a recorder that could never work.
    PreferencesView(AppModel &model, const KeyTranslator &keys, bool canRegisterShortcut = true,
        QWidget *parent = nullptr);

    QCheckBox *launchAtLoginBox() const { return m_launchAtLogin; }
    QComboBox *historyLimitMenu() const { return m_historyLimit; }
    SegmentedControl *openModeControl() const { return m_openMode; }
    SegmentedControl *defaultSelectionControl() const { return m_defaultSelection; }
    // Null where the desktop binds the shortcut.
    HotkeyRecorderControl *shortcutRecorder() const { return m_recorder; }
    QLabel *manualShortcutLabel() const { return m_manualShortcut; }
    ShortcutGuide *shortcutGuide() const { return m_shortcutGuide; }
    QCheckBox *pasteAfterChoosingBox() const { return m_pasteAfterChoosing; }
    // Why the session cannot paste; hidden where it can.
    QLabel *pasteUnavailableLabel() const { return m_pasteUnavailable; }
    QPushButton *exportButton() const { return m_export; }
    QPushButton *importButton() const { return m_import; }
    // The last export's or import's outcome.
    QLabel *snippetsStatusLabel() const { return m_snippetsStatus; }

    // What the two buttons do once a file is chosen; public for tests, which choose none.
    // An import reads its file on another thread: its outcome shows when it has been read.
    void exportSavedSnippets(const QString &path);
    void importSavedSnippets(const QString &path, bool lines);
    QList<QLabel *> rowLabels() const { return m_labels; }

Q_SIGNALS:
    // A text grew past the room it had (a long outcome in a wide font): the window fits
    // itself to the view again.
    void neededHeightChanged();

private:
    QWidget *addRow(const QString &label, QWidget *control);
    void addDivider();
    void syncFromModel();
    QWidget *makePasteRow();
    QWidget *makeSnippetsRow();
    void chooseExportFile();
    void chooseImportFile();
    void setTransferBusy(bool busy);
    // Shows `text` of the file at `path` in the row, with the file's name shortened as the
    // row needs, and in the tooltip with its full path.
    void showSnippetsOutcome(
        const QString &path, const std::function<QString(const QString &file)> &text);

    AppModel &m_model;
    QList<QLabel *> m_labels;
    QCheckBox *m_launchAtLogin = nullptr;
    QComboBox *m_historyLimit = nullptr;
    SegmentedControl *m_openMode = nullptr;
    SegmentedControl *m_defaultSelection = nullptr;
    HotkeyRecorderControl *m_recorder = nullptr;
    QLabel *m_manualShortcut = nullptr;
    ShortcutGuide *m_shortcutGuide = nullptr;
    QCheckBox *m_pasteAfterChoosing = nullptr;
    QLabel *m_pasteUnavailable = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_import = nullptr;
    QLabel *m_snippetsStatus = nullptr;
};

// A thin line between two rows.
class PreferenceDivider final : public QWidget {
    Q_OBJECT

public:
    explicit PreferenceDivider(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace nookary
