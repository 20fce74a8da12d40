#pragma once

#include "engine/HyakumasuSheet.h"

#include <QByteArray>

namespace forms {

// The grid as an A4 PDF of two pages: the grid to fill in, with blanks for
// the name, the date and the time taken, then the same grid with every
// crossing's answer. Its text is in the program's own faces, embedded.
QByteArray HyakumasuSheetPdf(const engine::HyakumasuSheet &sheet);

} // namespace forms
