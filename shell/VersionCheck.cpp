#include "shell/VersionCheck.h"

#include "db/DataModule.h"
#include "db/Database.h"
#include "db/Transaction.h"

#include <QSqlQuery>

namespace tabel {

VersionCheck::VersionCheck(Database& database, DataModule& dataModule, BuildStamp build)
    : m_database(database), m_dataModule(dataModule), m_build(build)
{
}

bool VersionCheck::run()
{
    std::optional<VersionRow> row = firstRow();
    // An empty table has no separator to offer; numbers are then written without a mark.
    m_dataModule.setDatabaseDecimalSeparator(row ? row->decimalSeparator : QString());
    if (!row || row->stamp.isOlderThan(m_build)) {
        row = moveForward();
        m_dataModule.setDatabaseDecimalSeparator(row->decimalSeparator);
    }
    return row->stamp.isNewerThan(m_build);
}

// The first row as the server returns the whole table, which is the row every other copy of
// the program reads as well. Sorting by ctid would promise nothing more: an update gives the
// row a new ctid anyway, and the table is meant to hold one row.
std::optional<VersionCheck::VersionRow> VersionCheck::firstRow() const
{
    QSqlQuery query = m_database.execute(
        QStringLiteral("select ctid::text as location, d, t, delim from accounts_dep.ver limit 1"));
    if (!query.next())
        return std::nullopt;
    VersionRow row;
    row.location = query.value(0).toString();
    row.stamp.date = query.value(1).toInt();
    row.stamp.time = query.value(2).toInt();
    row.decimalSeparator = query.value(3).toString();
    return row;
}

VersionCheck::VersionRow VersionCheck::moveForward()
{
    Transaction transaction(m_database);
    // Copies starting at the same moment take turns here: the empty table gets one row, not
    // one per copy, and the newest build's stamp is the one that stays.
    m_database.lockKey(QStringLiteral("accounts_dep.ver"));
    std::optional<VersionRow> row = firstRow();
    if (!row) {
        m_database.execute(QStringLiteral("insert into accounts_dep.ver (d, t, delim) values (:d, :t, '')"),
                           {{":d", m_build.date}, {":t", m_build.time}});
        row = VersionRow{QString(), m_build, QString()};
    } else if (row->stamp.isOlderThan(m_build)) {
        // By its ctid, so that only the row that was read changes even if the table holds more.
        const QSqlQuery update = m_database.execute(
            QStringLiteral("update accounts_dep.ver set d = :d, t = :t where ctid = cast(:location as tid)"),
            {{":d", m_build.date}, {":t", m_build.time}, {":location", row->location}});
        // Nothing updated means something outside this program rewrote the row meanwhile:
        // compare with what it wrote; the next check writes again if this build is newer.
        if (update.numRowsAffected() == 1)
            row->stamp = m_build;
        else
            row = firstRow().value_or(VersionRow{QString(), m_build, QString()});
    }
    transaction.commit();
    return *row;
}

} // namespace tabel
