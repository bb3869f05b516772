// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/panel/PanelKeyMap.h"

#include <QObject>

#include <memory>

class QKeyEvent;
class QWidget;

namespace nookary {

class AppModel;
class ApplicationEventMonitor;
class KeyTranslator;
class PanelPresenter;

// Every key and mouse press of the application passes here first: keys for the open panel
// go to its key map, and a press in the panel outside the snippet editor ends the edit.
// Keys meant for our menus and dialogs are left to them.
class PanelInputRouter final : public QObject {
    Q_OBJECT

public:
    // Everything given must outlive the router.
    PanelInputRouter(AppModel &model, PanelPresenter &presenter, const KeyTranslator &keys,
        QObject *parent = nullptr);
    ~PanelInputRouter() override;

private:
    bool handleKey(QWidget *window, QKeyEvent &event);
    void handleMousePress(QWidget *target);

    AppModel &m_model;
    PanelPresenter &m_presenter;
    const KeyTranslator &m_keys;
    std::unique_ptr<PanelKeyMap> m_keyMap;
    std::unique_ptr<ApplicationEventMonitor> m_monitor;
};

} // namespace nookary
