// SPDX-License-Identifier: GPL-3.0-or-later
// Model costs that the user feels on every copy: a poll that sees no change, and recording
// an entry against a full history of long entries. Prints figures; asserts nothing.
#include "ModelFixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace nookary;
using namespace nookary::test;

namespace {

double medianMs(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    return ns[ns.size() / 2] / 1e6;
}

// 20000 characters that differ from each other only at the end: equal lengths make every
// comparison run the whole text, the worst case for finding a duplicate.
QString longEntry(int n)
{
    QString text(20000 - 8, u'a');
    return text + QStringLiteral("%1").arg(n, 8, 10, QLatin1Char('0'));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ModelFixture f;
    AppModel &model = f.start();
    model.settings().setHistoryLimit(100);

    QElapsedTimer timer;
    constexpr int polls = 1'000'000;
    timer.start();
    for (int i = 0; i < polls; ++i)
        model.clipboardHistory().poll();
    std::printf(
        "poll without change:              %8.1f ns\n", double(timer.nsecsElapsed()) / polls);

    for (int i = 0; i < 100; ++i)
        model.clipboardHistory().push(longEntry(i));
    std::vector<qint64> fresh, repeated;
    for (int i = 0; i < 200; ++i) {
        const QString text = longEntry(1000 + i);
        timer.start();
        model.clipboardHistory().push(text);
        fresh.push_back(timer.nsecsElapsed());
    }
    for (int i = 0; i < 200; ++i) {
        const QString text
            = model.clipboardHistory().items().last().text; // an existing entry, moved to the top
        timer.start();
        model.clipboardHistory().push(text);
        repeated.push_back(timer.nsecsElapsed());
    }
    std::printf("pushHistory, new, full history:   %8.3f ms (median of 200; 100 x 20000 chars)\n",
        medianMs(fresh));
    std::printf("pushHistory, repeat, full history:%8.3f ms (median of 200)\n", medianMs(repeated));

    // One keystroke's model work: the query changes, then the panel reads both lists a few
    // times and repairs the selection. 100 history entries of 20000 characters, 25 snippets.
    for (int i = 0; i < AppModel::shelfMax; ++i)
        model.addShelfFromDrop(QStringLiteral("snippet %1 ").arg(i) + QString(400, u'w'));
    const QStringList queries { QStringLiteral("a"), QStringLiteral("aa"), QStringLiteral("aaa0"),
        QStringLiteral("snippet 1"), QStringLiteral("zz"), QString() };
    std::vector<qint64> keystrokes;
    for (int round = 0; round < 50; ++round) {
        for (const QString &query : queries) {
            timer.start();
            model.panelState().setQuery(query);
            for (int reads = 0; reads < 3; ++reads) {
                volatile auto shelfCount = model.panelState().filteredShelf().size();
                volatile auto historyCount = model.panelState().filteredHistory().size();
                (void)shelfCount;
                (void)historyCount;
            }
            model.panelState().ensureSelectionValid();
            keystrokes.push_back(timer.nsecsElapsed());
        }
    }
    std::printf("keystroke (query + reads + repair):%7.3f ms (median of %zu; worst %.3f ms)\n",
        medianMs(keystrokes), keystrokes.size(),
        *std::max_element(keystrokes.begin(), keystrokes.end()) / 1e6);

    const QString huge = QString(50'000'000, u'x');
    timer.start();
    f.pasteboard.copyText(huge);
    model.clipboardHistory().poll();
    std::printf("record a 50 MB text:              %8.1f ms (model only, text already in memory)\n",
        timer.nsecsElapsed() / 1e6);

    // The worst a history of whole texts holds: 100 copies at the reader's cap, made of
    // combining marks, which pack megabytes into few characters.
    std::vector<qint64> marks;
    for (int i = 0; i < 100; ++i) {
        const QString text = QString::number(i) + QString(2 * 1024 * 1024, QChar(0x0301));
        timer.start();
        f.pasteboard.copyText(text);
        marks.push_back(timer.nsecsElapsed());
    }
    qsizetype bytes = 0;
    for (const HistoryItem &item : model.clipboardHistory().items())
        bytes += item.memoryBytes();
    std::vector<qint64> filters;
    for (const QString &query :
        { QStringLiteral("5"), QStringLiteral("\u0301\u0301"), QString() }) {
        timer.start();
        model.panelState().setQuery(query);
        volatile auto count = model.panelState().filteredHistory().size();
        (void)count;
        filters.push_back(timer.nsecsElapsed());
    }
    std::printf("record 4 MiB of combining marks:  %8.1f ms (median of 100; history then holds "
                "%.1f MiB of text)\n",
        medianMs(marks), bytes / 1048576.0);
    std::printf("filter that history:              %8.1f ms (worst of 3 queries)\n",
        *std::max_element(filters.begin(), filters.end()) / 1e6);
    return 0;
}
