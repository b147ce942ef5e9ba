#include "production_log/ProductionRecords.h"

#include "db/Database.h"
#include "db/Transaction.h"
#include "production_log/HoursLedger.h"

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

void ProductionRecords::deleteRecord(int recordId, int workerId, int shift, const QDate& date)
{
    Transaction transaction(m_database);
    m_database.execute(QStringLiteral("delete from accounts_dep.smena where id=:id"), {{":id", recordId}});
    HoursLedger(m_database).recomputeAfterDeletion(workerId, shift, date);
    transaction.commit();
}

} // namespace tabel
