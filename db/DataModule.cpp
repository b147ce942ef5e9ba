#include "db/DataModule.h"

#include "db/SharedStatements.h"

#include <QDate>

namespace tabel {

DataModule::DataModule(Database& database)
    : m_database(database), m_workers(makeQuery(statements::workers())),
      m_products(makeQuery(statements::products())),
      m_operationTypes(makeQuery(statements::operationTypes())),
      m_operations(makeQuery(statements::operations()))
{
    for (int shift = 1; shift <= 4; ++shift) {
        m_dailyLists[shift - 1] = makeQuery(statements::dailyList(shift));
        m_dailyLists[shift - 1]->setObjectName(QStringLiteral("Smena%1").arg(shift));
    }
    for (int shift = 1; shift <= 3; ++shift) {
        m_timesheetRows[shift - 1] = makeQuery(statements::timesheetRows(shift));
        m_timesheetRows[shift - 1]->setObjectName(QStringLiteral("H_Tabel_%1").arg(shift));
    }
    m_workers->setObjectName(QStringLiteral("Workers"));
    m_products->setObjectName(QStringLiteral("Izdel"));
    m_operationTypes->setObjectName(QStringLiteral("Vid_oper"));
    m_operations->setObjectName(QStringLiteral("Oper"));
}

std::unique_ptr<StaticQuery> DataModule::makeQuery(const QString& sql)
{
    return std::make_unique<StaticQuery>(m_database, sql);
}

StaticQuery& DataModule::dailyList(int shift)
{
    Q_ASSERT(shift >= 1 && shift <= 4);
    return *m_dailyLists.at(shift - 1);
}

StaticQuery& DataModule::timesheetRows(int shift)
{
    Q_ASSERT(shift >= 1 && shift <= 3);
    return *m_timesheetRows.at(shift - 1);
}

void DataModule::setDailyListDate(const QDate& date)
{
    for (auto& list : m_dailyLists)
        list->setParameter(QStringLiteral(":data"), date);
}

void DataModule::setDailyListExcludedMark(const QString& mark)
{
    for (auto& list : m_dailyLists)
        list->setParameter(QStringLiteral(":ok"), mark);
}

bool DataModule::isDuplicate(const QString& lockKey, QString countSql, SqlParams params,
                             std::optional<int> excludedId)
{
    m_database.lockKey(lockKey);
    if (excludedId) {
        countSql += QStringLiteral(" and id<>:id");
        params.append({QStringLiteral(":id"), *excludedId});
    }
    if (m_database.readInt(countSql, QStringLiteral("cnt"), params) <= 0)
        return false;
    m_database.rollback();
    return true;
}

} // namespace tabel
