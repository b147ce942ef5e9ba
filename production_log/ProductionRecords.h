#pragma once

#include <QDate>
#include <QString>

namespace tabel {

class Database;

// Changes the main log window makes to production records, each as one transaction.
class ProductionRecords
{
public:
    explicit ProductionRecords(Database& database);

    // "ok" and "да" are closed marks; anything else (including none) is open.
    static bool isClosedMark(const QString& mark);
    // Closes an open record and reopens a closed one; returns the mark written.
    QString toggleClosedMark(int recordId, const QString& currentMark);
    // Deletes the record and recomputes the day it belonged to, together. The day is the
    // one the database holds for the record, whatever an older list showed.
    void deleteRecord(int recordId);

private:
    Database& m_database;
};

} // namespace tabel
