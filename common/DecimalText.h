#pragma once

#include <QString>
#include <optional>

namespace tabel {

// The number a typed decimal stands for. Users type either mark, a comma as the Russian
// keyboard gives it or a point as the number pad does, and both must store the same value.
// Blanks around the text are dropped; inside it only digits and at most one mark are taken,
// with a digit on at least one side of the mark ("5,", ",5"). Signs, exponents and group
// separators are refused: a box that would take them stores numbers the user never meant.
// Nothing when the text holds no such number, an empty text included.
std::optional<double> parseDecimal(const QString& typed);

} // namespace tabel
