#include "reports/ProductKind.h"

namespace tabel {

bool productKindShown(int choice, const QVariant& naimen)
{
    switch (choice) {
    case FinishedProducts:
        return !naimen.isNull() && naimen.toInt() == 0;
    case Blanks:
        return !naimen.isNull() && naimen.toInt() == 1;
    default:
        return true;
    }
}

RowFilter productKindFilter(int choice)
{
    if (choice != FinishedProducts && choice != Blanks)
        return {};
    // The column is looked up once: the filter runs for every row of a year.
    return [choice, column = -2](const ReportRow& row) mutable {
        if (column == -2)
            column = row.columnIndex(QStringLiteral("naimen"));
        return productKindShown(choice, column < 0 ? QVariant() : row.value(column));
    };
}

QString reportColourText(const QVariant& colour)
{
    const int number = colour.toInt();
    if (number == 1)
        return QStringLiteral(" (грунт)");
    if (number > 0)
        return QStringLiteral(" (RAL: %1)").arg(number);
    return QStringLiteral(" ");
}

} // namespace tabel
