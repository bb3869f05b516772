// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrayController.h"

#include "model/AppModel.h"
#include "platform/StatusItem.h"
#include "platform/WindowSystem.h"
#include "ui/TrayIcon.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

namespace nookary {

TrayController::TrayController(AppModel &model, StatusItem *item, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_item(item)
{
    if (!m_item)
        return;
    connect(m_item, &StatusItem::clicked, this, &TrayController::clicked);
    m_item->setMenuBuilder([this](QMenu &menu) { buildStatusMenu(menu); });
    m_item->setDimmed(m_model.isTrackingPaused());
    m_item->setIcon(TrayIcon::make());
}

void TrayController::buildStatusMenu(QMenu &menu)
{
    // Some StatusNotifierItem hosts show only this menu and never pass a click on: the
    // panel must open from here too.
    menu.addAction(tr("Open Nookary"), this, &TrayController::openRequested);
    menu.addSeparator();
    menu.addAction(m_model.isTrackingPaused() ? QStringLiteral("Resume Nookary")
                                              : QStringLiteral("Pause Nookary"),
        this, &TrayController::togglePauseNookary);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Show Onboarding"), this, &TrayController::onboardingRequested);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Preferences\u2026"), QKeySequence(QStringLiteral("Ctrl+,")),
        this, &TrayController::preferencesRequested);
    menu.addAction(QStringLiteral("About"), this, &TrayController::aboutRequested);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Quit"), QKeySequence(QStringLiteral("Ctrl+Q")), this,
        &TrayController::quitRequested);
}

void TrayController::showNotice(const QString &title, const QString &message)
{
    if (m_item)
        m_item->showMessage(title, message);
}

void TrayController::togglePauseNookary()
{
    m_model.setIsTrackingPaused(!m_model.isTrackingPaused());
    if (m_item)
        m_item->setDimmed(m_model.isTrackingPaused());
}

void TrayController::tellShortcutUnavailable(HotkeyShortcut shortcut)
{
    if (!m_item)
        return;
    // The default was never the user's own choice: keeping it is no news, choosing is.
    const QString text = shortcut == HotkeyShortcut::defaultShortcut()
        ? tr("%1 is in use by another program, so it does not open Nookary. Choose another "
             "shortcut under Preferences in Nookary's tray menu.")
        : tr("%1 is in use by another program, so it does not open Nookary now. It stays your "
             "shortcut and is tried again at the next start; Preferences can change it.");
    m_item->showMessage(tr("Shortcut is unavailable"), text.arg(shortcut.displayText()));
}

void TrayController::openAbout()
{
    auto *box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("About Nookary"),
        QStringLiteral("<b>Nookary</b> %1").arg(QCoreApplication::applicationVersion()),
        QMessageBox::Ok);
    box->setInformativeText(QStringLiteral("Your clipboard history and saved snippets, at hand."));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Wide enough for the window manager to show its title whole.
    box->setStyleSheet(QStringLiteral("QLabel { min-width: 260px; }"));
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    WindowSystem::keepOutOfTaskbarWhenShown(*box);
    box->show();
    box->raise();
    box->activateWindow();
}

} // namespace nookary
