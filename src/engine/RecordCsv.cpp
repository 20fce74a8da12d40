#include "engine/RecordCsv.h"

#include "engine/Progress.h"
#include "engine/Score.h"

namespace engine {

using platform::AnswerRow;

namespace {

// A field as a spreadsheet reads it back: quoted, quotes doubled, and text
// that would start a formula (=, +, -, @, a tab or a carriage return) made
// plain with a leading apostrophe, unless it is a plain number.
QString CsvField(const QString &text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    QString value = text;
    bool plainNumber = !value.isEmpty();
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (!(c.isDigit() && c.unicode() < 128) && !(i == 0 && c == u'-' && value.size() > 1))
            plainNumber = false;
    }
    if (!value.isEmpty() && formulaStarts.contains(value[0]) && !plainNumber)
        value.prepend(u'\'');
    value.replace(u'"', QStringLiteral("\"\""));
    return u'"' + value + u'"';
}

// The answer's child by name: its living owner (the first child for those of
// before), else the removed child it was given by.
QString ChildName(const study::ChildList &children, const QString &answeredBy)
{
    const QString owner = children.OwnerOf(answeredBy);
    const study::Child *child = children.Find(owner.isEmpty() ? answeredBy : owner);
    return child ? child->name : QString();
}

} // namespace

QByteArray RecordCsv(const std::vector<AnswerRow> &answers, const study::ChildList &children)
{
    const QStringList header{
        QStringLiteral("日時"),     QStringLiteral("ドリル"),       QStringLiteral("モード"),
        QStringLiteral("計算種別"), QStringLiteral("数値範囲"),     QStringLiteral("問題数"),
        QStringLiteral("やり直し"), QStringLiteral("問番号"),       QStringLiteral("問題"),
        QStringLiteral("左"),       QStringLiteral("演算"),         QStringLiteral("右"),
        QStringLiteral("正しい答え"), QStringLiteral("入力した答え"), QStringLiteral("正誤"),
        QStringLiteral("時間（ミリ秒）"), QStringLiteral("にがて練習"),
        QStringLiteral("子ども"), QStringLiteral("百ます計算")};
    QString text;
    auto line = [&text](const QStringList &fields) {
        QStringList quoted;
        for (const QString &f : fields)
            quoted << CsvField(f);
        text += quoted.join(u',') + QStringLiteral("\r\n");
    };
    line(header);
    for (const AnswerRow &a : answers) {
        line({a.answeredAt.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")), a.drill, ModeLabel(a.mode),
              KindLabel(a.calcKind), RangeLabel(a.calcKind, a.rangeMax), QString::number(a.problemCount),
              a.retry ? QStringLiteral("はい") : QStringLiteral("いいえ"), QString::number(a.questionNo),
              ProblemLabel(a), QString::number(a.left), OperatorSign(a.operation).value_or(QString()),
              QString::number(a.right), QString::number(a.answer), a.typed,
              a.correct ? QStringLiteral("○") : QStringLiteral("×"), QString::number(a.elapsedMs),
              a.practice ? QStringLiteral("はい") : QStringLiteral("いいえ"), ChildName(children, a.child),
              a.grid ? QStringLiteral("百ます") : QString()});
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QString RecordCsvName(const QDate &day)
{
    return QStringLiteral("学習の記録_%1.csv").arg(day.toString(QStringLiteral("yyyyMMdd")));
}

} // namespace engine
