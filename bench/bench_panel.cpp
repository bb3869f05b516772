// SPDX-License-Identifier: GPL-3.0-or-later
// The panel on screen: opening a fresh panel view, one keystroke in the search field until
// the window is repainted, and one step of reordering the snippets by dragging, with 100
// history entries of 20000 characters and 25 snippets. Prints figures; asserts nothing.
// Run on a real X display (bench/run uses Xvfb).
#include "FakePanelActions.h"
#include "MemoryPasteboard.h"
#include "model/AppModel.h"
#include "platform/Clock.h"
#include "platform/qt/SettingsPreferencesStore.h"
#include "ui/NookaryPanel.h"
#include "ui/PanelCard.h"
#include "ui/panel/DragPayload.h"
#include "ui/panel/PanelView.h"
#include "ui/panel/ShelfColumn.h"
#include "ui/panel/ShelfRow.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace nookary;

namespace {

double medianMs(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    return ns[ns.size() / 2] / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SettingsPreferencesStore store(dir.filePath(QStringLiteral("Nookary.conf")));
    test::MemoryPasteboard pasteboard;
    AppModel model(store, pasteboard);
    test::FakePanelActions actions;
    model.settings().setHistoryLimit(100);
    for (int i = 0; i < 100; ++i) {
        pasteboard.copyText(
            QStringLiteral("entry %1 ").arg(i) + QString(20000 - 12, QChar(u'a' + i % 26)));
        model.clipboardHistory().poll();
    }
    for (int i = 0; i < AppModel::shelfMax; ++i)
        model.addShelfFromDrop(QStringLiteral("snippet %1 ").arg(i) + QString(300, u'w'));

    std::vector<qint64> opens;
    QElapsedTimer timer;
    for (int round = 0; round < 15; ++round) {
        timer.start();
        auto *panel = new NookaryPanel;
        auto *layout = new QVBoxLayout(panel);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new PanelCard(new PanelView(model, actions, SystemClock::shared())));
        panel->resize(640, 420);
        panel->show();
        panel->repaint();
        opens.push_back(timer.nsecsElapsed());
        (void)QTest::qWaitForWindowExposed(panel);
        delete panel;
    }
    std::printf("open a fresh panel view (build, lay out, paint): %6.2f ms (median of %zu)\n",
        medianMs(opens), opens.size());

    NookaryPanel panel;
    auto *layout = new QVBoxLayout(&panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *view = new PanelView(model, actions, SystemClock::shared());
    layout->addWidget(new PanelCard(view));
    panel.resize(640, 420);
    panel.show();
    (void)QTest::qWaitForWindowExposed(&panel);
    QTest::qWait(100);

    std::vector<qint64> keys;
    const QString typed = QStringLiteral("entry 4");
    for (int round = 0; round < 10; ++round) {
        for (const QChar c : typed) {
            timer.start();
            QTest::keyClick(view->searchField(), c.toLatin1());
            panel.repaint();
            keys.push_back(timer.nsecsElapsed());
        }
        for (qsizetype i = 0; i < typed.size(); ++i) {
            timer.start();
            QTest::keyClick(view->searchField(), Qt::Key_Backspace);
            panel.repaint();
            keys.push_back(timer.nsecsElapsed());
        }
    }
    std::printf("keystroke to repainted window:                   %6.2f ms (median of %zu; worst "
                "%.2f ms)\n",
        medianMs(keys), keys.size(), *std::max_element(keys.begin(), keys.end()) / 1e6);

    // One step of a live reorder: a snippet dragged by its handle enters another row, the
    // list moves (and is written), the window is repainted.
    view->searchField()->clear();
    model.panelState().setQuery(QString());
    QCoreApplication::processEvents();
    const QUuid dragged = model.savedSnippets().items().at(2).id;
    const auto payload = DragPayload::forShelfHandle(dragged);
    model.setDraggedShelfID(dragged);
    std::vector<qint64> steps;
    for (int round = 0; round < 40; ++round) {
        // Back and forth between the first rows, so that every step moves the list.
        const QUuid over = model.savedSnippets().items().at(round % 2 == 0 ? 0 : 3).id;
        ShelfRow *row = view->shelfColumn()->row(over);
        QDragEnterEvent enter(QPoint(4, 4), Qt::MoveAction, payload.get(), Qt::LeftButton, {});
        timer.start();
        QCoreApplication::sendEvent(row, &enter);
        panel.repaint();
        steps.push_back(timer.nsecsElapsed());
    }
    model.setDraggedShelfID({});
    std::printf("live reorder step, 25 snippets, to repainted window: %6.2f ms (median of %zu; "
                "worst %.2f ms; target 8)\n",
        medianMs(steps), steps.size(), *std::max_element(steps.begin(), steps.end()) / 1e6);
    // The part of it that is the settings store writing the list (each write reaches the disk).
    std::vector<qint64> writes;
    const QByteArray stored = store.data(QStringLiteral("Nookary.shelf.v1")).value_or(QByteArray());
    for (int round = 0; round < 20; ++round) {
        QByteArray changed = stored;
        changed[changed.size() / 2] = char('a' + round % 2);
        timer.start();
        store.setData(QStringLiteral("Nookary.bench.v1"), changed);
        writes.push_back(timer.nsecsElapsed());
    }
    std::printf("  of which the store writing the list:              %6.2f ms (median of %zu)\n",
        medianMs(writes), writes.size());
    return 0;
}
