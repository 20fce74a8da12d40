#pragma once

#include "platform/RecordStore.h"
#include "study/Children.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <vector>

namespace engine {

// The whole record, one row per answer, for a spreadsheet: UTF-8 with a byte
// order mark (so spreadsheets take it for UTF-8), CRLF line ends, every field
// quoted, and a text that a spreadsheet would take for a formula made plain.
// The last column names the child each answer is of, as the list names them
// (a removed child keeps their name; empty for answers of nobody).
QByteArray RecordCsv(const std::vector<platform::AnswerRow> &answers, const study::ChildList &children = {});
// The file name offered for it: "学習の記録_20261208.csv".
QString RecordCsvName(const QDate &day);

} // namespace engine
