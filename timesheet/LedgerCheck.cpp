#include "timesheet/LedgerCheck.h"

#include "db/Database.h"
#include "db/SharedStatements.h"
#include "db/Transaction.h"
#include "production_log/HoursLedger.h"
#include "timesheet/MonthlySummary.h"

#include <QDate>
#include <QSqlQuery>
#include <QStringList>
#include <stdexcept>

namespace tabel {

namespace {
constexpr int days = MonthlySummary::days;

QString hoursText(const QVariant& hours)
{
    return hours.isNull() ? QString() : QString::number(hours.toLongLong());
}
} // namespace

QString LedgerDifference::kindText(Kind kind)
{
    switch (kind) {
    case Kind::Differs:
        return QStringLiteral("расходится");
    case Kind::NotInLedger:
        return QStringLiteral("нет в табеле");
    case Kind::NoRecords:
        return QStringLiteral("нет записей");
    case Kind::ExtraRow:
        return QStringLiteral("лишняя строка табеля");
    }
    return QString();
}

QString LedgerDifference::displayName() const
{
    return name.isEmpty() ? QStringLiteral("№ %1 (нет в справочнике)").arg(workerId) : name;
}

QStringList LedgerDifference::texts() const
{
    return {displayName(),          QString::number(shift), dayText(),
            hoursText(ledgerHours), hoursText(recordHours), kindText()};
}

QString LedgerCheckResult::summary() const
{
    if (agrees())
        return QStringLiteral("Табель сходится с записями: %1 строк, %2 дней проверено.")
            .arg(ledgerRows)
            .arg(days);
    return QStringLiteral("Табель не сходится с записями: расхождений — %1 (%2 строк, %3 дней проверено).")
        .arg(differences.size())
        .arg(ledgerRows)
        .arg(days);
}

QString LedgerCheckResult::caption() const
{
    return QStringLiteral("Сверка табеля — %1 %2").arg(monthNames().value(month - 1)).arg(year);
}

QStringList LedgerCheckResult::columnTitles()
{
    return {QStringLiteral("Фамилия И.О."), QStringLiteral("Смена"),      QStringLiteral("Число"),
            QStringLiteral("В табеле"),     QStringLiteral("По записям"), QStringLiteral("Расхождение")};
}

LedgerCheck::LedgerCheck(Database& database) : m_database(database) {}

// Both sides become arrays of 31 day values per worker and shift, and only the pairs are
// joined, not the month's 31 cells of every row: a join of cells sorted or hashed some 140,000
// rows on the busiest month and took twice as long. Only the pairs that differ are taken apart
// into days. A day sum is NULL where the worker has no record that day, so that "no records"
// stays apart from "records of 0 hours"; the "worked" arrays read both as 0, as the ledger's
// default does, and find the pairs that differ. Persons are looked up only for the differences
// found, by the time sheet's rule: the person whose code, read as a whole number, is the
// worker's number, else the person with that id; a code that is not a whole number matches
// nothing and fails nothing. The first row carries the number of ledger rows checked, so that
// an agreeing month still answers with a row.
QString LedgerCheck::statement()
{
    QStringList sums;
    QStringList worked;
    QStringList dayColumns;
    QStringList ledgerWorked;
    QStringList blanks;
    QStringList dayValues; // smallint, as the columns are; their sum must not be
    for (int day = 1; day <= days; ++day) {
        const QString column = HoursLedger::dayColumn(day);
        // The server computes a sum once however often the statement names it.
        const QString sum = QStringLiteral("sum(hours) filter (where day = %1)").arg(day);
        sums << sum;
        worked << QStringLiteral("coalesce(%1, 0)").arg(sum);
        dayColumns << column;
        ledgerWorked << QStringLiteral("coalesce(%1, 0)").arg(column);
        blanks << QStringLiteral("%1 is null").arg(column);
        dayValues << QStringLiteral("coalesce(%1, 0)::integer").arg(column);
    }
    // The day number as a date difference: extracting it from the date as a numeric value took
    // a sixth of the statement's time.
    return QStringLiteral(R"(with month_records as (
  select w_id, smena, data - :dayZero as day, coalesce(time, 0) as hours
  from accounts_dep.smena
  where data >= :first and data < :next and smena between 1 and 4 and w_id is not null
  offset 0),
by_records as (
  select w_id, smena, sum(hours) as total, array[%1] as hours, array[%2] as worked
  from month_records group by w_id, smena),
by_ledger as (
  select w_id, smena, %6 as total, array[%3] as hours, array[%4]::bigint[] as worked, %5 as blanks
  from accounts_dep.h_tabel
  where month = :month and year = :year and smena between 1 and 4 and w_id is not null),
pairs as (
  select coalesce(l.w_id, r.w_id) as w_id, coalesce(l.smena, r.smena) as smena,
         l.hours as ledger, r.hours as records, l.total as ledger_total, r.total as records_total,
         l.blanks or l.worked is distinct from r.worked as differs
  from by_ledger l full join by_records r on r.w_id = l.w_id and r.smena = l.smena),
differences as (
  select p.w_id, p.smena, c.day::integer as day, c.ledger::bigint as ledger, c.records,
         case when c.records is null then 3 when c.ledger is null then 2 else 1 end as kind
  from pairs p cross join lateral unnest(p.ledger, p.records) with ordinality as c(ledger, records, day)
  where p.differs and case when c.records is null then c.ledger <> 0 else c.ledger is distinct from c.records end
  union all
  select w_id, smena, null, sum(ledger_total), max(records_total), 4
  from pairs group by w_id, smena having count(*) > 1),
numbered as (
  select distinct on (code) code, s_caption
  from (select %7 as code, s_caption, id
        from cmn_contractor.person person) as person
  where code is not null
  order by code, id)
select kind, w_id, fio, smena, day, ledger, records
from (select 0 as kind, null::integer as w_id, null::text as fio, null::integer as smena, null::integer as day,
             (select count(*) from by_ledger) as ledger, null::bigint as records
      union all
      select d.kind, d.w_id, coalesce(n.s_caption, own.s_caption), d.smena, d.day, d.ledger, d.records
      from differences d
      left join numbered n on n.code = d.w_id
      left join cmn_contractor.person own on n.code is null and own.id = d.w_id) as listed
order by kind <> 0, fio, w_id, smena, day nulls first)")
        .arg(sums.join(QStringLiteral(", ")), worked.join(QStringLiteral(", ")),
             dayColumns.join(QStringLiteral(", ")), ledgerWorked.join(QStringLiteral(", ")),
             blanks.join(QStringLiteral(" or ")), dayValues.join(QLatin1Char('+')),
             statements::personNumber(QStringLiteral("person")));
}

