#pragma once

#include <QList>
#include <optional>

namespace tabel {

class Database;

// One norm entry of an operation. An empty cell of the grid is a NULL in the row, as the
// old table kept it, so every value may be missing.
struct NormEntry
{
    int id = 0; // 0 until the database has assigned one
    std::optional<int> norma;
    std::optional<double> price;
    std::optional<int> prize;
};

// Reads and writes the norm entries of operations. Each write is one transaction, or joins
// the caller's: the operation editor creates a new operation and its first entry together,
// so that the operation is never without one.
class NormsBook
{
public:
    explicit NormsBook(Database& database);

    // The operation's entries, lowest norm first.
    QList<NormEntry> entries(int operationId) const;
    int count(int operationId) const;

    // Returns the id the database gave the entry.
    int addEntry(int operationId, int norma, double price, int prize);
    int addEntry(int operationId, const NormEntry& entry);
    void changeEntry(const NormEntry& entry);
    // False, and nothing deleted, when it is its operation's only entry: an operation
    // without entries drops out of the operations list and can no longer be picked.
    bool removeEntry(int entryId);

private:
    Database& m_database;
};

} // namespace tabel
