#pragma once

#include "engine/Worksheet.h"

#include <QByteArray>

namespace forms {

// The sheet as an A4 PDF of two pages: the problems, with blanks for the
// name and the date and room to write each answer, then the same problems
// with their answers. Its text is in the program's own faces, embedded.
QByteArray WorksheetPdf(const engine::Worksheet &sheet);

} // namespace forms
