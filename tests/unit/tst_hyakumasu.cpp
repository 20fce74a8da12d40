#include "engine/Hyakumasu.h"
#include "engine/HyakumasuResume.h"
#include "engine/HyakumasuSheet.h"
#include "platform/RecordStore.h"

#include <QtTest>

#include <set>

class TestHyakumasu : public QObject {
    Q_OBJECT
private slots:
    void grid_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("leftBase"); // the left side runs from here, 10 numbers
        for (auto [name, op, size, base] : {std::tuple{"たし算 10", 1, 10, 0}, {"ひき算 10", 2, 10, 10},
                                            {"かけ算 10", 3, 10, 0}, {"ひき算 5", 2, 5, 10}, {"かけ算 5", 3, 5, 0}})
            QTest::newRow(name) << op << size << base;
    }
    void grid()
    {
        QFETCH(int, op);
        QFETCH(int, size);
        QFETCH(int, leftBase);
        std::set<std::vector<std::int16_t>> orders;
        for (std::uint32_t seed = 1; seed <= 20; ++seed) {
            const engine::HyakumasuGrid g = engine::MakeHyakumasu(std::int16_t(op), size, seed);
            QCOMPARE(g, engine::MakeHyakumasu(std::int16_t(op), size, seed));
            const std::set<int> across(g.across.begin(), g.across.end()), down(g.down.begin(), g.down.end());
            QVERIFY(int(across.size()) == size && *across.begin() >= 0 && *across.rbegin() <= 9);
            QVERIFY(int(down.size()) == size && *down.begin() >= leftBase && *down.rbegin() <= leftBase + 9);
            orders.insert(g.across);
            const engine::ProblemRecord p = g.Crossing(size + 2); // row 2, column 3
            QCOMPARE(std::pair(p.LeftOperand, p.RightOperand), std::pair(g.down[1], g.across[2]));
            const int a = p.LeftOperand, b = p.RightOperand;
            QCOMPARE(int(p.Answer), op == 1 ? a + b : op == 2 ? a - b : a * b);
        }
        QVERIFY(orders.size() > 15); // a new order each time
    }

    void judge_data()
    {
        QTest::addColumn<QString>("typed"); // crossing 7 typed as its answer in full width, one more, nothing
        QTest::addColumn<bool>("right");
        QTest::newRow("full-width digits") << "full" << true;
        QTest::newRow("another number") << "more" << false;
        QTest::newRow("left empty") << "" << false;
    }
    void judge()
    {
        QFETCH(QString, typed);
        QFETCH(bool, right);
        const engine::HyakumasuGrid g = engine::MakeHyakumasu(2, 10, 9);
        std::vector<QString> texts;
        for (int i = 0; i < g.Count(); ++i)
            texts.push_back(QString::number(g.Crossing(i).Answer + (i == 7 && typed == u"more")));
        for (QChar &c : texts[7])
            c = typed == u"full" ? QChar(c.unicode() - u'0' + u'０') : c;
        texts[7] = typed.isEmpty() ? QString() : texts[7];
        const engine::HyakumasuResult r = engine::JudgeHyakumasu(g, texts);
        QCOMPARE(r.wrong, right ? std::vector<int>{} : std::vector<int>{7});
        QCOMPARE(r.right, 100 - int(r.wrong.size()));
    }

    // A kept grid taken up from the rows stored: its sides from the kept
    // crossings, each crossing's last text and time, the first not stored.
    void takeUp_data()
    {
        QTest::addColumn<int>("stored");     // crossings 1..stored in the record
        QTest::addColumn<bool>("changed");   // crossing 2 stored again, later
        QTest::addColumn<bool>("broken");    // a kept crossing that fits no grid
        QTest::addColumn<int>("next");       // -1: not taken up
        QTest::newRow("none stored") << 0 << false << false << 0;
        QTest::newRow("mid-way, a crossing changed") << 7 << true << false << 7;
        QTest::newRow("every crossing stored") << 25 << false << false << 25;
        QTest::newRow("kept crossings that make no grid") << 3 << false << true << -1;
    }
    void takeUp()
    {
        QFETCH(int, stored);
        QFETCH(bool, changed);
        QFETCH(bool, broken);
        QFETCH(int, next);
        const engine::HyakumasuGrid g = engine::MakeHyakumasu(2, 5, 77);
        engine::OpenDrill open = engine::KeptHyakumasu(g, QStringLiteral("g"), 2, QStringLiteral("c"));
        open = *engine::ParseOpenDrill(engine::OpenDrillText(open)); // as the record gives it back
        if (broken)
            open.problems[7].RightOperand += 1;
        std::vector<platform::AnswerRow> rows;
        const auto row = [&](const QString &drill, int i, const QString &typed) {
            platform::AnswerRow r;
            r.drill = drill;
            r.questionNo = std::int16_t(i + 1);
            r.typed = typed;
            r.elapsedMs = 100 * (i + 1);
            rows.push_back(r);
        };
        for (int i = 0; i < stored; ++i)
            row(QStringLiteral("g"), i, QString::number(i));
        row(QStringLiteral("other"), stored, QStringLiteral("99")); // another drill's
        if (changed)
            row(QStringLiteral("g"), 1, QStringLiteral("changed"));
        const std::optional<engine::HyakumasuTakenUp> up = engine::TakeUpHyakumasu(open, rows);
        QCOMPARE(up.has_value(), next >= 0);
        if (!up)
            return;
        QCOMPARE(up->grid, g);
        QCOMPARE(up->next, next);
        QCOMPARE(up->ms, 100LL * stored * (stored + 1) / 2);
        for (int i = 0; i < g.Count(); ++i)
            QCOMPARE(up->typed[std::size_t(i)],
                     i >= stored ? QString() : changed && i == 1 ? QStringLiteral("changed") : QString::number(i));
    }
    void best_data()
    {
        // Grids "drill:child:op:size:crossings:wrong:ms each", apart by ";"; the best of child k's
        // たし算 5 × 5, -1 for none.
        QTest::addColumn<QString>("grids");
        QTest::addColumn<qint64>("best");
        QTest::newRow("fastest right grid") << "a:k:1:5:25:0:100;b:k:1:5:25:0:80" << qint64(2000);
        QTest::newRow("faster had a miss") << "a:k:1:5:25:0:100;b:k:1:5:25:1:10" << qint64(2500);
        QTest::newRow("faster unfinished") << "a:k:1:5:25:0:100;b:k:1:5:24:0:10" << qint64(2500);
        QTest::newRow("another child's") << "a:k:1:5:25:0:100;b:m:1:5:25:0:10" << qint64(2500);
        QTest::newRow("other operation, size") << "a:k:3:5:25:0:100;b:k:1:10:100:0:1" << qint64(-1);
    }
    void best()
    {
        QFETCH(QString, grids);
        QFETCH(qint64, best);
        std::vector<platform::AnswerRow> rows;
        const auto add = [&rows](const QString &drill, const QString &child, int op, int crossings,
                                 bool correct, int ms, bool grid) {
            platform::AnswerRow row;
            std::tie(row.drill, row.child, row.calcKind, row.problemCount, row.correct, row.elapsedMs, row.grid) =
                std::tuple(drill, child, std::int16_t(op), std::int16_t(crossings), correct, ms, grid);
            rows.push_back(row);
        };
        for (const QString &g : grids.split(u';')) {
            const QStringList f = g.split(u':');
            for (int i = 0; i < f[4].toInt(); ++i)
                add(f[0], f[1], f[2].toInt(), f[3].toInt() * f[3].toInt(), i >= f[5].toInt(), f[6].toInt(), true);
        }
        for (int i = 0; i < 25; ++i) // a plain drill's answers, faster than any grid, never make one
            add("plain", "k", 1, 25, true, 1, false);
        QCOMPARE(engine::HyakumasuBestMs(rows, QStringLiteral("k"), 1, 5).value_or(-1), best);
    }
    void sheet_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<double>("leastCell"); // mm: room for a child's two digits
        QTest::newRow("10 × 10 across the width") << 10 << 16.0;
        QTest::newRow("5 × 5, larger cells") << 5 << 25.0;
    }
    void sheet()
    {
        QFETCH(int, size);
        QFETCH(double, leastCell);
        std::set<std::vector<std::int16_t>> orders; // neighbouring numbers, grids of their own
        for (std::uint32_t n = 1; n <= 30; ++n)
            orders.insert(engine::MakeHyakumasuSheet(2, size, n).grid.across);
        QCOMPARE(int(orders.size()), 30);
        // A4 at 15 mm margins, the grid under the heading.
        const engine::HyakumasuSheetLayout l = engine::LayOutHyakumasuSheet(size, 180, 267);
        QVERIFY(QRectF(0, engine::HyakumasuHeadingMm, 180, 267 - engine::HyakumasuHeadingMm).contains(l.Grid()));
        QVERIFY2(l.cell >= leastCell, qPrintable(QString::number(l.cell)));
    }
};

QTEST_APPLESS_MAIN(TestHyakumasu)
#include "tst_hyakumasu.moc"
