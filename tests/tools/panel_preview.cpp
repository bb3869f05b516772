// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the panel with real-looking content, as the program will, for looking at it and
// for screenshots: nookary_panel_preview [--popover] [--edit] [--hover-saved] [--grab FILE]
#include "FakePanelActions.h"
#include "MemoryPasteboard.h"
#include "model/AppModel.h"
#include "platform/Clock.h"
#include "platform/qt/SettingsPreferencesStore.h"
#include "ui/NookaryPanel.h"
#include "ui/PanelCard.h"
#include "ui/panel/PanelView.h"
#include "ui/panel/ShelfColumn.h"
#include "ui/panel/ShelfRow.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QVBoxLayout>

using namespace nookary;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTemporaryDir dir;
    SettingsPreferencesStore store(dir.filePath(QStringLiteral("Nookary.conf")));
    test::MemoryPasteboard pasteboard;
    AppModel model(store, pasteboard);
    test::FakePanelActions actions;
    if (args.contains(QStringLiteral("--popover")))
        model.settings().setOpenPresentation(AppModel::OpenPresentation::menubarPopover);

    for (const char *copy :
        { "ssh deploy@build-03.internal", "file:///home/ada/Documents/Quarterly%20report.pdf",
            "SELECT id, name FROM customers WHERE created_at > now() - interval '7 days';",
            "Thanks for the quick turnaround! I'll review it this afternoon.",
            "https://example.org/tickets/4821", "#4821", "Ada Lovelace",
            "git rebase -i origin/main" }) {
        pasteboard.copyText(QString::fromUtf8(copy));
        model.clipboardHistory().poll();
    }
    for (const char *snippet : { "Kind regards,\nAda", "ada@example.org", "+44 20 7946 0958",
             "kubectl get pods -n staging", "Meeting notes template" })
        model.addShelfFromDrop(QString::fromUtf8(snippet));
    model.applyDefaultOpenTarget();

    NookaryPanel panel;
    auto *view = new PanelView(model, actions, SystemClock::shared());
    auto *chrome = new PanelCard(view, &panel);
    auto *layout = new QVBoxLayout(&panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chrome);
    panel.resize(640, 420);
    panel.show();

    if (args.contains(QStringLiteral("--edit")))
        model.savedSnippets().startEditing(model.savedSnippets().items().at(1).id);
    if (args.contains(QStringLiteral("--hover-saved"))) {
        QTimer::singleShot(200, view, [view] {
            if (ShelfRow *row = view->shelfColumn()->visibleRows().value(0)) {
                QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
                QCoreApplication::sendEvent(row, &enter);
            }
        });
    }
    const qsizetype grabAt = args.indexOf(QStringLiteral("--grab"));
    if (grabAt > 0 && grabAt + 1 < args.size()) {
        const QString file = args.at(grabAt + 1);
        QTimer::singleShot(600, &app, [&panel, file] {
            panel.grab().save(file);
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
