// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <functional>

class QLineEdit;

namespace nookary {

class AppModel;
class HistoryColumn;
class SavedColumn;
class SymbolButton;
class WindowDragHandle;
class WindowResizeHandle;

// The one view of the panel: the search field, the history and saved columns, and the
// footer with "Clear" and the window controls. Everything it shows comes from the model;
// it talks back to its host only through the three callbacks.
class PopoverView final : public QWidget {
    Q_OBJECT

public:
    struct Callbacks {
        std::function<void(const QString &)> onCopyAndClose;
        std::function<void()> onOpenPreferences;
        std::function<void()> onPinToggle;
    };

    // The panel at its smallest, in both presentations; the popover has exactly this size.
    static constexpr QSize minimumPanelSize { 560, 380 };

    PopoverView(AppModel &model, Callbacks callbacks, QWidget *parent = nullptr);

    QLineEdit *searchField() const { return m_search; }
    HistoryColumn *historyColumn() const { return m_history; }
    SavedColumn *savedColumn() const { return m_saved; }
    SymbolButton *clearButton() const { return m_clear; }
    SymbolButton *pinButton() const { return m_pin; }
    SymbolButton *settingsButton() const { return m_settings; }
    QWidget *resizeGrip() const { return m_grip; }
    QList<QWidget *> edgeStrips() const;

    // The selected row's menu, under the row (Shift+F10 and the Menu key).
    void openContextMenuForSelection();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QWidget *makeFooter();
    void syncPresentation();
    void syncPin();
    void onQueryChanged();
    void focusSearchOnNextTurn();
    void endEditingOnNextTurn();
    void setTabOrder();
    // Tells readers which row the keys now stand on, once per turn.
    void announceSelectionOnNextTurn();
    QWidget *selectedRow() const;

    AppModel &m_model;
    Callbacks m_callbacks;
    QLineEdit *m_search;
    HistoryColumn *m_history;
    SavedColumn *m_saved;
    SymbolButton *m_clear = nullptr;
    SymbolButton *m_pin = nullptr;
    SymbolButton *m_settings = nullptr;
    QWidget *m_grip = nullptr;
    WindowDragHandle *m_topStrip;
    WindowDragHandle *m_leftStrip;
    WindowDragHandle *m_rightStrip;
    bool m_announcePending = false;
};

} // namespace nookary
