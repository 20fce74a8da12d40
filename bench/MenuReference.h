#pragma once

// What the bare reference window shows: the menu's long description in the
// menu's face, size and place, in a window of the menu's client size. The
// drill driver checks these against the live menu, so the reference cannot
// drift away from the program it is compared with.

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include <ctime>

namespace bench {

inline const QString MenuText = QStringLiteral(
    "　このソフトは、算数の初期段階である、３桁までの足し算・引き算・掛け算・割り算の練習用アプリケーションソフトです。"
    "　お父さん・お母さんが設定をし、小学１～３年生の方に利用していただくことを前提として作成しております。"
    "　　　　　　　　スパルタに学習させすぎて、算数嫌いにならないようにご注意ください。");

// 9615 x 6915 twips; the label at 360, 1320, 8895 x 4215 twips (15 to a pixel).
inline constexpr QSize MenuSize(641, 461);
inline constexpr QRect MenuTextRect(24, 88, 593, 281);

inline QFont MenuFont()
{
    QFont font(QStringLiteral("ＭＳ Ｐ明朝"));
    font.setPointSizeF(26.25);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

inline long long MonotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

} // namespace bench
