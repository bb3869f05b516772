// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUuid>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTimer;

namespace nookary {

class AppModel;
class PanelState;
class Shelf;
class ClipboardHistory;
class Clock;
class PanelActions;
class HistoryColumn;
class ShelfColumn;
class SymbolButton;
class WindowDragHandle;
class WindowResizeHandle;

// The one view of the panel: the search field, the history and saved columns, and the
// footer with "Clear" and the window controls. Everything it shows comes from the model;
// it asks the shell for the rest through `PanelActions`.
class PanelView final : public QWidget {
    Q_OBJECT

public:
    // The panel at its smallest, in both presentations; the popover has exactly this size.
    static constexpr QSize minimumPanelSize { 560, 380 };

    // `actions` and `clock` (which times drops on the saved column) must outlive the view.
    PanelView(AppModel &model, PanelActions &actions, Clock &clock, QWidget *parent = nullptr);
    ~PanelView() override;

    QLineEdit *searchField() const { return m_search; }
    HistoryColumn *historyColumn() const { return m_history; }
    ShelfColumn *shelfColumn() const { return m_saved; }
    SymbolButton *clearButton() const { return m_clear; }
    SymbolButton *pinButton() const { return m_pin; }
    SymbolButton *settingsButton() const { return m_settings; }
    QWidget *resizeGrip() const { return m_grip; }
    QList<QWidget *> edgeStrips() const;

    // Gives the search field the keys, on the next turn (after what takes them now).
    void focusSearch();
    // The selected row's menu, under the row (Shift+F10 and the Menu key).
    void openContextMenuForSelection();
    // Says for a few seconds, in the footer, why an action was refused; readers hear it.
    void tell(const QString &why);
    QWidget *notice() const { return m_notice; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QWidget *makeFooter();
    // The notice over the footer's middle, as tall as its wrapped text needs.
    void placeNotice();
    void syncPresentation();
    void syncPin();
    void onQueryChanged();
    void endEditingOnNextTurn();
    void setTabOrder();
    // Tells readers which row the keys now stand on, once per turn; with `moved` false,
    // only that nothing matches the search any more.
    void announceSelectionOnNextTurn(bool moved = true);
    // An edit that ended with the focus nowhere (saved with Return, a click on the
    // background, abandoned) gives the keys back to the search field, on the edited row.
    void focusSearchAfterEditOnNextTurn();
    QWidget *selectedRow() const;

    AppModel &m_model;
    PanelState &m_panel;
    Shelf &m_snippets;
    ClipboardHistory &m_clipboardHistory;
    PanelActions &m_actions;
    QLineEdit *m_search;
    HistoryColumn *m_history;
    ShelfColumn *m_saved;
    SymbolButton *m_clear = nullptr;
    SymbolButton *m_pin = nullptr;
    SymbolButton *m_settings = nullptr;
    QWidget *m_grip = nullptr;
    WindowDragHandle *m_topStrip;
    WindowDragHandle *m_leftStrip;
    WindowDragHandle *m_rightStrip;
    QWidget *m_noticeArea = nullptr;
    QWidget *m_notice = nullptr;
    QLabel *m_noticeText = nullptr;
    QTimer *m_noticeTimer = nullptr;
    QUuid m_editedID; // the snippet being edited, until the edit has ended
    bool m_announcePending = false;
    bool m_selectionMoved = false;
    bool m_readerOnRow = false;
};

} // namespace nookary
