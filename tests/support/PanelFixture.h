// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ModelFixture.h"
#include "ui/panel/HistoryColumn.h"
#include "ui/panel/PopoverView.h"
#include "ui/panel/SavedColumn.h"

#include <QtTest>

#include <memory>

namespace nookary::test {

// The panel's view over a model of its own, shown (offscreen) and active: `snippets` saved
// and `copies` copied, the last the newest, before it opens. What it asks of the shell is
// counted.
struct PanelFixture {
    ModelFixture f;
    QStringList copied;
    int preferences = 0;
    int pinToggles = 0;
    std::unique_ptr<PopoverView> view;

    explicit PanelFixture(
        const QStringList &snippets = {}, const QStringList &copies = {}, QSize size = { 640, 420 })
    {
        AppModel &m = f.start();
        for (const QString &s : snippets)
            m.addShelfFromDrop(s);
        f.copyAll(copies);
        view = std::make_unique<PopoverView>(m,
            PopoverView::Callbacks {
                [this](const QString &t) { copied << t; },
                [this] { ++preferences; },
                [this] { ++pinToggles; },
            });
        view->resize(size);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->activateWindow();
        QCoreApplication::processEvents();
    }
    AppModel &model() { return *f.model; }
    HistoryColumn *history() { return view->historyColumn(); }
    SavedColumn *saved() { return view->savedColumn(); }
};

} // namespace nookary::test
