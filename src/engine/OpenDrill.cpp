#include "engine/OpenDrill.h"

#include "platform/DrillHold.h"
#include "platform/RecordStore.h"

#include <QByteArray>

namespace engine {

namespace {

const QString Header = QStringLiteral("open-drill 1");

} // namespace

QString OpenDrillText(const OpenDrill &d)
{
    QString text = Header + u'\n';
    text += QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
                .arg(QString::fromLatin1(d.drill.toUtf8().toPercentEncoding()))
                .arg(d.mode)
                .arg(d.problemCount)
                .arg(d.context.calcKind)
                .arg(d.context.rangeMax)
                .arg(int(d.context.retry) + 2 * int(d.context.practice))
                .arg(d.gridSize)
                .arg(d.context.child.isEmpty() ? QStringLiteral("-")
                                               : QString::fromLatin1(d.context.child.toUtf8().toPercentEncoding()));
    QStringList problems;
    problems.reserve(qsizetype(d.problems.size()));
    for (const ProblemRecord &p : d.problems)
        problems << QStringLiteral("%1,%2,%3,%4").arg(p.LeftOperand).arg(p.RightOperand).arg(p.Answer).arg(p.Operation);
    return text + problems.join(u' ') + u'\n';
}

std::optional<OpenDrill> ParseOpenDrill(QStringView text)
{
    const QList<QStringView> lines = text.split(u'\n');
    if (lines.size() < 3 || lines[0] != Header)
        return std::nullopt;
    const QList<QStringView> f = lines[1].split(u' ');
    if (f.size() != 8)
        return std::nullopt;
    OpenDrill d;
    bool ok[6] = {};
    d.drill = QString::fromUtf8(QByteArray::fromPercentEncoding(f[0].toUtf8()));
    d.mode = std::int16_t(f[1].toShort(&ok[0]));
    d.problemCount = std::int16_t(f[2].toShort(&ok[1]));
    d.context.calcKind = std::int16_t(f[3].toShort(&ok[2]));
    d.context.rangeMax = std::int16_t(f[4].toShort(&ok[3]));
    const int flags = f[5].toInt(&ok[4]);
    d.gridSize = f[6].toInt(&ok[5]);
    d.context.retry = flags & 1;
    d.context.practice = flags & 2;
    if (f[7] != u"-")
        d.context.child = QString::fromUtf8(QByteArray::fromPercentEncoding(f[7].toUtf8()));
    if (d.drill.isEmpty() || std::find(std::begin(ok), std::end(ok), false) != std::end(ok))
        return std::nullopt;
    for (const QStringView problem : lines[2].split(u' ', Qt::SkipEmptyParts)) {
        const QList<QStringView> n = problem.split(u',');
        bool fine = n.size() == 4;
        std::int16_t v[4] = {};
        for (int i = 0; fine && i < 4; ++i)
            v[i] = std::int16_t(n[i].toShort(&fine));
        if (!fine || v[3] < Addition || v[3] > Division)
            return std::nullopt;
        d.problems.push_back({v[0], v[1], v[2], v[3]});
    }
    if (d.problems.empty() || int(d.problems.size()) > ProblemSet::Capacity)
        return std::nullopt;
    return d;
}

bool KeepOpen(platform::RecordStore &store, const OpenDrill &drill)
{
    platform::ClaimDrill(drill.drill);
    platform::HoldPage(true);
    return store.PutValue(OpenDrillPrefix + drill.drill, OpenDrillText(drill));
}

void EndOpen(platform::RecordStore &store, const QString &drill)
{
    store.PutValue(OpenDrillPrefix + drill, std::nullopt);
    platform::ReleaseDrill(drill);
    platform::HoldPage(false);
}

std::optional<OpenDrill> TakeUpOpenDrill(platform::RecordStore &store)
{
    const std::optional<std::map<QString, QString>> kept = store.ReadValues(OpenDrillPrefix);
    if (!kept)
        return std::nullopt;
    for (const auto &[name, text] : *kept) {
        std::optional<OpenDrill> drill = ParseOpenDrill(text);
        if (drill && OpenDrillPrefix + drill->drill == name && platform::ClaimDrill(drill->drill)) {
            platform::HoldPage(true);
            return drill;
        }
    }
    return std::nullopt;
}

} // namespace engine
