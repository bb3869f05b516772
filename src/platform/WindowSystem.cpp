// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WindowSystem.h"

#include <QEvent>
#include <QWidget>

namespace nookary {

namespace {

std::unique_ptr<WindowSystem> &installed()
{
    static std::unique_ptr<WindowSystem> system = std::make_unique<WindowSystem>();
    return system;
}

// Qt sends Show before it maps the window, when the desktop still reads its states.
class TaskbarExclusion final : public QObject {
public:
    explicit TaskbarExclusion(QWidget &window)
        : QObject(&window)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched == parent())
            WindowSystem::keepOutOfTaskbar(static_cast<QWidget &>(*watched));
        return false;
    }
};

} // namespace

void WindowSystem::install(std::unique_ptr<WindowSystem> system)
{
    installed() = system ? std::move(system) : std::make_unique<WindowSystem>();
}

void WindowSystem::keepOutOfTaskbar(QWidget &window)
{
    installed()->excludeFromTaskbar(window);
}

void WindowSystem::keepOutOfTaskbarWhenShown(QWidget &window)
{
    new TaskbarExclusion(window);
}

void WindowSystem::endSystemMove(QWidget &window)
{
    installed()->cancelSystemMove(window);
}

} // namespace nookary
