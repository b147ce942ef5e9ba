#pragma once

#include <QString>

namespace tabel {

// Prices are kept to 4 decimals; a half goes to the even neighbour, as the
// accounting department rounds (1.03125 -> 1.0312, 1.03135 -> 1.0314).
double roundHalfEven(double value, int decimals = 4);

// A number as the users read it: decimal comma, no group separator, at least
// minDecimals and at most maxDecimals digits after the comma ("#0.00#" is 2..3).
QString formatDecimal(double value, int minDecimals, int maxDecimals);

} // namespace tabel
