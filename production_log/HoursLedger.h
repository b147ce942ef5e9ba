#pragma once

#include <QDate>
#include <QString>

namespace tabel {

class Database;

// Keeps accounts_dep.h_tabel in step with the production records: one day column of one
// worker's row for one shift and month holds the sum of that day's hours.
// Runs inside the caller's transaction, so the record change and its ledger land together.
class HoursLedger
{
public:
    explicit HoursLedger(Database& database);

    // After a record was inserted or changed: creates the month's row when it is missing.
    void recomputeAfterSave(int workerId, int shift, const QDate& date);
    // After a record was deleted: only an existing row is updated.
    void recomputeAfterDeletion(int workerId, int shift, const QDate& date);

    static QString dayColumn(int day);

    // The hours of a worker's records of one shift and day, other than excludedRecordId. It takes
    // no lock: a record that moves locks its two days in a fixed order later, and locking one of
    // them here first could make two such moves wait for each other.
    int dayHours(int workerId, int shift, const QDate& date, int excludedRecordId = 0);
    // The month rebuild holds this key exclusively while it replaces the month's rows; each
    // recompute holds it shared, so it never writes into rows the rebuild is throwing away.
    static QString monthLockKey(int month, int year);

private:
    void lockRow(int workerId, int shift, const QDate& date);
    int daySum(int workerId, int shift, const QDate& date);
    void updateDay(int workerId, int shift, const QDate& date, int hours);

    Database& m_database;
};

} // namespace tabel
