#pragma once

#include <optional>

namespace tabel {

class DataModule;

// An operation: an operation type applied to one product of one product kind.
struct Operation
{
    int typeId = 0;
    int kind = 0; // 0 finished products, 1 blanks
    int productId = 0;
};

// Writes of the operations list; each is one transaction.
class OperationsBook
{
public:
    explicit OperationsBook(DataModule& dataModule);

    // A new operation with its first norm entry, so that it can be picked for a production
    // record at once. False when such an operation exists; the caller tells the user.
    bool add(const Operation& operation, double firstPrice);
    bool change(int id, const Operation& operation);
    // False when production records still refer to the operation: deleting it would make
    // them vanish from every list and report, so nothing is deleted.
    bool remove(int id);

private:
    bool isDuplicate(const Operation& operation, std::optional<int> excludedId);

    DataModule& m_dataModule;
};

} // namespace tabel
