// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/panel/RowFrame.h"

#include <QPlainTextEdit>

class QLabel;

namespace nookary {

class ElidedLabel;
class RowNote;
class SymbolButton;

// The in-place editor of a snippet: transparent, multi-line, never longer than an entry
// may be. Tells when focus leaves it for another part of the program, which commits an edit.
class SnippetEditor final : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit SnippetEditor(QWidget *parent = nullptr);

Q_SIGNALS:
    void focusLost();

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void keepWithinLimit();
    void followTextDirection();
};

// One saved snippet: a drag handle, its text or its editor, and on the trailing edge its
// numbered-shortcut badge or, under the pointer, edit and delete buttons.
class ShelfRow final : public RowFrame {
    Q_OBJECT

public:
    ShelfRow(const QUuid &id, const QString &text, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    QString shownText() const;
    // A note after the text in the secondary colour ("cut"), or empty for none.
    void setNote(const QString &note);
    // "Ctrl+1" to "Ctrl+9", or empty for no badge.
    void setShortcutLabel(const QString &label);
    QString shortcutLabel() const { return m_shortcutLabel; }

    // Shows the editor with the snippet's text, focused on the next turn, or hides it
    // (dropping the draft).
    void setEditing(bool editing);
    bool isEditing() const { return m_editor != nullptr; }
    SnippetEditor *editor() const { return m_editor; }
    QString draftText() const;

    bool isHovering() const { return m_hovering; }
    bool showsActions() const;
    bool showsBadge() const;
    QWidget *dragHandle() const { return m_handle; }
    // Where the text and the badge are drawn, in row coordinates.
    QRect textGeometry() const;
    QRect badgeGeometry() const;
    SymbolButton *editButton() const { return m_editButton; }
    SymbolButton *deleteButton() const { return m_deleteButton; }
    // Takes the hover look from where the pointer really is. Qt says nothing when the
    // row moves under a still pointer: the column calls it when its content scrolls.
    void followPointer();

Q_SIGNALS:
    void copyRequested(const QString &text);
    void editRequested();
    void deleteRequested();
    // The handle was pressed at `pressedAt` (row coordinates) and dragged: the column
    // starts the reorder drag.
    void handleDragRequested(QPoint pressedAt);
    // The edit ends with this draft to save: focus left the editor for another part of the
    // panel, or the row was hidden (the panel closed) while editing.
    void draftDone(const QString &draft);

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateTrailing();
    void applyTrailing();

    QString m_text;
    QString m_shortcutLabel;
    bool m_hovering = false;
    bool m_updatingTrailing = false;
    bool m_trailingStale = false;
    QWidget *m_handle;
    ElidedLabel *m_label;
    RowNote *m_note;
    SnippetEditor *m_editor = nullptr;
    QWidget *m_actions;
    SymbolButton *m_editButton;
    SymbolButton *m_deleteButton;
    QLabel *m_badge;
};

// "Add a snippet…" under the saved rows: a button, reached by Tab.
class AddShelfRow final : public QWidget {
    Q_OBJECT

public:
    explicit AddShelfRow(QWidget *parent = nullptr);
    void setListEmpty(bool empty);
    // Disabled, saying why in its tooltip, while `reason` is not empty.
    void setRefusal(const QString &reason);
    QString text() const;
    QLabel *label() const { return m_label; }

Q_SIGNALS:
    void clicked();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setColor(const QColor &color);

    QLabel *m_label;
};

} // namespace nookary
