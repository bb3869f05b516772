// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrayController.h"

#include "core/TextDirection.h"
#include "model/ClipboardHistory.h"
#include "platform/StatusItem.h"
#include "platform/WindowSystem.h"
#include "ui/Alert.h"
#include "ui/TrayIcon.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

namespace nookary {

TrayController::TrayController(ClipboardHistory &history, StatusItem *item, QObject *parent)
    : QObject(parent)
    , m_history(history)
    , m_item(item)
{
    if (!m_item)
        return;
    connect(m_item, &StatusItem::clicked, this, &TrayController::clicked);
    m_item->setMenuBuilder([this](QMenu &menu) { buildStatusMenu(menu); });
    m_item->setDimmed(m_history.isPaused());
    m_item->setIcon(TrayIcon::make());
}

void TrayController::buildStatusMenu(QMenu &menu)
{
    // Some StatusNotifierItem hosts show only this menu and never pass a click on: the
    // panel must open from here too.
    menu.addAction(tr("Open Nookary"), this, &TrayController::openRequested);
    menu.addSeparator();
    menu.addAction(m_history.isPaused() ? tr("Resume Nookary") : tr("Pause Nookary"), this,
        &TrayController::togglePauseNookary);
    menu.addSeparator();
    menu.addAction(tr("Show Onboarding"), this, &TrayController::onboardingRequested);
    menu.addSeparator();
    menu.addAction(tr("Preferences\u2026"), QKeySequence(QStringLiteral("Ctrl+,")), this,
        &TrayController::preferencesRequested);
    menu.addAction(tr("About"), this, &TrayController::aboutRequested);
    menu.addSeparator();
    menu.addAction(
        tr("Quit"), QKeySequence(QStringLiteral("Ctrl+Q")), this, &TrayController::quitRequested);
}

void TrayController::showNotice(const QString &title, const QString &message)
{
    if (m_item)
        m_item->showMessage(title, message);
}

void TrayController::togglePauseNookary()
{
    m_history.setPaused(!m_history.isPaused());
    if (m_item)
        m_item->setDimmed(m_history.isPaused());
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
    // A name and a version, the same in every language: in a mirrored box, at the leading
    // edge like the texts under it.
    QString heading
        = QStringLiteral("<b>Nookary</b> %1").arg(QCoreApplication::applicationVersion());
    if (QGuiApplication::isRightToLeft())
        heading = TextDirection::leftToRightInMirrored(heading);
    auto *box = Alert::make(QMessageBox::NoIcon, tr("About Nookary"), heading,
        tr("Your clipboard history and saved snippets, at hand."))
                    .release();
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    WindowSystem::keepOutOfTaskbarWhenShown(*box);
    box->show();
    box->raise();
    box->activateWindow();
}

} // namespace nookary
