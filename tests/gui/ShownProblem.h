#pragma once

// The answer to the question on the drill screen, worked out from what the
// screen shows (K1, E, K2), as a child would. Header-only: the tests and the
// benchmark driver both answer drills with it.

#include <QLabel>
#include <QWidget>

#include <optional>

inline std::optional<int> ShownAnswerOf(const QWidget *drillWindow)
{
    if (!drillWindow)
        return std::nullopt;
    const auto *k1 = drillWindow->findChild<QLabel *>(QStringLiteral("K1"));
    const auto *k2 = drillWindow->findChild<QLabel *>(QStringLiteral("K2"));
    const auto *e = drillWindow->findChild<QLabel *>(QStringLiteral("E"));
    if (!k1 || !k2 || !e)
        return std::nullopt;
    bool okLeft = false;
    bool okRight = false;
    const int left = k1->text().toInt(&okLeft);
    const int right = k2->text().toInt(&okRight);
    if (!okLeft || !okRight)
        return std::nullopt;
    const QString sign = e->text();
    if (sign == QStringLiteral("＋"))
        return left + right;
    if (sign == QStringLiteral("－"))
        return left - right;
    if (sign == QStringLiteral("×"))
        return left * right;
    if (sign == QStringLiteral("÷") && right != 0)
        return left / right;
    return std::nullopt;
}
