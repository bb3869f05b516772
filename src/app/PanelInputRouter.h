// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/panel/PanelKeyMap.h"

#include <QObject>

#include <functional>
#include <memory>

class QKeyEvent;
class QWidget;

namespace nookary {

class AppModel;
class ApplicationEventMonitor;
class KeyTranslator;
class PanelPresenter;
class PopoverView;

// Every key and mouse press of the application passes here first: keys for the open panel
// go to its key map, and a press in the panel outside the snippet editor ends the edit.
// Keys meant for our menus and dialogs are left to them.
class PanelInputRouter final : public QObject, public PanelKeyMapHost {
    Q_OBJECT

public:
    struct Actions {
        std::function<void(const QString &)> copy; // marked as our own write
        std::function<void()> openPreferences;
    };

    // Everything given must outlive the router.
    PanelInputRouter(AppModel &model, PanelPresenter &presenter, const KeyTranslator &keys,
        Actions actions, QObject *parent = nullptr);
    ~PanelInputRouter() override;

    // PanelKeyMapHost
    bool isPanelShown() const override;
    void openPreferences() override;
    void closeUI() override;
    void copyToClipboard(const QString &text) override;
    void endEditingOnNextTurn() override;
    void refuse(const QString &why) override;
    void openContextMenu() override;

private:
    bool handleKey(QWidget *window, QKeyEvent &event);
    // The panel's view in the presentation shown, if any.
    PopoverView *shownView() const;
    void handleMousePress(QWidget *target);

    AppModel &m_model;
    PanelPresenter &m_presenter;
    const KeyTranslator &m_keys;
    Actions m_actions;
    std::unique_ptr<PanelKeyMap> m_keyMap;
    std::unique_ptr<ApplicationEventMonitor> m_monitor;
};

} // namespace nookary
