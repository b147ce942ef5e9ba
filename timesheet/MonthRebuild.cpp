#include "timesheet/MonthRebuild.h"

#include "db/Database.h"
#include "db/Transaction.h"
#include "production_log/HoursLedger.h"

#include <QDate>
#include <QStringList>
#include <stdexcept>

namespace tabel {

namespace {
// One pass over the month's records instead of a statement per worker and day; the day
// columns come from day numbers alone, never from text. "offset 0" keeps the subquery from
// being merged into the sums, which would compute each record's day once per day column:
// 31 date extractions per record made the statement four times slower.
QString insertStatement()
{
    QStringList columns;
    QStringList sums;
    for (int day = 1; day <= 31; ++day) {
        columns << HoursLedger::dayColumn(day);
        sums << QStringLiteral("coalesce(sum(time) filter (where day = %1), 0)").arg(day);
    }
    return QStringLiteral("insert into accounts_dep.h_tabel(w_id, smena, month, year, %1)\n"
                          "select w_id, smena, :month::smallint, :year::smallint,\n%2\n"
                          "from (select w_id, smena, extract(day from data)::integer as day, time\n"
                          "      from accounts_dep.smena where data >= :first and data < :next offset 0) as "
                          "month_records\n"
                          "group by w_id, smena")
        .arg(columns.join(QStringLiteral(", ")), sums.join(QStringLiteral(",\n")));
}
} // namespace

MonthRebuild::MonthRebuild(Database& database) : m_database(database) {}

void MonthRebuild::run(int month, int year, const Progress& progress)
{
    const QDate first(year, month, 1);
    if (!first.isValid())
        throw std::invalid_argument("MonthRebuild: no such month");
    const auto report = [&](Step step) {
        if (progress)
            progress(step, steps);
    };

    Transaction transaction(m_database);
    // The month waits for the saves of that month that are under way; each is short, but a
    // busy floor may have several, so the rebuild waits up to a minute rather than the few
    // seconds after which a user's own action gives up. The setting ends with the transaction.
    m_database.execute(QStringLiteral("select set_config('lock_timeout', '60s', true)"));
    m_database.lockKey(HoursLedger::monthLockKey(month, year));
    report(Locked);
    // Every shift number, 4 included: rows of workers who no longer have records must go too.
    m_database.execute(QStringLiteral("delete from accounts_dep.h_tabel where month=:month and year=:year"),
                       {{":month", month}, {":year", year}});
    report(Deleted);
    // Compiling the 31 sums takes the server longer (70 to 280 ms measured) than running them
    // on a month's records; the setting ends with the transaction.
    m_database.execute(QStringLiteral("set local jit = off"));
    m_database.execute(
        insertStatement(),
        {{":month", month}, {":year", year}, {":first", first}, {":next", first.addMonths(1)}});
    report(Inserted);
    transaction.commit();
}

} // namespace tabel
