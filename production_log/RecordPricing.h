#pragma once

#include <QString>

namespace tabel {

// The price of one good piece: the operation's base price, doubled on a day off, then
// raised by a fifth on the third shift or by half on overtime; kept to 4 decimals.
double finalPrice(double basePrice, bool dayOff, int shift);

// A price or amount as the editor shows it: 4 decimals at most, halves to even, comma.
QString displayPrice(double value);

// Paint operations need a colour: their type name holds "КРАСКА" in any letter case.
bool isPaintOperation(const QString& operationText);

} // namespace tabel
