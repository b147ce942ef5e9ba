#pragma once

namespace tabel {

class Database;

// A production record refers to a worker and an operation. Saving a record and deleting either
// of them exclude each other until the transaction ends: without it, a record could be stored
// for a worker deleted a moment earlier by another copy of the program, and it would show in
// no list. Saves share the keys, so they never wait for one another.
class ReferenceUse
{
public:
    explicit ReferenceUse(Database& database) : m_database(database) {}

    // Before a save; then the caller checks that both still exist.
    void holdForSave(int workerId, int operationId);
    // Before a deletion; then the caller checks that no record refers to it.
    void holdWorkerForDeletion(int workerId);
    void holdOperationForDeletion(int operationId);

private:
    Database& m_database;
};

} // namespace tabel
