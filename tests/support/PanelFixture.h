// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FakePanelActions.h"
#include "ModelFixture.h"
#include "ui/panel/HistoryColumn.h"
#include "ui/panel/PanelView.h"
#include "ui/panel/ShelfColumn.h"

#include <QtTest>

#include <memory>

namespace nookary::test {

// The panel's view over a model of its own, shown (offscreen) and active: `snippets` saved
// and `copies` copied, the last the newest, before it opens. What it asks of the shell is
// recorded in `actions`.
struct PanelFixture {
    ModelFixture f;
    FakePanelActions actions;
    QStringList &copied = actions.chosen;
    std::unique_ptr<PanelView> view;

    explicit PanelFixture(
        const QStringList &snippets = {}, const QStringList &copies = {}, QSize size = { 640, 420 })
    {
        AppModel &m = f.start();
        for (const QString &s : snippets)
            m.addShelfFromDrop(s);
        f.copyAll(copies);
        view = std::make_unique<PanelView>(m, actions, f.clock);
        view->resize(size);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->activateWindow();
        QCoreApplication::processEvents();
    }
    AppModel &model() { return *f.model; }
    HistoryColumn *history() { return view->historyColumn(); }
    ShelfColumn *saved() { return view->shelfColumn(); }
};

} // namespace nookary::test
