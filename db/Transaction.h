#pragma once

namespace tabel {

class Database;

// All of a user action's writes land together or not at all: rolls back unless committed.
// Inside a transaction that is already open it joins that one, whose owner decides.
class Transaction
{
public:
    explicit Transaction(Database& database);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Database& m_database;
    bool m_owner = false;
    bool m_done = false;
};

} // namespace tabel
