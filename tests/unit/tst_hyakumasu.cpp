#include "engine/Hyakumasu.h"
#include "platform/RecordStore.h"

#include <QtTest>

#include <set>

using engine::HyakumasuGrid;
using platform::AnswerRow;

class TestHyakumasu : public QObject {
    Q_OBJECT
private slots:
    void grid_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("leftBase");
        QTest::newRow("たし算 10") << 1 << 10 << 0;
        QTest::newRow("ひき算 10") << 2 << 10 << 10;
        QTest::newRow("かけ算 10") << 3 << 10 << 0;
        QTest::newRow("ひき算 5") << 2 << 5 << 10;
        QTest::newRow("かけ算 5") << 3 << 5 << 0;
    }
    void grid()
    {
        QFETCH(int, op);
        QFETCH(int, size);
        QFETCH(int, leftBase);
        std::set<std::vector<std::int16_t>> orders;
        for (std::uint32_t seed = 1; seed <= 20; ++seed) {
            const HyakumasuGrid g = engine::MakeHyakumasu(std::int16_t(op), size, seed);
            QCOMPARE(g, engine::MakeHyakumasu(std::int16_t(op), size, seed));
            const std::set<std::int16_t> across(g.across.begin(), g.across.end());
            const std::set<std::int16_t> down(g.down.begin(), g.down.end());
            QCOMPARE(int(across.size()), size);
            QCOMPARE(int(down.size()), size);
            QVERIFY(*across.begin() >= 0 && *across.rbegin() <= 9);
            QVERIFY(*down.begin() >= leftBase && *down.rbegin() <= leftBase + 9);
            orders.insert(g.across);
            // Row by row: the crossing after the last of a row starts the next.
            const int i = size + 2;
            const engine::ProblemRecord p = g.Crossing(i);
            QCOMPARE(p.LeftOperand, g.down[1]);
            QCOMPARE(p.RightOperand, g.across[2]);
            const int want = op == 1 ? p.LeftOperand + p.RightOperand
                           : op == 2 ? p.LeftOperand - p.RightOperand
                                     : p.LeftOperand * p.RightOperand;
            QCOMPARE(int(p.Answer), want);
            QVERIFY(p.Answer >= 0);
        }
        QVERIFY(orders.size() > 15); // a new order each time
    }

    void judge_data()
    {
        QTest::addColumn<int>("change"); // which crossing is typed otherwise
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("right");
        QTest::newRow("full-width digits") << 7 << QString() << true;
        QTest::newRow("off by one") << 7 << QStringLiteral("+1") << false;
        QTest::newRow("left empty") << 24 << QStringLiteral("") << false;
        QTest::newRow("not a number") << 0 << QStringLiteral("x") << false;
    }
    void judge()
    {
        QFETCH(int, change);
        QFETCH(QString, typed);
        QFETCH(bool, right);
        const HyakumasuGrid g = engine::MakeHyakumasu(1, 5, 9);
        std::vector<QString> texts;
        for (int i = 0; i < g.Count(); ++i)
            texts.push_back(QString::number(g.Crossing(i).Answer));
        const int answer = g.Crossing(change).Answer;
        if (typed.isNull()) // the same number in full-width digits
            for (QChar &c : texts[change])
                c = QChar(c.unicode() - u'0' + u'０');
        else if (typed == u"+1")
            texts[change] = QString::number(answer + 1);
        else
            texts[change] = typed;
        const engine::HyakumasuResult r = engine::JudgeHyakumasu(g, texts);
        QCOMPARE(r.right, right ? 25 : 24);
        QCOMPARE(r.wrong, right ? std::vector<int>{} : std::vector<int>{change});
    }

    void best_data()
    {
        // Grids as "drill:child:op:size:crossings:wrong:ms each", apart by ";".
        QTest::addColumn<QString>("grids");
        QTest::addColumn<qint64>("best"); // -1: none
        QTest::newRow("fastest right grid") << "a:k:1:5:25:0:100;b:k:1:5:25:0:80" << qint64(2000);
        QTest::newRow("faster one had a miss") << "a:k:1:5:25:0:100;b:k:1:5:25:1:10" << qint64(2500);
        QTest::newRow("faster one not finished") << "a:k:1:5:25:0:100;b:k:1:5:24:0:10" << qint64(2500);
        QTest::newRow("another child's") << "a:k:1:5:25:0:100;b:m:1:5:25:0:10" << qint64(2500);
        QTest::newRow("another operation") << "a:k:3:5:25:0:100" << qint64(-1);
        QTest::newRow("another size") << "a:k:1:10:100:0:10" << qint64(-1);
    }
    void best()
    {
        QFETCH(QString, grids);
        QFETCH(qint64, best);
        std::vector<AnswerRow> rows;
        for (const QString &g : grids.split(u';')) {
            const QStringList f = g.split(u':');
            for (int i = 0; i < f[4].toInt(); ++i) {
                AnswerRow row;
                row.drill = f[0];
                row.child = f[1];
                row.calcKind = std::int16_t(f[2].toInt());
                row.problemCount = std::int16_t(f[3].toInt() * f[3].toInt());
                row.correct = i >= f[5].toInt();
                row.elapsedMs = f[6].toInt();
                row.grid = true;
                rows.push_back(row);
            }
        }
        // A plain drill's rows never make a grid.
        AnswerRow plain = rows.front();
        plain.grid = false;
        plain.drill = QStringLiteral("plain");
        rows.insert(rows.end(), 25, plain);
        const std::optional<std::int64_t> got = engine::HyakumasuBestMs(rows, QStringLiteral("k"), 1, 5);
        QCOMPARE(got.value_or(-1), best);
    }
};

QTEST_APPLESS_MAIN(TestHyakumasu)
#include "tst_hyakumasu.moc"
