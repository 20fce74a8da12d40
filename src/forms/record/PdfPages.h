#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

#include <functional>

class QPainter;

// What the printed sheets share: A4 portrait with 15 mm margins, drawn at
// 300 dpi, in one ink and one red for answers.
namespace forms::pdf {

inline constexpr int Dpi = 300;
inline const QColor Ink(0, 0, 0);
inline const QColor Faint(110, 110, 110);
inline const QColor AnswerRed(200, 0, 0);

// Millimetres as the painter's units.
inline double Mm(double mm)
{
    return mm * Dpi / 25.4;
}

// A PDF of `pages` pages, each drawn by `draw` (page numbers from 0).
QByteArray A4Pdf(const QString &title, int pages, const std::function<void(QPainter &, int)> &draw);

} // namespace forms::pdf
