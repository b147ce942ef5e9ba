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

// What an operation's price is made of: the lowest price of its norm entries, how many entries
// it has and the norm of the cheapest one.
struct PriceBasis
{
    double basePrice = 0;
    int normEntries = 0;
    int norm = 0;
};

// How the final price came about, in the foreman's words, e.g. "Цена 12,50 — наименьшая по
// нормам (норма 100) × 2 (выходной) × 1,5 (переработка) = 37,50". Only the factors that apply
// are named; the result is the price as the record stores it.
QString explainedPrice(const PriceBasis& basis, bool dayOff, int shift);

// Paint operations need a colour: their type name holds "КРАСКА" in any letter case.
bool isPaintOperation(const QString& operationText);

} // namespace tabel
