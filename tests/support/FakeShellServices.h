// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/GlobalHotkeyService.h"
#include "platform/StatusItem.h"
#include "platform/Workspace.h"

#include <QList>
#include <QMenu>

namespace nookary::test {

// A desktop whose frontmost application the test sets, recording every activation.
class FakeWorkspace final : public Workspace {
public:
    std::optional<RunningApplication> frontmost;
    QList<RunningApplication> activated;
    // Other applications' windows on screen, topmost first.
    QList<QPair<QRect, RunningApplication>> windows;

    std::optional<RunningApplication> frontmostApplication() const override { return frontmost; }
    void activate(const RunningApplication &application) override { activated.append(application); }
    std::optional<RunningApplication> applicationAt(QPoint globalPosition) const override
    {
        for (const auto &[place, application] : windows) {
            if (place.contains(globalPosition))
                return application;
        }
        return std::nullopt;
    }
};

// A tray icon the test clicks and whose menu it opens.
class FakeStatusItem final : public StatusItem {
    Q_OBJECT

public:
    QRect place;
    bool available = true;
    bool hasIcon = false;

    void setIcon(const QIcon &) override { hasIcon = true; }
    bool isAvailable() const override { return available; }
    void setDimmed(bool dimmed) override { m_dimmed = dimmed; }
    bool isDimmed() const override { return m_dimmed; }
    QRect geometry() const override { return place; }
    void setMenuBuilder(std::function<void(QMenu &)> builder) override
    {
        m_builder = std::move(builder);
    }
    // Every notification shown: title, then text.
    QList<QStringList> messages;
    void showMessage(const QString &title, const QString &text) override
    {
        messages.append({ title, text });
    }

    // Where the program itself asked the menu to open.
    QList<QPoint> menusPoppedUp;
    void popUpMenu(const QPoint &at) override { menusPoppedUp << at; }

    void click() { Q_EMIT clicked(); }
    // The menu as a right click would build it now.
    std::unique_ptr<QMenu> openMenu()
    {
        auto menu = std::make_unique<QMenu>();
        if (m_builder)
            m_builder(*menu);
        return menu;
    }

private:
    bool m_dimmed = false;
    std::function<void(QMenu &)> m_builder;
};

// A desktop's global shortcuts, with combinations "held by another program" as the test
// says; records what is registered.
class FakeGlobalHotkeyService final : public GlobalHotkeyService {
    Q_OBJECT

public:
    bool available = true;
    // Like the desktop portal: every registration is answered later, by `bindLater` or
    // `refuseLater`.
    bool later = false;
    QList<HotkeyShortcut> taken;
    std::optional<HotkeyShortcut> registered;
    std::optional<HotkeyShortcut> awaiting;
    int registrations = 0;

    bool canRegister() const override { return available; }
    bool answersLater() const override { return later; }
    bool registerHotkey(HotkeyShortcut shortcut) override
    {
        ++registrations;
        if (!available || taken.contains(shortcut))
            return false;
        if (later)
            awaiting = shortcut;
        else
            registered = shortcut;
        return true;
    }
    void unregisterHotkey() override
    {
        registered.reset();
        awaiting.reset();
    }

    void press() { Q_EMIT pressed(); }
    void bindLater(const QString &trigger = {})
    {
        registered = std::exchange(awaiting, std::nullopt);
        Q_EMIT registrationBound(trigger);
    }
    void refuseLater()
    {
        awaiting.reset();
        Q_EMIT registrationRefused();
    }
};

} // namespace nookary::test
