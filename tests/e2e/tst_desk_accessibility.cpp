// SPDX-License-Identifier: GPL-3.0-or-later
// Nookary as a screen reader sees it on a real X desktop: the accessible tree of the panel
// and of the settings window, read over AT-SPI as Orca reads it (pyatspi), and the events
// Orca follows when the arrows move the selection while typing stays in the search field.
#include "TestDesk.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <functional>

using namespace nookary::test;

namespace {

const QString kNookary = QStringLiteral(NOOKARY_BINARY);
const QString kProbe = QStringLiteral(ATSPI_PROBE_SCRIPT);
// Debian's Python, which has pyatspi, whatever python3 comes first on the PATH.
const QString kPython = QStringLiteral("/usr/bin/python3");

using Node = QJsonObject;

bool isA(const Node &node, const QString &role, const QString &name)
{
    return node.value(QStringLiteral("role")).toString() == role
        && node.value(QStringLiteral("name")).toString() == name;
}

bool has(const Node &node, const QString &state)
{
    return node.value(QStringLiteral("states")).toArray().contains(state);
}

QString describe(const QList<Node> &nodes)
{
    QStringList lines;
    for (const Node &node : nodes)
        lines << QString::fromUtf8(QJsonDocument(node).toJson(QJsonDocument::Compact));
    return lines.join(u'\n');
}

} // namespace

class TestDeskAccessibility : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDesk> m_desk;
    QProcess *m_nookary = nullptr;

    QString panel() { return m_desk->panelWindow(); }
    void press(const QString &keys)
    {
        m_desk->xdotool(
            { QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("80"), keys });
    }

    // Every object of Nookary's windows, depth first.
    QList<Node> tree()
    {
        const TestDesk::Result result
            = m_desk->run(kPython, { kProbe, QStringLiteral("tree"), QStringLiteral("Nookary") });
        QList<Node> nodes;
        for (const QByteArray &line : result.out.split('\n')) {
            if (!line.isEmpty())
                nodes << QJsonDocument::fromJson(line).object();
        }
        return nodes;
    }
    // The first object of the tree that satisfies `test`, waiting for it to appear.
    Node findInTree(const std::function<bool(const Node &)> &test, QList<Node> *seen = nullptr)
    {
        QList<Node> nodes;
        QDeadlineTimer deadline(10000);
        do {
            nodes = tree();
            for (const Node &node : std::as_const(nodes)) {
                if (test(node)) {
                    if (seen)
                        *seen = nodes;
                    return node;
                }
            }
            QTest::qWait(200);
        } while (!deadline.hasExpired());
        if (seen)
            *seen = nodes;
        return {};
    }

    // A listener for the events a screen reader follows; ready when it says so.
    QProcess *listen()
    {
        QProcess *watch
            = m_desk->spawn(kPython, { kProbe, QStringLiteral("watch"), QStringLiteral("60") });
        const Node ready = nextEvent(watch, [](const Node &n) { return n.contains("ready"); });
        return ready.isEmpty() ? nullptr : watch;
    }
    Node nextEvent(QProcess *watch, const std::function<bool(const Node &)> &test,
        QStringList *heard = nullptr)
    {
        QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired()) {
            if (!watch->canReadLine()) {
                watch->waitForReadyRead(100);
                continue;
            }
            const Node node = QJsonDocument::fromJson(watch->readLine()).object();
            if (heard)
                *heard << QString::fromUtf8(QJsonDocument(node).toJson(QJsonDocument::Compact));
            if (test(node))
                return node;
        }
        return {};
    }
    static std::function<bool(const Node &)> focusOn(const QString &role, const QString &name)
    {
        return [role, name](const Node &n) {
            return n.value(QStringLiteral("event")).toString() == QLatin1String("focus:")
                && isA(n, role, name);
        };
    }

    void startNookary(const QByteArray &settings)
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
        m_nookary = m_desk->startNookary({ .settings = settings });
        QVERIFY2(m_nookary, qPrintable(m_desk->errorString()));
    }
    // Waits for an event that `test` accepts; fails with the last ones heard.
    void hear(QProcess *watch, const std::function<bool(const Node &)> &test, const char *what)
    {
        QStringList heard;
        QVERIFY2(!nextEvent(watch, test, &heard).isEmpty(),
            qPrintable(QStringLiteral("no %1 among\n").arg(QLatin1String(what))
                + heard.mid(heard.size() - 8).join(u'\n')));
    }

