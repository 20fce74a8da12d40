#pragma once

#include "platform/RecordStore.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace platform {

// One answer of the learning record as one line of text, the way the browser
// edition keeps it (one IndexedDB entry each). Every edition compiles it, so
// the desktop suites and the fuzzer read the rows a browser writes.
//
// Fields apart by tabs, the format first:
//   m1 drill at-ms-UTC offset-s mode kind range count retry no left right op answer correct ms typed
//   m2 the same, then practice (rows written since にがて練習)
//   m3 the same, then child and grid (a 百ます crossing)
// Rows of every format are read; new rows are written as m3. In the two
// texts a backslash, tab, line feed and carriage return are written \\ \t \n \r.
QString RecordRowText(const AnswerRow &row);

// No value for a row this version does not understand (it is counted, and
// left in place). The time keeps the offset the row was written with.
std::optional<AnswerRow> ParseRecordRow(QStringView text);

// A text field (the child, say) as a row holds it, for a store that looks
// for it without reading the rows.
QString RecordRowField(const QString &text);

} // namespace platform
