#include "reference/OperationTypesBook.h"

#include "db/DataModule.h"
#include "db/Transaction.h"

namespace tabel {

OperationTypesBook::OperationTypesBook(DataModule& dataModule) : m_dataModule(dataModule) {}

bool OperationTypesBook::isDuplicate(const QString& name, std::optional<int> excludedId)
{
    // The server upper-cases both sides, so the comparison follows one rule for every letter.
    return m_dataModule.isDuplicate(
        QStringLiteral("vid_oper/") + name.toUpper(),
        QStringLiteral("select count(*) as cnt from accounts_dep.vid_oper where upper(vid)=upper(:vid)"),
        {{":vid", name}}, excludedId);
}

bool OperationTypesBook::add(const QString& name)
{
    const QString vid = name.trimmed();
    Transaction transaction(m_dataModule.database());
    if (isDuplicate(vid, std::nullopt))
        return false;
    m_dataModule.database().execute(QStringLiteral("insert into accounts_dep.vid_oper (vid) values (:vid)"),
                                    {{":vid", vid}});
    transaction.commit();
    return true;
}

bool OperationTypesBook::change(int id, const QString& name)
{
    const QString vid = name.trimmed();
    Transaction transaction(m_dataModule.database());
    if (isDuplicate(vid, id))
        return false;
    m_dataModule.database().execute(QStringLiteral("update accounts_dep.vid_oper set vid=:vid where id=:id"),
                                    {{":vid", vid}, {":id", id}});
    transaction.commit();
    return true;
}

OperationTypesBook::Removal OperationTypesBook::remove(int id)
{
    Database& database = m_dataModule.database();
    Transaction transaction(database);
    const int records = database.readInt(
        QStringLiteral("select count(*) as cnt from accounts_dep.smena, accounts_dep.oper where "
                       "smena.o_id=oper.id and oper.vid=:id"),
        QStringLiteral("cnt"), {{":id", id}});
    if (records > 0)
        return Removal::UsedByRecords;
    const int operations =
        database.readInt(QStringLiteral("select count(*) as cnt from accounts_dep.oper where vid=:id"),
                         QStringLiteral("cnt"), {{":id", id}});
    if (operations > 0)
        return Removal::UsedByOperations;
    database.execute(QStringLiteral("delete from accounts_dep.vid_oper where id=:id"), {{":id", id}});
    transaction.commit();
    return Removal::Removed;
}

} // namespace tabel
