// The learning record's rows as the browser edition stores them: what is
// written must be read back as it was, rows already stored (both formats)
// must stay readable, and a row that is not one is refused, not misread.
#include "platform/RecordRowText.h"

#include <QtTest>

using platform::AnswerRow;
using platform::ParseRecordRow;
using platform::RecordRowText;

Q_DECLARE_METATYPE(AnswerRow)

class TestRecordRow : public QObject {
    Q_OBJECT

private slots:
    void rows_data();
    void rows();
    void refused_data();
    void refused();
};

namespace {

AnswerRow Row(const QString &drill, qint64 ms, int offset, const QString &typed)
{
    AnswerRow a;
    a.drill = drill;
    a.answeredAt = QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, offset);
    a.typed = typed;
    return a;
}

// A valid m3 row's fields.
QStringList Fields()
{
    return QStringLiteral("m3\td\t1765260000000\t32400\t2\t81\t7\t30\t0\t12\t7\t8\t3\t56\t1\t1500\t56\t0\tc1\t0")
        .split(u'\t');
}

QString With(int field, const QString &value)
{
    QStringList f = Fields();
    f[field] = value;
    return f.join(u'\t');
}

} // namespace

void TestRecordRow::rows_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<AnswerRow>("row");
    QTest::addColumn<bool>("written"); // the text is what this version writes for the row

    AnswerRow escapes = Row(QStringLiteral("7の段\t(2)\\x\ny\rz"), 1765260000123, 32400, QStringLiteral("\uFEFF５６\\"));
    escapes.mode = 2;
    escapes.calcKind = 81;
    escapes.rangeMax = 7;
    escapes.problemCount = 30;
    escapes.retry = true;
    escapes.questionNo = 12;
    escapes.left = 7;
    escapes.right = 8;
    escapes.operation = 3;
    escapes.answer = 56;
    escapes.elapsedMs = 2147483647;
    escapes.practice = true;
    QTest::newRow("m2: escapes, a leading U+FEFF typed, practice")
        << QStringLiteral("m2\t7の段\\t(2)\\\\x\\ny\\rz\t1765260000123\t32400\t2\t81\t7\t30\t1\t12\t7\t8\t3\t56"
                          "\t0\t2147483647\t\uFEFF５６\\\\\t1")
        << escapes << false;
    AnswerRow child = escapes;
    child.child = QStringLiteral("はな\t1");
    child.grid = true;
    QTest::newRow("m3: a child's name escaped, a 百ます crossing")
        << QStringLiteral("m3\t7の段\\t(2)\\\\x\\ny\\rz\t1765260000123\t32400\t2\t81\t7\t30\t1\t12\t7\t8\t3\t56"
                          "\t0\t2147483647\t\uFEFF５６\\\\\t1\tはな\\t1\t1")
        << child << true;

    AnswerRow extremes = Row(QStringLiteral("d"), -1, -36000, QString());
    extremes.mode = -32768;
    extremes.calcKind = 32767;
    extremes.answer = -1;
    extremes.correct = true;
    extremes.elapsedMs = -2147483647 - 1;
    QTest::newRow("extremes, west of UTC, nothing typed")
        << QStringLiteral("m3\td\t-1\t-36000\t-32768\t32767\t0\t0\t0\t0\t0\t0\t0\t-1\t1\t-2147483648\t\t0\t\t0")
        << extremes << true;

    AnswerRow first = Row(QStringLiteral("\\"), 0, 0, QStringLiteral("7\t"));
    first.mode = 1;
    first.calcKind = 1;
    first.rangeMax = 10;
    first.problemCount = 5;
    first.questionNo = 1;
    first.left = 3;
    first.right = 4;
    first.operation = 1;
    first.answer = 7;
    first.correct = true;
    first.elapsedMs = 900;
    QTest::newRow("m1, before practices")
        << QStringLiteral("m1\t\\\\\t0\t0\t1\t1\t10\t5\t0\t1\t3\t4\t1\t7\t1\t900\t7\\t") << first << false;
}

void TestRecordRow::rows()
{
    QFETCH(QString, text);
    QFETCH(AnswerRow, row);
    QFETCH(bool, written);

    const std::optional<AnswerRow> parsed = ParseRecordRow(text);
    QVERIFY(parsed);
    QVERIFY2(*parsed == row, qPrintable(RecordRowText(*parsed)));
    QCOMPARE(parsed->answeredAt.offsetFromUtc(), row.answeredAt.offsetFromUtc());
    const QString again = RecordRowText(row);
    if (written)
        QCOMPARE(again, text);
    else
        QVERIFY(ParseRecordRow(again) == row);
}

void TestRecordRow::refused_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("unknown format") << With(0, QStringLiteral("m4"));
    QTest::newRow("m1 with a practice field") << Fields().mid(0, 18).replaceInStrings(QStringLiteral("m3"), QStringLiteral("m1")).join(u'\t');
    QTest::newRow("m2 without one") << Fields().mid(0, 17).replaceInStrings(QStringLiteral("m3"), QStringLiteral("m2")).join(u'\t');
    QTest::newRow("m3 without a child") << Fields().mid(0, 18).join(u'\t');
    QTest::newRow("grid flag in words") << With(19, QStringLiteral("yes"));
    QTest::newRow("a field too many") << (Fields() << QStringLiteral("0")).join(u'\t');
    QTest::newRow("empty") << QString();
    QTest::newRow("no drill") << With(1, QString());
    QTest::newRow("unknown escape") << With(1, QStringLiteral("a\\x"));
    QTest::newRow("backslash at the end") << With(16, QStringLiteral("56\\"));
    QTest::newRow("time not a number") << With(2, QStringLiteral("12:00"));
    QTest::newRow("offset past 32 bits") << With(3, QStringLiteral("2147483648"));
    QTest::newRow("a 16-bit field past its range") << With(11, QStringLiteral("32768"));
    QTest::newRow("time taken past 32 bits") << With(15, QStringLiteral("-2147483649"));
    QTest::newRow("empty number") << With(13, QString());
    QTest::newRow("letters in a number") << With(9, QStringLiteral("1a"));
    QTest::newRow("flag that is 2") << With(14, QStringLiteral("2"));
    QTest::newRow("practice flag in words") << With(17, QStringLiteral("yes"));
}

void TestRecordRow::refused()
{
    QFETCH(QString, text);
    QVERIFY(ParseRecordRow(Fields().join(u'\t'))); // what each row changes is read otherwise
    QVERIFY(!ParseRecordRow(text));
}

QTEST_APPLESS_MAIN(TestRecordRow)
#include "tst_record_row.moc"
