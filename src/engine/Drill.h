#pragma once

#include "engine/AnswerRecorder.h"
#include "engine/OpenDrill.h"
#include "engine/ProblemSet.h"
#include "engine/Review.h"
#include "platform/RecordStore.h"

#include <QString>

#include <optional>
#include <vector>

namespace platform {
class RandomSource;
}

namespace engine {

// What the answer check made of a typed answer.
enum class Verdict {
    NothingTyped, // the box is empty: nothing changes
    NotANumber,   // not a number: nothing changes
    Right,
    Wrong,
};

// One drill from its first question to its results: the problem set, the
// question on screen, the tallies, the answers given and what the record
// keeps of them. The drill screen draws it and forwards the child's input.
// The tallies are the study state's shared counters (QuestionNo,
// CorrectCount, WrongCount, AnswerState), which the results screen reads.
class Drill {
public:
    // A drill of the study state's kind, range and count.
    void Begin(platform::RandomSource &random);
    // A drill of these problems, each once in a new order (another try at
    // missed ones, a にがて練習), kept in the record as `context` says.
    void Begin(const std::vector<ProblemRecord> &problems, const DrillContext &context,
               platform::RandomSource &random);

    // A Spartan drill the record kept, taken up again at the question after
    // the last one judged, with the tallies and the missed list of the
    // answers stored before (in the study state as the drill had it).
    void Resume(const OpenDrill &open, const std::vector<platform::AnswerRow> &answers);
    // A Spartan drill ends for good when its results are unlocked: the
    // record no longer keeps it.
    void EndKept();
    // Whether the record keeps this drill to go on after a restart.
    bool Kept() const { return kept_; }

    // Every question has been answered: the results come next.
    bool Finished() const;
    // The question on screen.
    const ProblemRecord &Current() const;
    // The question is now on screen; its time starts.
    void Shown();
    // Judges the typed answer to the question on screen. A right or wrong
    // one moves the tallies, joins the log and is stored before this returns.
    Verdict Judge(const QString &typed);
    // On to the next question, once the feedback has been seen.
    void Next();
    // The score shown beside the current question: none until the first
    // right answer (the box keeps its text).
    std::optional<int> ShownScore() const;

    const AnswerLog &Log() const { return log_; }
    // What a retry of this drill's missed problems is kept as.
    DrillContext RetryContext() const { return context_.Retry(); }

    // The problem set outlives a drill, as the screen's own did.
    ProblemSet problemSet;

private:
    void Started(const DrillContext &context);
    // A Spartan drill is kept with the record from its first question.
    void KeepIfSpartan();

    AnswerLog log_;
    AnswerRecorder recorder_;
    DrillContext context_;
    bool kept_ = false;
};

} // namespace engine
