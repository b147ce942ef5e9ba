#pragma once

#include "common/ProductKind.h"

#include <QString>

namespace tabel {

// What the operations list hands back as a picker.
struct OperationChoice
{
    int productId = 0;
    int operationId = 0;
    double basePrice = 0; // the lowest price of the operation's norm entries
    QString text;         // operationChoiceText of the operation
};

// An operation as a picked box and the list show it: "grade; operation type; product kind".
inline QString operationChoiceText(const QString& grade, const QString& operationType, const QVariant& kind)
{
    return grade.trimmed() + QStringLiteral("; ") + operationType.trimmed() + QStringLiteral("; ") +
           productKindCaption(kind);
}

} // namespace tabel
