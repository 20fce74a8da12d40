#pragma once

#include "engine/Hyakumasu.h"
#include "engine/OpenDrill.h"

#include <optional>
#include <vector>

// A Spartan 百ます grid kept with the record, so that a reload or a killed
// program brings the child back to it, at the first crossing not stored.
namespace engine {

// What the record keeps of a grid begun: its crossings in order, whose
// operands say the grid's two sides.
OpenDrill KeptHyakumasu(const HyakumasuGrid &grid, const QString &drill, std::int16_t mode, const QString &child);

struct HyakumasuTakenUp {
    HyakumasuGrid grid;
    std::vector<QString> typed;        // each crossing's last stored text; empty where none was
    std::vector<std::int64_t> elapsed; // each crossing's stored time
    std::int64_t ms = 0;               // the time the stored crossings took
    int next = 0;                      // the first crossing not stored; Count() when every one was
};

// The kept grid as its stored rows leave it; none when what was kept is no
// grid (a drill of questions, or crossings that do not make one).
std::optional<HyakumasuTakenUp> TakeUpHyakumasu(const OpenDrill &open, const std::vector<platform::AnswerRow> &rows);

} // namespace engine
