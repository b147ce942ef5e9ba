#include "production_log/ProductionRecords.h"

#include "db/Database.h"
#include "db/Transaction.h"
#include "production_log/HoursLedger.h"

#include <QSqlQuery>

namespace tabel {

ProductionRecords::ProductionRecords(Database& database) : m_database(database) {}

bool ProductionRecords::isClosedMark(const QString& mark)
{
    return mark == QLatin1String("ok") || mark == QStringLiteral("да");
}

QString ProductionRecords::toggleClosedMark(int recordId, const QString& currentMark)
{
    const QString mark = isClosedMark(currentMark) ? QStringLiteral("no") : QStringLiteral("ok");
    Transaction transaction(m_database);
    m_database.execute(QStringLiteral("update accounts_dep.smena set ok=:ok where id=:id"),
                       {{":ok", mark}, {":id", recordId}});
    transaction.commit();
    return mark;
}

void ProductionRecords::deleteRecord(int recordId)
{
    Transaction transaction(m_database);
    QSqlQuery deleted = m_database.execute(
        QStringLiteral("delete from accounts_dep.smena where id=:id returning w_id, smena, data"),
        {{":id", recordId}});
    if (deleted.next())
        HoursLedger(m_database)
            .recomputeAfterDeletion(deleted.value(0).toInt(), deleted.value(1).toInt(),
                                    deleted.value(2).toDate());
    transaction.commit();
}

} // namespace tabel
