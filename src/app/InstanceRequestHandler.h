// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/InstanceChannel.h"

#include <QByteArray>

#include <functional>

namespace nookary {

class AppModel;
class PanelPresenter;

// Answers what other command lines ask of the running instance: the lists as JSON lines,
// opening and closing the panel, or an import of snippets (answered with its counts).
class InstanceRequestHandler final {
public:
    // `reopen` is the program's handling of a second start.
    InstanceRequestHandler(
        AppModel &model, PanelPresenter &presenter, std::function<void()> reopen);

    // `argument`: an import's texts, a compact JSON array of strings.
    QByteArray handle(InstanceChannel::Request request, const QByteArray &argument = {});

private:
    AppModel &m_model;
    PanelPresenter &m_presenter;
    std::function<void()> m_reopen;
};

} // namespace nookary
