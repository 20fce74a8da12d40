#include "engine/Worksheet.h"

#include "platform/Random.h"

#include <algorithm>

namespace engine {

QString PracticeKindLabel(const PracticeKind &kind)
{
    if (kind.calcKind == study::TimesTableKind)
        return RangeLabel(kind.calcKind, kind.rangeMax);
    return KindLabel(kind.calcKind) + QStringLiteral("　") + RangeLabel(kind.calcKind, kind.rangeMax);
}

Worksheet MakeWorksheet(const std::vector<AnswerRow> &answers, const WorksheetRequest &request)
{
    Worksheet sheet;
    sheet.request = request;
    sheet.request.count = std::clamp(request.count, WorksheetMinCount, WorksheetMaxCount);
    sheet.title = QStringLiteral("計算プリント　") + PracticeKindLabel(request.kind);
    // The sheet's own generator: the number decides every draw, and the
    // drill's sequence is left alone.
    platform::PcgRandom random(0x6d696d6f00000000ULL | request.number);
    if (request.fromWeak) {
        sheet.problems =
            PlanPractice(answers, request.kind, sheet.request.count, request.today, random).problems;
        // The plan lists the weak facts first; on paper they are mixed in.
        for (std::size_t i = sheet.problems.size(); i > 1; --i)
            std::swap(sheet.problems[i - 1], sheet.problems[std::size_t(platform::DrawScaled(random, int(i)))]);
    } else {
        sheet.problems = DrawProblems(request.kind, sheet.request.count, random);
    }
    return sheet;
}

QString WorksheetFileName(const Worksheet &sheet)
{
    QString label = PracticeKindLabel(sheet.request.kind);
    label.replace(QStringLiteral("　"), QStringLiteral("_"));
    if (sheet.request.columns)
        label += QStringLiteral("_筆算");
    return QStringLiteral("計算プリント_%1_%2.pdf").arg(label).arg(sheet.request.number, 5, 10, QLatin1Char('0'));
}

} // namespace engine
