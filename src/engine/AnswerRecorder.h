#pragma once

#include "engine/Practice.h"
#include "engine/ProblemSet.h"

#include <QElapsedTimer>
#include <QString>

namespace engine {

// Puts each judged answer of the drill on screen into the learning record,
// with what the drill was and how long the answer took. The record never
// holds a drill up: a store that refuses is the store's business.
class AnswerRecorder {
public:
    // A new drill begins, from the study state as it is now.
    void BeginDrill(bool retry);
    // A new にがて練習 drill begins, of the kind the parent picked (whatever the
    // settings' kind and range).
    void BeginPractice(const PracticeKind &kind);
    // The question the child now sees; its time starts here.
    void QuestionShown();
    // The answer to the question on screen was judged. Stores it before it
    // returns (the feedback comes after).
    void Judged(const ProblemRecord &problem, const QString &typed, bool right);

private:
    QString drill_;
    bool retry_ = false;
    std::optional<PracticeKind> practice_;
    QElapsedTimer shown_;
};

} // namespace engine
