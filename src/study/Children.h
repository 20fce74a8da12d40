#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>
#include <vector>

// The children of a family who study on this device, each with a record of
// their own. Named by the parent; kept with the learning record, not with the
// password, so a new password finds them as they were.
namespace study {

struct ChildColour {
    const char16_t *name; // for a screen reader: "あか"
    unsigned rgb;         // 0xRRGGBB
};
// Told apart by hue and by lightness, so that a child who cannot read yet
// finds their own button.
extern const std::array<ChildColour, 6> ChildColours;

inline constexpr int MaxChildren = 6;
inline constexpr int MaxNameLength = 10; // characters as typed

struct Child {
    QString id;       // never reused, never shown
    QString name;
    int colour = 0;   // into ChildColours
    // The first child named takes over the answers given before any child
    // was named.
    bool inherits = false;
    // Removed by the parent: the answers stay, under 「名前のない記録」.
    bool removed = false;
};

// Why a name (or a seventh child) is refused.
enum class ChildRefusal { None, Blank, TooLong, Taken, TooMany, Unknown };
// The parent's message for it, in Japanese; empty for None.
QString ChildRefusalMessage(ChildRefusal refusal);

// The list as the record keeps it, removed children included (their answers
// need a name for the CSV, and their ids are never given again).
class ChildList {
public:
    static std::optional<ChildList> Parse(QStringView text);
    QString Text() const;

    // The children the parent named and did not remove, in the order named.
    std::vector<Child> Living() const;
    const Child *Find(const QString &id) const;

    // The name is taken as typed, without the blanks around it.
    ChildRefusal Add(const QString &name, int colour, QString *id = nullptr);
    ChildRefusal Rename(const QString &id, const QString &name, int colour);
    bool Remove(const QString &id);

    // Whose an answer is, from the child it was stored with: a living
    // child's id, or empty (「名前のない記録」: before any child was named and
    // not taken over, a removed child's, or a child this list does not know).
    QString OwnerOf(const QString &answeredBy) const;
    // The children answers are stored with that a living child owns.
    QStringList AnswerIdsOf(const QString &owner) const;

    // The colour offered for the next child: the first that no living child has.
    int FreeColour() const;

private:
    ChildRefusal CheckName(const QString &name, const QString &except) const;
    std::vector<Child> children_;
};

// Who studies now: a living child's id, or empty where no child is named
// (or the record could not say). Every answer is stored with it.
inline QString StudyingChild;

} // namespace study
