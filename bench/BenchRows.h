#pragma once

#include "platform/RecordStore.h"

#include <QDateTime>

// The n-th answer of a record that the benches fill: 九九 drills of 30, one
// a second back from now, a wrong one in seven.
inline platform::AnswerRow TimesRow(int n)
{
    platform::AnswerRow row;
    row.drill = QStringLiteral("drill-%1").arg(n / 30);
    row.answeredAt = QDateTime::currentDateTime().addSecs(n - 200000);
    row.calcKind = 81;
    row.rangeMax = 81;
    row.problemCount = 30;
    row.questionNo = std::int16_t(n % 30 + 1);
    row.left = std::int16_t(n % 9 + 1);
    row.right = std::int16_t(n / 9 % 9 + 1);
    row.operation = 3;
    row.answer = std::int16_t(row.left * row.right);
    row.typed = QString::number(row.answer);
    row.correct = n % 7 != 0;
    row.elapsedMs = 1500 + n % 2000;
    return row;
}
