#pragma once

#include "engine/Practice.h"
#include "engine/ProblemSet.h"

#include <QElapsedTimer>
#include <QString>

namespace engine {

// What a drill's answers are kept as in the learning record: the kind and
// range they belong to, and whether the drill retried missed problems or was
// a にがて練習 made from the record.
struct DrillContext {
    std::int16_t calcKind = 0;
    std::int16_t rangeMax = 0;
    bool retry = false;
    bool practice = false;
    QString child; // who studies: study::StudyingChild when the drill began

    bool operator==(const DrillContext &) const = default;

    // A drill of the study state's kind and range, as it is now, for the
    // child studying now.
    static DrillContext FromStudyState();
    // A にがて練習 of the kind the parent picked, whatever the settings' kind.
    static DrillContext Practice(const PracticeKind &kind);
    // Another try at this drill's missed problems: kept as what it retries.
    DrillContext Retry() const;
};

// Puts each judged answer of the drill on screen into the learning record,
// with what the drill was and how long the answer took. The record never
// holds a drill up: a store that refuses is the store's business.
class AnswerRecorder {
public:
    // A new drill begins (or, with its name, one taken up again).
    void Begin(const DrillContext &context, const QString &drill = QString());
    // The drill's name in the record.
    const QString &DrillName() const { return drill_; }
    // The question the child now sees; its time starts here.
    void QuestionShown();
    // The answer to the question on screen was judged. Stores it before it
    // returns (the feedback comes after).
    void Judged(const ProblemRecord &problem, const QString &typed, bool right);

private:
    QString drill_;
    DrillContext context_;
    QElapsedTimer shown_;
};

} // namespace engine
