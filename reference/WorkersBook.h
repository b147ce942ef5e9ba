#pragma once

#include <QString>

namespace tabel {

class Database;

// Writes of the workers list; each is one transaction.
class WorkersBook
{
public:
    explicit WorkersBook(Database& database);

    void add(const QString& fullName, const QString& department);
    void change(int id, const QString& fullName, const QString& department);
    // False when production records still refer to the worker: deleting them would make
    // those records vanish from every list and report, so nothing is deleted.
    bool remove(int id);

private:
    Database& m_database;
};

} // namespace tabel
