// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/InstanceChannel.h"

#include <QByteArray>

#include <functional>

namespace nookary {

class AppModel;
class PanelPresenter;

// Answers what other command lines ask of the running instance: the lists as JSON lines,
// or opening and closing the panel.
class InstanceRequestHandler final {
public:
    // `reopen` is the program's handling of a second start.
    InstanceRequestHandler(
        const AppModel &model, PanelPresenter &presenter, std::function<void()> reopen);

    QByteArray handle(InstanceChannel::Request request);

private:
    const AppModel &m_model;
    PanelPresenter &m_presenter;
    std::function<void()> m_reopen;
};

} // namespace nookary
