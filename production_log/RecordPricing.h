#pragma once

#include <QString>

namespace tabel {

// The price of one good piece: the operation's base price, doubled on a day off, then
// raised by a fifth on the third shift or by half on overtime. Not rounded: the amount is
// the quantity times this price, and rounding first would lose the fifth decimal ten times.
double finalPrice(double basePrice, bool dayOff, int shift);

// The price as a record stores it: 4 decimals, halves to even.
double storedPrice(double finalPrice);

// A price or amount as the editor shows it: 4 decimals at most, halves to even, comma.
QString displayPrice(double value);

// Paint operations need a colour: their type name holds "КРАСКА" in any letter case.
bool isPaintOperation(const QString& operationText);

} // namespace tabel
