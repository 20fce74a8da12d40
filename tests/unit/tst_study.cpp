#include "study/Choices.h"
#include "study/Module1.h"

#include <QtTest>

using namespace study;

class TestStudy : public QObject {
    Q_OBJECT

private slots:
    void init() { Module1::ResetAll(); }

    void tablesHoldTheListTexts();
    void applyChoices_data();
    void applyChoices();
    void countCheck_data();
    void countCheck();
};

void TestStudy::tablesHoldTheListTexts()
{
    // The order is what the lists show; the codes do not follow it.
    QCOMPARE(CalcKindChoices.size(), 16u);
    QCOMPARE(CalcKindChoices[4].Text(), QStringLiteral("九九"));
    QCOMPARE(int(CalcKindChoices[4].value), 81);
    QCOMPARE(CalcKindChoices[15].Text(), QStringLiteral("たし算＋ひき算＋かけ算＋わり算"));
    for (std::size_t i = 5; i < CalcKindChoices.size(); ++i)
        QCOMPARE(int(CalcKindChoices[i].value), int(i));
    QCOMPARE(RangeChoices.size(), 7u);
    QCOMPARE(RangeChoices[6].Text(), QStringLiteral("1～999"));
    QCOMPARE(TimesRowChoices.size(), 10u);
    QCOMPARE(TimesRowChoices[0].Text(), QStringLiteral("九九（全て）"));
    QCOMPARE(int(TimesRowChoices[0].value), 81);
    QCOMPARE(TimesRowChoices[9].Text(), QStringLiteral("九九（九の段）"));
    QCOMPARE(int(TimesRowChoices[9].value), 9);
    // The plus, tilde and brackets are the full-width code points.
    QVERIFY(CalcKindChoices[5].Text().contains(QChar(0xFF0B)));
    QVERIFY(RangeChoices[0].Text().contains(QChar(0xFF5E)));
    QVERIFY(TimesRowChoices[1].Text().contains(QChar(0xFF08)));
    QVERIFY(TimesRowChoices[1].Text().contains(QChar(0xFF09)));
}

void TestStudy::applyChoices_data()
{
    QTest::addColumn<int>("kindBefore");
    QTest::addColumn<int>("rangeBefore");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("row");
    QTest::addColumn<int>("calcKind");
    QTest::addColumn<int>("rangeMax");

    QTest::newRow("table row replaces the range") << 1 << 0 << "九九" << "1～500" << "九九（三の段）" << 81 << 3;
    QTest::newRow("unknown row keeps the range") << 1 << 0 << "九九" << "1～20" << "九九（十の段）" << 81 << 20;
    QTest::newRow("row ignored for other kinds") << 1 << 0 << "かけ算" << "1～50" << "九九（七の段）" << 3 << 50;
    QTest::newRow("kind kept at 81 applies the row") << 81 << 5 << "なにか" << "1～100" << "九九（八の段）" << 81
                                                     << 8;
    QTest::newRow("all rows") << 1 << 0 << "九九" << "1～10" << "九九（全て）" << 81 << 81;
    QTest::newRow("combination code") << 1 << 0 << "ひき算＋かけ算＋わり算" << "1～999" << "九九（全て）" << 14
                                      << 999;
    QTest::newRow("ASCII plus matches nothing") << 2 << 20 << "たし算+ひき算" << "1～10" << "" << 2 << 10;
    QTest::newRow("ASCII tilde matches nothing") << 1 << 50 << "たし算" << "1~10" << "" << 1 << 50;
    QTest::newRow("full-width digits match nothing") << 1 << 50 << "たし算" << "１～１０" << "" << 1 << 50;
    QTest::newRow("trailing space matches nothing") << 3 << 20 << "わり算 " << "1～100 " << "" << 3 << 20;
    QTest::newRow("everything empty") << 7 << 200 << "" << "" << "" << 7 << 200;
}

void TestStudy::applyChoices()
{
    QFETCH(int, kindBefore);
    QFETCH(int, rangeBefore);
    QFETCH(QString, kind);
    QFETCH(QString, range);
    QFETCH(QString, row);
    QFETCH(int, calcKind);
    QFETCH(int, rangeMax);

    Module1::CalcKind = static_cast<std::int16_t>(kindBefore);
    Module1::RangeMax = static_cast<std::int16_t>(rangeBefore);
    Module1::ProblemCount = 30;
    ApplyChoices(kind, range, row);
    QCOMPARE(int(Module1::CalcKind), calcKind);
    QCOMPARE(int(Module1::RangeMax), rangeMax);
    QCOMPARE(int(Module1::ProblemCount), 30); // only kind and range change
}

void TestStudy::countCheck_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("accepted"); // -1 too large, -2 not usable
    QTest::newRow("30") << "30" << 30;
    QTest::newRow("limit") << "10000" << 10000;
    QTest::newRow("a fraction above") << "10000.5" << -1;
    QTest::newRow("one above") << "10001" << -1;
    QTest::newRow("far above 16 bits") << "99999" << -1;
    QTest::newRow("half to even down") << "12.5" << 12;
    QTest::newRow("half to even up") << "13.5" << 14;
    QTest::newRow("full-width") << "１０" << 10;
    QTest::newRow("one") << "1" << 1;
    QTest::newRow("rounds to zero") << "0.5" << -2;
    QTest::newRow("rounds to one") << "0.6" << -2;
    QTest::newRow("just above one") << "1.4" << 1;
    QTest::newRow("zero") << "0" << -2;
    QTest::newRow("negative") << "-5" << -2;
    QTest::newRow("below 16 bits") << "-40000" << -2;
    QTest::newRow("empty") << "" << -2;
    QTest::newRow("letters") << "abc" << -2;
    QTest::newRow("nan") << "nan" << -2;
}

void TestStudy::countCheck()
{
    QFETCH(QString, text);
    QFETCH(int, accepted);
    const CountCheck check = CheckProblemCount(text);
    if (accepted > 0) {
        QVERIFY(std::holds_alternative<CountAccepted>(check));
        QCOMPARE(int(std::get<CountAccepted>(check).count), accepted);
        QVERIFY(CountRefusalMessage(check).isEmpty());
    } else if (accepted == -1) {
        QVERIFY(std::holds_alternative<CountTooLarge>(check));
        QCOMPARE(CountRefusalMessage(check), QStringLiteral("問題数が多すぎます"));
    } else {
        QVERIFY(std::holds_alternative<CountNotUsable>(check));
        QCOMPARE(CountRefusalMessage(check), QStringLiteral("問題数は1から10000までの数で入力してください"));
    }
}

QTEST_GUILESS_MAIN(TestStudy)
#include "tst_study.moc"
