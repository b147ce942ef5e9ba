#pragma once

#include <functional>

namespace tabel {

class Database;

// Throws a month's hours ledger away and builds it again from the production records: one row
// for every worker and shift number with records in the month, each day column the sum of
// that day's hours, as the day recompute would have written it.
class MonthRebuild
{
public:
    // Where the rebuild stands when the progress callback is called; nothing is committed
    // before the last step has been reported.
    enum Step { Locked = 1, Deleted = 2, Inserted = 3 };
    static constexpr int steps = 3;
    using Progress = std::function<void(int step, int steps)>;

    explicit MonthRebuild(Database& database);

    // All or nothing: whatever throws, the callback included, leaves the month as it was.
    void run(int month, int year, const Progress& progress = {});

private:
    Database& m_database;
};

} // namespace tabel
