#include "production_log/HoursLedger.h"

#include "db/Database.h"
#include "db/DbError.h"

namespace tabel {

HoursLedger::HoursLedger(Database& database) : m_database(database) {}

QString HoursLedger::dayColumn(int day)
{
    Q_ASSERT(day >= 1 && day <= 31);
    return QStringLiteral("d") + QString::number(day);
}

QString HoursLedger::monthLockKey(int month, int year)
{
    return QStringLiteral("h_tabel/month/%1/%2").arg(month).arg(year);
}

void HoursLedger::lockRow(int workerId, int shift, const QDate& date)
{
    if (!m_database.inTransaction())
        throw DbError(QStringLiteral("Пересчёт табеля вызван вне транзакции"));
    // Without it a recompute during a month rebuild either updates a row the rebuild has just
    // deleted (and the day's new hours are lost) or inserts a second row beside the rebuilt one.
    m_database.lockKeyShared(monthLockKey(date.month(), date.year()));
    // Without it two clients saving a worker's first record of the month both find no row
    // and both insert one; it also keeps concurrent recomputes of a day from writing a sum
    // that misses the other's record.
    m_database.lockKey(
        QStringLiteral("h_tabel/%1/%2/%3/%4").arg(workerId).arg(shift).arg(date.month()).arg(date.year()));
}

int HoursLedger::daySum(int workerId, int shift, const QDate& date)
{
    return m_database.readInt(
        QStringLiteral("select sum(time) as tim from accounts_dep.smena where w_id=:w and "
                       "smena=:s and data=:data group by w_id, smena, data"),
        QStringLiteral("tim"), {{":w", workerId}, {":s", shift}, {":data", date}});
}

void HoursLedger::updateDay(int workerId, int shift, const QDate& date, int hours)
{
    // A column name cannot be bound; it comes from the day number alone.
    QString sql = QStringLiteral("update accounts_dep.h_tabel set {day}=:t where w_id=:w and smena=:s and "
                                 "month=:m and year=:y");
    sql.replace(QStringLiteral("{day}"), dayColumn(date.day()));
    m_database.execute(
        sql, {{":t", hours}, {":w", workerId}, {":s", shift}, {":m", date.month()}, {":y", date.year()}});
}

void HoursLedger::recomputeAfterSave(int workerId, int shift, const QDate& date)
{
    lockRow(workerId, shift, date);
    const int rows = m_database.readInt(
        QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel where "
                       "w_id=:w and smena=:s and month=:m and year=:y"),
        QStringLiteral("cnt"), {{":w", workerId}, {":s", shift}, {":m", date.month()}, {":y", date.year()}});
    const int hours = daySum(workerId, shift, date);
    if (rows != 0) {
        updateDay(workerId, shift, date, hours);
        return;
    }
    QString sql = QStringLiteral("insert into accounts_dep.h_tabel(smena, w_id, month, year, {day}) "
                                 "values(:s, :w, :m, :y, :t)");
    sql.replace(QStringLiteral("{day}"), dayColumn(date.day()));
    m_database.execute(
        sql, {{":s", shift}, {":w", workerId}, {":m", date.month()}, {":y", date.year()}, {":t", hours}});
}

int HoursLedger::dayHours(int workerId, int shift, const QDate& date, int excludedRecordId)
{
    return m_database.readInt(
        QStringLiteral("select coalesce(sum(time), 0) as tim from accounts_dep.smena where "
                       "w_id=:w and smena=:s and data=:data and id<>:id"),
        QStringLiteral("tim"), {{":w", workerId}, {":s", shift}, {":data", date}, {":id", excludedRecordId}});
}

void HoursLedger::recomputeAfterDeletion(int workerId, int shift, const QDate& date)
{
    lockRow(workerId, shift, date);
    updateDay(workerId, shift, date, daySum(workerId, shift, date));
}

} // namespace tabel
