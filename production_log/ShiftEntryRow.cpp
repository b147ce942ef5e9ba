#include "production_log/ShiftEntryRow.h"

#include "common/Numbers.h"

namespace tabel {

int ShiftEntryRow::nextInput(int column) const
{
    for (int next = column + 1; isInput(next); ++next)
        if (needsInput(next))
            return next;
    return -1;
}

int ShiftEntryRow::previousInput(int column) const
{
    for (int previous = column - 1; isInput(previous); --previous)
        if (needsInput(previous))
            return previous;
    return -1;
}

int ShiftEntryRow::firstEmpty() const
{
    if (workerId == 0)
        return WorkerColumn;
    if (!operation)
        return OperationColumn;
    const std::pair<int, const QString*> numbers[] = {{QuantityColumn, &quantity},
                                                      {RejectsColumn, &rejects},
                                                      {HoursColumn, &hours},
                                                      {ColourColumn, &colour}};
    for (const auto& [column, value] : numbers)
        if (needsInput(column) && value->trimmed().isEmpty())
            return column;
    return -1;
}

bool ShiftEntryRow::typed() const
{
    return operation || !quantity.isEmpty() || !colour.isEmpty() || rejects != QLatin1String("0") ||
           hours != QLatin1String("0");
}

double ShiftEntryRow::price(const WorkingDay& day) const
{
    return operation ? storedPrice(finalPrice(operation->basis.basePrice, day.dayOff, day.shift)) : 0;
}

std::optional<double> ShiftEntryRow::amount(const WorkingDay& day) const
{
    if (!operation || quantity.isEmpty())
        return std::nullopt;
    return roundHalfEven((quantity.toLongLong() - rejects.toLongLong()) * price(day), 2);
}

QString ShiftEntryRow::text(int column, const WorkingDay& day) const
{
    switch (column) {
    case WorkerColumn:
        return worker;
    case OperationColumn:
        return operation ? operation->text : QString();
    case QuantityColumn:
        return quantity;
    case RejectsColumn:
        return rejects;
    case HoursColumn:
        return hours;
    case ColourColumn:
        return paint() ? colour : QString();
    case PriceColumn:
        return operation ? displayPrice(price(day)) : QString();
    case AmountColumn:
        if (const std::optional<double> value = amount(day))
            return halfEvenText(*value, 2, 2);
        return QString();
    }
    return QString();
}

ProductionRecord ShiftEntryRow::record(const WorkingDay& day) const
{
    ProductionRecord record;
    record.workerId = workerId;
    if (operation) {
        record.productId = operation->productId;
        record.operationId = operation->operationId;
    }
    record.price = price(day);
    record.quantity = quantity.trimmed().toInt();
    record.rejects = rejects.trimmed().toInt();
    record.date = day.date;
    record.shift = day.shift >= 1 && day.shift <= 4 ? day.shift : 1;
    record.colour = paint() ? colour.trimmed().toInt() : 0;
    record.hours = hours.trimmed().toInt();
    return record;
}

} // namespace tabel
