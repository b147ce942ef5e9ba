#include "production_log/RecordPricing.h"

#include "common/Numbers.h"

namespace tabel {

double finalPrice(double basePrice, bool dayOff, int shift)
{
    double price = basePrice;
    if (dayOff)
        price *= 2;
    if (shift == 3)
        price *= 1.2;
    else if (shift == 4)
        price *= 1.5;
    return price;
}

double storedPrice(double finalPrice)
{
    return roundHalfEven(finalPrice, 4);
}

QString displayPrice(double value)
{
    return halfEvenText(value, 0, 4);
}

bool isPaintOperation(const QString& operationText)
{
    return operationText.toUpper().contains(QStringLiteral("КРАСКА"));
}

} // namespace tabel
