// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSize>

#include <memory>

class QWidget;

namespace nookary {

class AppModel;
class KeyTranslator;
class PreferencesView;

// The "Preferences" window around PreferencesView. It is an ordinary window that the task
// bar and Alt+Tab show, created once by the shell and kept: closing it only hides it.
class PreferencesWindowController final : public QObject {
    Q_OBJECT

public:
    // Taller by the rows "Paste after choosing" and "Saved snippets".
    static constexpr QSize preferredContentSize { 470, 385 };
    static constexpr QSize minimumContentSize { 460, 370 };
    static constexpr QSize maximumContentSize { 560, 460 };
    static inline const QString title = QStringLiteral("Preferences");

    // `keys` must outlive the window; `canRegisterShortcut` as for PreferencesView.
    PreferencesWindowController(AppModel &model, const KeyTranslator &keys,
        bool canRegisterShortcut = true, QObject *parent = nullptr);
    ~PreferencesWindowController() override;

    QWidget *window() const { return m_window.get(); }
    PreferencesView *view() const { return m_view; }
    bool isVisible() const;

    // Called each time before the window is shown: puts it back to its size. The user cannot
    // resize it: under X11 only equal minimum and maximum sizes keep a window manager from
    // offering a resize, so both are the preferred size.
    void prepareForDisplay();
    // Shows the window centred the first time, raises it and gives it the keyboard.
    void showWindow();

private:
    std::unique_ptr<QWidget> m_window;
    PreferencesView *m_view = nullptr;
    bool m_placed = false;
};

} // namespace nookary
