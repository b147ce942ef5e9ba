#pragma once

#include <QString>

namespace tabel {

// Every number the program writes as text goes through one of the rules below. They differ on
// purpose, so a caller names the one it needs: prices round as the accounting department does,
// printed reports as their display masks always have, and spreadsheet cells and edit boxes keep
// the value itself. All of them write the Russian decimal comma (unless asked for a point) and
// no group separator, and none writes "-0".

// Prices are kept to 4 decimals; a half goes to the even neighbour, as the
// accounting department rounds (1.03125 -> 1.0312, 1.03135 -> 1.0314).
double roundHalfEven(double value, int decimals = 4);

// Prices and amounts in the windows: the value rounded half to even at maxDecimals, then
// trailing zeros dropped down to minDecimals ("#0.00#" is 2..3): 1.03125 -> "1,0312" at 0..4.
QString halfEvenText(double value, int minDecimals, int maxDecimals);

// The display masks of printed reports ("#0.00" is 2..2, "#0.00#" 2..3): the decimal the value
// stands for, read at 15 significant digits, rounded half away from zero. So 2.675, stored a
// hair below, and a sum whose last bits drifted (0.1 + 0.2) print as the decimal the user typed
// or added up: "2,68" and "0,30" at 2 decimals.
QString maskText(double value, int minDecimals, int maxDecimals);

enum class DecimalMark { Comma, Point };

// Spreadsheet cells and edit boxes: the shortest text that reads back as the value kept to 15
// significant digits, the most a spreadsheet keeps, and never an exponent: the spreadsheet reads
// such a text as the number, where "5e-06" or a 16th digit would leave the cell text.
// 0.1 + 0.2 -> "0,3", 0.000005 -> "0,000005". A point instead of the comma for the boxes whose
// validator turns every comma into one.
QString shortestText(double value, DecimalMark mark = DecimalMark::Comma);

} // namespace tabel
