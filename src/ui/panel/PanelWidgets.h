// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QLabel>
#include <QString>
#include <QWidget>

#include <optional>

// Small widgets the panel is built from: a symbol button, a one-line eliding label, the
// column header, the empty-state line and the invisible window handles.
namespace nookary {

// A borderless button showing a symbol and an optional text (or only a text, for an empty
// symbol): secondary colour, primary while hovered, accent while `accented`. It takes no
// focus unless given a focus policy; with focus it shows a ring, and Return, Enter and
// Space press it.
class SymbolButton final : public QAbstractButton {
    Q_OBJECT

public:
    SymbolButton(
        const QString &symbol, int symbolSize, const QString &text = {}, QWidget *parent = nullptr);
    void setSymbol(const QString &symbol);
    void setAccented(bool accented);
    bool isHovered() const { return m_hovered; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString m_symbol;
    int m_symbolSize;
    bool m_hovered = false;
    bool m_accented = false;
};

// One line of text cut at the end with an ellipsis. Only the first line of the text and
// its first few hundred characters are laid out, however long the text is.
class ElidedLabel final : public QWidget {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);
    void setText(const QString &text);
    QString text() const { return m_text; }
    // The part of the text that is laid out: its first line, at most a few hundred characters.
    QString shownText() const { return m_shown; }
    void setColor(const QColor &color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QString m_shown;
    QColor m_color;
};

// A short note at a row's trailing end, in the secondary colour: a long entry's size, "cut",
// "+2 more". Hidden while empty.
class RowNote final : public QLabel {
    Q_OBJECT

public:
    explicit RowNote(QWidget *parent = nullptr);
    void setNote(const QString &note);
};

// A column's title and subtitle.
class HeaderBlock final : public QWidget {
    Q_OBJECT

public:
    HeaderBlock(const QString &title, const QString &subtitle, QWidget *parent = nullptr);
    void setSubtitle(const QString &subtitle);
    QString subtitle() const { return m_subtitle->text(); }

private:
    QLabel *m_subtitle;
};

// "No results" and the like.
class EmptyState final : public QLabel {
    Q_OBJECT

public:
    explicit EmptyState(QWidget *parent = nullptr);
};

// Invisible areas that move or resize a borderless panel window; in any other window
// (the popover) a press does nothing.
class WindowDragHandle final : public QWidget {
    Q_OBJECT

public:
    explicit WindowDragHandle(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Set while moving by hand (no window manager to move it): the pointer's offset from
    // the window's corner at the press.
    std::optional<QPoint> m_pressOffset;
    // Set from a press that handed the move to the window manager until its release.
    bool m_systemMove = false;
};

class WindowResizeHandle final : public QWidget {
    Q_OBJECT

public:
    explicit WindowResizeHandle(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QPoint m_startPointer;
    QRect m_startFrame;
};

} // namespace nookary
