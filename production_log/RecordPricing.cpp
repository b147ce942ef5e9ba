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

QString explainedPrice(const PriceBasis& basis, bool dayOff, int shift)
{
    const auto money = [](double value) { return halfEvenText(value, 2, 4); };
    QString text = QStringLiteral("Цена %1").arg(money(basis.basePrice));
    if (basis.normEntries > 1)
        text += QStringLiteral(" — наименьшая по нормам (норма %1)").arg(basis.norm);
    else if (basis.normEntries == 1)
        text += QStringLiteral(" — по норме %1").arg(basis.norm);
    bool raised = false;
    if (dayOff) {
        text += QStringLiteral(" × 2 (выходной)");
        raised = true;
    }
    if (shift == 3) {
        text += QStringLiteral(" × 1,2 (смена №3)");
        raised = true;
    } else if (shift == 4) {
        text += QStringLiteral(" × 1,5 (переработка)");
        raised = true;
    }
    if (raised)
        text += QStringLiteral(" = %1").arg(money(storedPrice(finalPrice(basis.basePrice, dayOff, shift))));
    return text;
}

bool isPaintOperation(const QString& operationText)
{
    return operationText.toUpper().contains(QStringLiteral("КРАСКА"));
}

} // namespace tabel
