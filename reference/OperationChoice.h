#pragma once

#include <QString>

namespace tabel {

// What the operations list hands back as a picker.
struct OperationChoice
{
    int productId = 0;
    int operationId = 0;
    double basePrice = 0; // the lowest price of the operation's norm entries
    QString text;         // "grade; operation type; product kind"
};

} // namespace tabel
