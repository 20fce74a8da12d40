#pragma once

#include "engine/Practice.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <vector>

// 計算プリント: a worksheet of problems for paper, with its answers.
namespace engine {

struct WorksheetRequest {
    PracticeKind kind;
    int count = 30;
    bool fromWeak = true;   // the record's weak facts first, as にがて練習 sets them
    std::uint32_t number = 1; // the sheet's number: the same number, the same sheet
    QDate today;            // the schedule's day, for the weak facts
    bool columns = false;   // 筆算: the problems that are worked in columns so
};

struct Worksheet {
    WorksheetRequest request;
    std::vector<ProblemRecord> problems; // in the sheet's order
    QString title;   // "計算プリント　九九（七の段）"
    QString childName; // on the なまえ line; empty leaves it to be written in
};

inline constexpr int WorksheetMinCount = 20;
inline constexpr int WorksheetMaxCount = 50;
// The numbers offered: five digits at most, so a parent can note one down.
inline constexpr std::uint32_t WorksheetMaxNumber = 99999;

// The sheet for the request. Drawn sheets depend on the number alone; sheets
// of weak facts also on the record as it is on the day.
Worksheet MakeWorksheet(const std::vector<AnswerRow> &answers, const WorksheetRequest &request);

// The name offered for its file: "計算プリント_九九_00042.pdf".
QString WorksheetFileName(const Worksheet &sheet);

// The label of a kind and range as the settings' lists show them.
QString PracticeKindLabel(const PracticeKind &kind);

} // namespace engine