private Q_SLOTS:
    void initTestCase()
    {
        TestDesk::Options options;
        options.accessibility = true;
        m_desk = std::make_unique<TestDesk>(options);
        QVERIFY2(m_desk->start(), qPrintable(m_desk->errorString()));
        const TestDesk::Result probe
            = m_desk->run(kPython, { QStringLiteral("-c"), QStringLiteral("import pyatspi") });
        QVERIFY2(probe.exitCode == 0, "python3-pyatspi is missing: scripts/setup installs it");

        startNookary({});
        for (const QByteArray &text : { QByteArray("first entry"), QByteArray("second entry") }) {
            m_desk->run(QStringLiteral("xclip"),
                { QStringLiteral("-selection"), QStringLiteral("clipboard") }, text);
            QTRY_VERIFY_WITH_TIMEOUT(m_desk->output(kNookary, { QStringLiteral("--history") })
                                         .contains(QString::fromUtf8(text)),
                10000);
        }
        QCOMPARE(m_desk->nookary({ QStringLiteral("--show") }).exitCode, 0);
        QTRY_VERIFY_WITH_TIMEOUT(!panel().isEmpty(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(m_desk->activeWindow(), panel(), 5000);
    }

    void cleanupTestCase()
    {
        if (m_nookary)
            TestDesk::stop(m_nookary);
        m_desk.reset();
    }

    void thePanelIsATreeOfNamedControls()
    {
        QList<Node> nodes;
        const Node search = findInTree(
            [](const Node &n) { return isA(n, QStringLiteral("text"), QStringLiteral("Search")); },
            &nodes);
        QVERIFY2(has(search, QStringLiteral("focused")), qPrintable(describe(nodes)));
        auto find = [&nodes](const QString &role, const QString &name) {
            for (const Node &node : std::as_const(nodes)) {
                if (isA(node, role, name))
                    return node;
            }
            return Node();
        };
        const QString tree = describe(nodes);
        QVERIFY2(
            !find(QStringLiteral("list"), QStringLiteral("History")).isEmpty(), qPrintable(tree));
        QVERIFY2(
            !find(QStringLiteral("list"), QStringLiteral("Saved")).isEmpty(), qPrintable(tree));
        const Node newest = find(QStringLiteral("list item"), QStringLiteral("second entry"));
        QVERIFY2(has(newest, QStringLiteral("selected")), qPrintable(tree));
        QVERIFY(!find(QStringLiteral("list item"), QStringLiteral("first entry")).isEmpty());
        for (const auto &[role, name] : { std::pair { "push button", "Clear history" },
                 std::pair { "push button", "Preferences" }, std::pair { "check box", "Pin" },
                 std::pair { "push button", "Drag from History or add a snippet\u2026" } }) {
            QVERIFY2(!find(QString::fromLatin1(role), QString::fromUtf8(name)).isEmpty(),
                qPrintable(QStringLiteral("no %1 \"%2\" in\n%3")
                               .arg(QLatin1String(role), QString::fromUtf8(name), tree)));
        }
        // A row is named by its text; it has no unnamed child standing for that text.
        for (qsizetype i = 0; i + 1 < nodes.size(); ++i) {
            if (nodes[i].value(QStringLiteral("role")).toString() == QLatin1String("list item")
                && nodes[i]
                       .value(QStringLiteral("name"))
                       .toString()
                       .startsWith(QStringLiteral("first"))) {
                QVERIFY(nodes[i + 1].value(QStringLiteral("depth")).toInt()
                    <= nodes[i].value(QStringLiteral("depth")).toInt());
            }
        }
    }

    void theArrowsAreHeardAsTheFocusMoves()
    {
        QTRY_COMPARE_WITH_TIMEOUT(m_desk->activeWindow(), panel(), 5000);
        QProcess *watch = listen();
        QVERIFY2(watch, "the listener did not start");
        QStringList heard;
        press(QStringLiteral("Down"));
        QVERIFY2(!nextEvent(watch,
                     focusOn(QStringLiteral("list item"), QStringLiteral("first entry")), &heard)
                      .isEmpty(),
            qPrintable(heard.mid(heard.size() - 6).join(u'\n')));
        // Saved with Ctrl+S, then reached with Right: the snippet says its place and its key.
        press(QStringLiteral("ctrl+s"));
        press(QStringLiteral("Right"));
        QVERIFY2(!nextEvent(watch,
                     focusOn(QStringLiteral("list item"),
                         QStringLiteral("Saved 1 of 1: first entry, Ctrl+1")),
                     &heard)
                      .isEmpty(),
            qPrintable(heard.mid(heard.size() - 6).join(u'\n')));
        // Deleted, it is said so; Ctrl+Z puts it back, and the keys stand on it again.
        press(QStringLiteral("Delete"));
        QVERIFY2(!nextEvent(
                     watch,
                     [](const Node &n) {
                         return n.value(QStringLiteral("role")).toString()
                             == QLatin1String("notification")
                             && has(n, QStringLiteral("showing"));
                     },
                     &heard)
                      .isEmpty(),
            qPrintable(heard.mid(heard.size() - 6).join(u'\n')));
        press(QStringLiteral("ctrl+z"));
        QVERIFY2(!nextEvent(watch,
                     focusOn(QStringLiteral("list item"),
                         QStringLiteral("Saved 1 of 1: first entry, Ctrl+1")),
                     &heard)
                      .isEmpty(),
            qPrintable(heard.mid(heard.size() - 6).join(u'\n')));
        // Edited with F2 and saved with Return, the keys come back to the row edited.
        press(QStringLiteral("F2"));
        hear(watch, focusOn(QStringLiteral("text"), QStringLiteral("Snippet text")), "editor");
        press(QStringLiteral("End"));
        m_desk->xdotool({ QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"),
            QStringLiteral(" again") });
        press(QStringLiteral("Return"));
        hear(watch,
            focusOn(QStringLiteral("list item"),
                QStringLiteral("Saved 1 of 1: first entry again, Ctrl+1")),
            "the edited row");
        TestDesk::stop(watch);
    }

    void theReaderIsWhereTheKeysAre()
    {
        QTRY_COMPARE_WITH_TIMEOUT(m_desk->activeWindow(), panel(), 5000);
        QProcess *watch = listen();
        QVERIFY2(watch, "the listener did not start");
        // On a button reached by Tab, no row stands for the focus any more.
        press(QStringLiteral("Tab"));
        hear(
            watch,
            [](const Node &n) {
                return n.value(QStringLiteral("event")).toString() == QLatin1String("focus:")
                    && n.value(QStringLiteral("role")).toString() == QLatin1String("push button");
            },
            "button");
        QList<Node> nodes;
        const Node focusedRow = findInTree(
            [](const Node &n) {
                return n.value(QStringLiteral("role")).toString() == QLatin1String("list item")
                    && has(n, QStringLiteral("focused"));
            },
            &nodes);
        QVERIFY2(focusedRow.isEmpty(), qPrintable(describe(nodes)));
        // An arrow takes the keys back to the search field, and the reader to a row.
        press(QStringLiteral("Down"));
        hear(watch, focusOn(QStringLiteral("text"), QStringLiteral("Search")), "search field");
        hear(
            watch,
            [](const Node &n) {
                return n.value(QStringLiteral("event")).toString() == QLatin1String("focus:")
                    && n.value(QStringLiteral("role")).toString() == QLatin1String("list item");
            },
            "row");

        // A search that matches nothing says so, where the reader is.
        m_desk->xdotool({ QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("80"),
            QStringLiteral("zzz") });
        hear(
            watch,
            [](const Node &n) {
                return n.value(QStringLiteral("event")).toString() == QLatin1String("focus:")
                    && isA(n, QStringLiteral("text"), QStringLiteral("Search"))
                    && n.value(QStringLiteral("description")).toString()
                    == QLatin1String("No results");
            },
            "\"No results\"");
        press(QStringLiteral("ctrl+a"));
        press(QStringLiteral("BackSpace"));

        // A refused key says why.
        press(QStringLiteral("ctrl+7"));
        hear(
            watch,
            [](const Node &n) {
                return isA(n, QStringLiteral("notification"),
                           QStringLiteral("There is no snippet 7."))
                    && has(n, QStringLiteral("showing"));
            },
            "refusal");
        TestDesk::stop(watch);
    }

    void theSettingsSayTheShortcutAndTheChosenMode()
    {
        press(QStringLiteral("ctrl+comma"));
        QList<Node> nodes;
        const Node recorder = findInTree(
            [](const Node &n) {
                return isA(n, QStringLiteral("push button"),
                    QStringLiteral("Keyboard shortcut: Control + Alt + Space"));
            },
            &nodes);
        QVERIFY2(!recorder.isEmpty(), qPrintable(describe(nodes)));
        // Open mode: a group of two radio buttons, the centred window checked.
        qsizetype group = -1;
        for (qsizetype i = 0; i < nodes.size() && group < 0; ++i) {
            if (nodes[i].value(QStringLiteral("name")).toString() == QLatin1String("Open mode")
                && nodes[i].value(QStringLiteral("role")).toString() != QLatin1String("label"))
                group = i;
        }
        QVERIFY2(group >= 0 && group + 2 < nodes.size(), qPrintable(describe(nodes)));
        const Node first = nodes[group + 1];
        const Node second = nodes[group + 2];
        QCOMPARE(first.value(QStringLiteral("role")).toString(), QStringLiteral("radio button"));
        QCOMPARE(second.value(QStringLiteral("role")).toString(), QStringLiteral("radio button"));
        QVERIFY(!has(first, QStringLiteral("checked")));
        QVERIFY(has(second, QStringLiteral("checked")));

        // Recording, the shortcut's button says so when it takes the keys.
        QProcess *watch = listen();
        QVERIFY(watch);
        const QString window = m_desk->activeWindow();
        m_desk->xdotool({ QStringLiteral("mousemove"), QStringLiteral("--window"), window,
            QStringLiteral("250"), QStringLiteral("167"), QStringLiteral("click"),
            QStringLiteral("1") });
        QStringList heard;
        const Node recording = nextEvent(
            watch,
            [](const Node &n) {
                return n.value(QStringLiteral("name"))
                    .toString()
                    .contains(QStringLiteral("recording"));
            },
            &heard);
        QVERIFY2(!recording.isEmpty(), qPrintable(heard.mid(heard.size() - 6).join(u'\n')));
        press(QStringLiteral("Escape"));
        TestDesk::stop(watch);
    }

    void thePopoverIsInTheTreeToo()
    {
        startNookary("Nookary.openPresentation.v2=menubarPopover\n");
        QCOMPARE(m_desk->nookary({ QStringLiteral("--show") }).exitCode, 0);
        QList<Node> nodes;
        const Node search = findInTree(
            [](const Node &n) { return isA(n, QStringLiteral("text"), QStringLiteral("Search")); },
            &nodes);
        QVERIFY2(has(search, QStringLiteral("focused")), qPrintable(describe(nodes)));
        QVERIFY2(!findInTree([](const Node &n) {
            return isA(n, QStringLiteral("frame"), QStringLiteral("Nookary"));
        }).isEmpty(),
            qPrintable(describe(nodes)));
    }
};

QTEST_GUILESS_MAIN(TestDeskAccessibility)
#include "tst_desk_accessibility.moc"
