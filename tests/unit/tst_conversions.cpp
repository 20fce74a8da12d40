#include "platform/Conversions.h"

#include <QtTest>

#include <limits>

using platform::RealToInt16;
using platform::TextToInt16;
using platform::TextToReal;

class TestConversions : public QObject {
    Q_OBJECT

private slots:
    void textToNumber_data();
    void textToNumber();
    void realToInt16_data();
    void realToInt16();
    void numberToText();
    void decimalComma_data();
    void decimalComma();
};

// A "no value" expectation is written as NaN in the tables.
static const double None = std::numeric_limits<double>::quiet_NaN();
static const int NoInt = std::numeric_limits<int>::min();

void TestConversions::textToNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("real");
    QTest::addColumn<int>("int16");

    QTest::newRow("leading space") << " 12" << 12.0 << 12;
    QTest::newRow("full-width digits") << "１２" << 12.0 << 12;
    QTest::newRow("ideographic spaces") << "\u3000１２\u3000" << 12.0 << 12;
    QTest::newRow("full-width sign and point") << "－１２．５" << -12.5 << -12;
    QTest::newRow("grouping") << "1,000" << 1000.0 << 1000;
    QTest::newRow("half to even down") << "12.5" << 12.5 << 12;
    QTest::newRow("half to even up") << "13.5" << 13.5 << 14;
    QTest::newRow("above the limit by a half") << "10000.5" << 10000.5 << 10000;
    QTest::newRow("exponent") << "1e3" << 1000.0 << 1000;
    QTest::newRow("leading zero") << "07" << 7.0 << 7;
    QTest::newRow("trailing zero decimals") << "7.0" << 7.0 << 7;
    QTest::newRow("empty") << "" << None << NoInt;
    QTest::newRow("space only") << " " << None << NoInt;
    QTest::newRow("ideographic space only") << "\u3000" << None << NoInt;
    QTest::newRow("letters") << "abc" << None << NoInt;
    QTest::newRow("digits then letters") << "12abc" << None << NoInt;
    QTest::newRow("nan") << "nan" << None << NoInt;
    QTest::newRow("inf") << "inf" << None << NoInt;
    QTest::newRow("-inf") << "-inf" << None << NoInt;
    QTest::newRow("huge exponent") << "1e400" << None << NoInt;
    QTest::newRow("above 16 bits") << "99999" << 99999.0 << NoInt;
    QTest::newRow("below 16 bits") << "-32769" << -32769.0 << NoInt;
    QTest::newRow("lowest 16-bit") << "-32768" << -32768.0 << -32768;
    QTest::newRow("highest 16-bit") << "32767" << 32767.0 << 32767;
    QTest::newRow("rounds past the top") << "32767.5" << 32767.5 << NoInt;
}

void TestConversions::textToNumber()
{
    QFETCH(QString, text);
    QFETCH(double, real);
    QFETCH(int, int16);

    const std::optional<double> value = TextToReal(text);
    if (std::isnan(real)) {
        QVERIFY2(!value, qPrintable(QStringLiteral("got %1").arg(value.value_or(0))));
    } else {
        QVERIFY(value);
        QCOMPARE(*value, real);
    }

    const std::optional<std::int16_t> whole = TextToInt16(text);
    if (int16 == NoInt) {
        QVERIFY(!whole);
    } else {
        QVERIFY(whole);
        QCOMPARE(int(*whole), int16);
    }
}

void TestConversions::realToInt16_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("1.5") << 1.5 << 2;
    QTest::newRow("2.5") << 2.5 << 2;
    QTest::newRow("-0.5") << -0.5 << 0;
    QTest::newRow("-1.5") << -1.5 << -2;
    QTest::newRow("-2.5") << -2.5 << -2;
    QTest::newRow("2.4999") << 2.4999 << 2;
    QTest::newRow("2.5001") << 2.5001 << 3;
    QTest::newRow("-32768.4") << -32768.4 << -32768;
    QTest::newRow("-32768.5") << -32768.5 << -32768;
    QTest::newRow("-32768.6") << -32768.6 << NoInt;
    QTest::newRow("nan") << None << NoInt;
    QTest::newRow("inf") << std::numeric_limits<double>::infinity() << NoInt;
    QTest::newRow("1e300") << 1e300 << NoInt;
}

void TestConversions::realToInt16()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    const std::optional<std::int16_t> result = RealToInt16(value);
    if (expected == NoInt) {
        QVERIFY(!result);
    } else {
        QVERIFY(result);
        QCOMPARE(int(*result), expected);
    }
}

void TestConversions::numberToText()
{
    QCOMPARE(platform::NumberToText(0), QStringLiteral("0"));
    QCOMPARE(platform::NumberToText(-7), QStringLiteral("-7"));
    QCOMPARE(platform::NumberToText(10000), QStringLiteral("10000"));
}

void TestConversions::decimalComma_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("real");
    QTest::newRow("decimal comma") << "12,5" << 12.5;
    QTest::newRow("full-width comma") << "１２，５" << 12.5;
    QTest::newRow("a point groups digits") << "1.000" << 1000.0;
    QTest::newRow("a point that cannot group is a decimal point") << "12.5" << 12.5;
}

void TestConversions::decimalComma()
{
    // Run as tst_conversions_de, under a German system locale.
    if (QLocale::system().decimalPoint() != QLatin1Char(','))
        QSKIP("the system locale has no decimal comma");
    QFETCH(QString, text);
    QFETCH(double, real);
    const std::optional<double> value = TextToReal(text);
    QVERIFY(value);
    QCOMPARE(*value, real);
}

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
