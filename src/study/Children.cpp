#include "study/Children.h"

#include <QByteArray>
#include <QUuid>

#include <algorithm>

namespace study {

const std::array<ChildColour, 6> ChildColours{{
    {u"あか", 0xFF8C8C},
    {u"きいろ", 0xFFE45C},
    {u"みどり", 0x7ED67E},
    {u"みずいろ", 0x8CD2FF},
    {u"むらさき", 0xC8A0FF},
    {u"ちゃいろ", 0xC89664},
}};

namespace {

const QString Header = QStringLiteral("children 1");

int Length(const QString &name)
{
    return int(name.toUcs4().size());
}

} // namespace

QString ChildRefusalMessage(ChildRefusal refusal)
{
    switch (refusal) {
    case ChildRefusal::None: return {};
    case ChildRefusal::Blank: return QStringLiteral("名前を入れてください。");
    case ChildRefusal::TooLong:
        return QStringLiteral("名前は%1文字までにしてください。").arg(MaxNameLength);
    case ChildRefusal::Taken: return QStringLiteral("同じ名前の子どもがもういます。ちがう名前にしてください。");
    case ChildRefusal::TooMany:
        return QStringLiteral("登録できる子どもは%1人までです。").arg(MaxChildren);
    case ChildRefusal::Unknown: return QStringLiteral("その子どもは見つかりませんでした。");
    }
    return {};
}

std::optional<ChildList> ChildList::Parse(QStringView text)
{
    ChildList list;
    if (text.isEmpty())
        return list;
    const QList<QStringView> lines = text.split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty() || lines[0] != Header)
        return std::nullopt;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QStringView> f = lines[i].split(u'\t');
        bool ok = false;
        Child child;
        child.colour = f.size() == 4 ? f[1].toInt(&ok) : 0;
        if (!ok || child.colour < 0 || child.colour >= int(ChildColours.size()) || f[0].isEmpty())
            return std::nullopt;
        child.id = f[0].toString();
        child.inherits = f[2].contains(u'i');
        child.removed = f[2].contains(u'r');
        child.name = QString::fromUtf8(QByteArray::fromPercentEncoding(f[3].toUtf8()));
        list.children_.push_back(child);
    }
    return list;
}

QString ChildList::Text() const
{
    QString text = Header + u'\n';
    for (const Child &c : children_) {
        const QString flags = QString(c.inherits ? QStringLiteral("i") : QString()) +
                              (c.removed ? QStringLiteral("r") : QString()) + QStringLiteral("-");
        text += QStringLiteral("%1\t%2\t%3\t%4\n")
                    .arg(c.id)
                    .arg(c.colour)
                    .arg(flags, QString::fromLatin1(c.name.toUtf8().toPercentEncoding()));
    }
    return text;
}

std::vector<Child> ChildList::Living() const
{
    std::vector<Child> living;
    std::copy_if(children_.begin(), children_.end(), std::back_inserter(living),
                 [](const Child &c) { return !c.removed; });
    return living;
}

const Child *ChildList::Find(const QString &id) const
{
    const auto found = std::find_if(children_.begin(), children_.end(), [&id](const Child &c) { return c.id == id; });
    return found == children_.end() ? nullptr : &*found;
}

ChildRefusal ChildList::CheckName(const QString &name, const QString &except) const
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return ChildRefusal::Blank;
    if (Length(trimmed) > MaxNameLength)
        return ChildRefusal::TooLong;
    for (const Child &c : children_) {
        if (!c.removed && c.id != except && c.name == trimmed)
            return ChildRefusal::Taken;
    }
    return ChildRefusal::None;
}

ChildRefusal ChildList::Add(const QString &name, int colour, QString *id)
{
    if (int(Living().size()) >= MaxChildren)
        return ChildRefusal::TooMany;
    if (const ChildRefusal refusal = CheckName(name, QString()); refusal != ChildRefusal::None)
        return refusal;
    Child child;
    do {
        child.id = QUuid::createUuid().toString(QUuid::Id128).left(12);
    } while (Find(child.id));
    child.name = name.trimmed();
    child.colour = std::clamp(colour, 0, int(ChildColours.size()) - 1);
    // Only the very first child: the answers of before are theirs, and stay
    // nobody's once they are removed.
    child.inherits = children_.empty();
    children_.push_back(child);
    if (id)
        *id = child.id;
    return ChildRefusal::None;
}

ChildRefusal ChildList::Rename(const QString &id, const QString &name, int colour)
{
    const auto found = std::find_if(children_.begin(), children_.end(),
                                    [&id](const Child &c) { return c.id == id && !c.removed; });
    if (found == children_.end())
        return ChildRefusal::Unknown;
    if (const ChildRefusal refusal = CheckName(name, id); refusal != ChildRefusal::None)
        return refusal;
    found->name = name.trimmed();
    found->colour = std::clamp(colour, 0, int(ChildColours.size()) - 1);
    return ChildRefusal::None;
}

bool ChildList::Remove(const QString &id)
{
    const auto found = std::find_if(children_.begin(), children_.end(),
                                    [&id](const Child &c) { return c.id == id && !c.removed; });
    if (found == children_.end())
        return false;
    found->removed = true;
    return true;
}

QString ChildList::OwnerOf(const QString &answeredBy) const
{
    if (answeredBy.isEmpty()) {
        const auto heir = std::find_if(children_.begin(), children_.end(), [](const Child &c) { return c.inherits; });
        return heir != children_.end() && !heir->removed ? heir->id : QString();
    }
    const Child *child = Find(answeredBy);
    return child && !child->removed ? child->id : QString();
}

QStringList ChildList::AnswerIdsOf(const QString &owner) const
{
    QStringList ids;
    const Child *child = owner.isEmpty() ? nullptr : Find(owner);
    if (!child || child->removed)
        return ids;
    ids << child->id;
    if (child->inherits)
        ids << QString(QLatin1String(""));
    return ids;
}

int ChildList::FreeColour() const
{
    for (int colour = 0; colour < int(ChildColours.size()); ++colour) {
        const std::vector<Child> living = Living();
        if (std::none_of(living.begin(), living.end(), [colour](const Child &c) { return c.colour == colour; }))
            return colour;
    }
    return 0;
}

} // namespace study
