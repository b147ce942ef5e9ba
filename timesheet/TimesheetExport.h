#pragma once

#include <QString>
#include <functional>

namespace tabel {

class Database;
class SpreadsheetWriter;

// Writes a month's time sheet into a new workbook: the month, the titles, then one row per
// worker of the monthly summary with the hours of days 1 to 31 and their total. All 31 days
// are written whatever the month's length; days the month lacks read 0.
class TimesheetExport
{
public:
    // After each written worker: k written of n. Also called once with k = 0 before the first.
    using Progress = std::function<void(int written, int total)>;

    TimesheetExport(Database& database, SpreadsheetWriter& writer);

    // False when the writer could not open a workbook (it has told the user); nothing is written.
    bool run(int month, int year, const Progress& progress = {});

private:
    Database& m_database;
    SpreadsheetWriter& m_writer;
};

} // namespace tabel
