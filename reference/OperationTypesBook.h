#pragma once

#include <QString>
#include <optional>

namespace tabel {

class DataModule;

// Writes of the operation types list; each is one transaction.
class OperationTypesBook
{
public:
    enum class Removal { Removed, UsedByOperations, UsedByRecords };

    explicit OperationTypesBook(DataModule& dataModule);

    // A name equal to another type's apart from letter case and surrounding blanks is refused:
    // the answer is false, and the caller tells the user.
    bool add(const QString& name);
    bool change(int id, const QString& name);
    // Refused while operations use the type. Production records reach a type only through
    // their operation, so a type without operations has no records either; the answer still
    // tells the two apart, as records are what the user has to know about.
    Removal remove(int id);

private:
    bool isDuplicate(const QString& name, std::optional<int> excludedId);

    DataModule& m_dataModule;
};

} // namespace tabel
