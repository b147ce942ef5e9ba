#include "reference/OperationsBook.h"

#include "db/DataModule.h"
#include "db/ReferenceUse.h"
#include "db/Transaction.h"
#include "reference/NormsBook.h"

namespace tabel {

OperationsBook::OperationsBook(DataModule& dataModule) : m_dataModule(dataModule) {}

bool OperationsBook::isDuplicate(const Operation& operation, std::optional<int> excludedId)
{
    return m_dataModule.isDuplicate(
        QStringLiteral("oper/%1/%2/%3").arg(operation.typeId).arg(operation.kind).arg(operation.productId),
        QStringLiteral(
            "select count(*) as cnt from accounts_dep.OPER where vid=:vid and naimen=:naimen and i_id=:i_id"),
        {{":vid", operation.typeId}, {":naimen", operation.kind}, {":i_id", operation.productId}},
        excludedId);
}

bool OperationsBook::add(const Operation& operation, double firstPrice)
{
    Database& db = m_dataModule.database();
    Transaction transaction(db);
    if (isDuplicate(operation, std::nullopt))
        return false;
    const int id =
        db.readInt(QStringLiteral("insert into accounts_dep.oper(vid, naimen, i_id, cena_new)values "
                                  "(:vid, :naimen, :i_id, 0) returning id"),
                   QStringLiteral("id"),
                   {{":vid", operation.typeId}, {":naimen", operation.kind}, {":i_id", operation.productId}});
    NormsBook(db).addEntry(id, 0, firstPrice, 0);
    transaction.commit();
    return true;
}

bool OperationsBook::change(int id, const Operation& operation)
{
    Database& db = m_dataModule.database();
    Transaction transaction(db);
    if (isDuplicate(operation, id))
        return false;
    db.execute(
        QStringLiteral("update accounts_dep.oper set vid=:vid, naimen=:naimen,  i_id=:i_id where id=:id"),
        {{":vid", operation.typeId},
         {":naimen", operation.kind},
         {":i_id", operation.productId},
         {":id", id}});
    transaction.commit();
    return true;
}

bool OperationsBook::remove(int id)
{
    Database& db = m_dataModule.database();
    Transaction transaction(db);
    ReferenceUse(db).holdOperationForDeletion(id);
    if (db.readInt(QStringLiteral("select count(*) as cnt from accounts_dep.smena where o_id=:id"),
                   QStringLiteral("cnt"), {{":id", id}}) > 0)
        return false;
    db.execute(QStringLiteral("delete from accounts_dep.oper where id=:id"), {{":id", id}});
    transaction.commit();
    return true;
}

} // namespace tabel
