#pragma once

#include "engine/AnswerRecorder.h"
#include "engine/ProblemSet.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace platform {
class RecordStore;
}

// A drill that must go on after its program ends (a Spartan one: no way out
// half-way, not even a reload or a killed program), kept with the learning
// record from its first question to the parent unlocking its results. Its
// answers are in the record already; what is kept here is what the answers
// do not say: the problems in the order asked, and what the drill was.
namespace engine {

struct OpenDrill {
    QString drill;        // its name in the record, the same as its answers'
    std::int16_t mode = 0;
    std::int16_t problemCount = 0;
    DrillContext context;
    // A 百ます grid: its size (5 or 10), 0 for a drill of questions. Its
    // problems are its crossings, row by row.
    int gridSize = 0;
    std::vector<ProblemRecord> problems;

    bool operator==(const OpenDrill &) const = default;
};

// The named value a drill is kept under: "drill/" and its name.
inline const QString OpenDrillPrefix = QStringLiteral("drill/");

QString OpenDrillText(const OpenDrill &drill);
std::optional<OpenDrill> ParseOpenDrill(QStringView text);

// Keeps the drill with the record, claims it for this copy of the program
// and holds the page (a browser asks before it is left). False when the
// record could not keep it (the drill goes on, as before, without).
bool KeepOpen(platform::RecordStore &store, const OpenDrill &drill);
// The drill has ended for good (its results unlocked).
void EndOpen(platform::RecordStore &store, const QString &drill);
// A kept drill that no running copy of the program holds, claimed for this
// one; none when there is none, or the record cannot say.
std::optional<OpenDrill> TakeUpOpenDrill(platform::RecordStore &store);

} // namespace engine