LedgerCheckResult LedgerCheck::run(int month, int year)
{
    const QDate first(year, month, 1);
    if (!first.isValid())
        throw std::invalid_argument("LedgerCheck: no such month");
    LedgerCheckResult result;
    result.month = month;
    result.year = year;
    result.days = first.daysInMonth();

    // The transaction only scopes the setting: compiling the statement's 31 sums costs the
    // server more than running them (as in the month rebuild).
    Transaction transaction(m_database);
    m_database.execute(QStringLiteral("set local jit = off"));
    QSqlQuery rows = m_database.execute(statement(), {{":dayZero", first.addDays(-1)},
                                                      {":first", first},
                                                      {":next", first.addMonths(1)},
                                                      {":month", month},
                                                      {":year", year}});
    while (rows.next()) {
        const int kind = rows.value(0).toInt();
        if (kind == 0) {
            result.ledgerRows = rows.value(5).toInt();
            continue;
        }
        LedgerDifference difference;
        difference.kind = LedgerDifference::Kind(kind);
        difference.workerId = rows.value(1).toInt();
        difference.name = rows.value(2).toString().trimmed();
        difference.shift = rows.value(3).toInt();
        difference.day = rows.value(4).toInt();
        difference.ledgerHours = rows.value(5);
        difference.recordHours = rows.value(6);
        result.differences.append(difference);
    }
    transaction.commit();
    return result;
}

} // namespace tabel
