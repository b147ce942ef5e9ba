#include "reference/NormsBook.h"

#include "db/Database.h"
#include "db/Transaction.h"

#include <QSqlQuery>

namespace tabel {

namespace {

template <typename T> QVariant bound(const std::optional<T>& value)
{
    return value ? QVariant::fromValue(*value) : QVariant(QMetaType::fromType<T>());
}

template <typename T> std::optional<T> read(const QVariant& value)
{
    if (value.isNull())
        return std::nullopt;
    return value.value<T>();
}

// Two clients deleting the last two entries of one operation at the same time must not
// both see two entries; the check and the delete run under this key.
QString operationKey(int operationId)
{
    return QStringLiteral("norm/%1").arg(operationId);
}

} // namespace

NormsBook::NormsBook(Database& database) : m_database(database) {}

QList<NormEntry> NormsBook::entries(int operationId) const
{
    QSqlQuery rows = m_database.execute(
        QStringLiteral(
            "select id, norma, price, prize from accounts_dep.norm where o_id=:o_id order by norma, id"),
        {{":o_id", operationId}});
    QList<NormEntry> result;
    while (rows.next())
        result.append({rows.value(0).toInt(), read<int>(rows.value(1)), read<double>(rows.value(2)),
                       read<int>(rows.value(3))});
    return result;
}

int NormsBook::count(int operationId) const
{
    return m_database.readInt(
        QStringLiteral("select count(*) as cnt from accounts_dep.norm where o_id=:o_id"),
        QStringLiteral("cnt"), {{":o_id", operationId}});
}

int NormsBook::addEntry(int operationId, int norma, double price, int prize)
{
    return addEntry(operationId, NormEntry{0, norma, price, prize});
}

int NormsBook::addEntry(int operationId, const NormEntry& entry)
{
    Transaction transaction(m_database);
    const int id = m_database.readInt(
        QStringLiteral(
            "insert into accounts_dep.norm (o_id, norma, price, prize) values (:o_id, :norma, :price, "
            ":prize) returning id"),
        QStringLiteral("id"),
        {{":o_id", operationId},
         {":norma", bound(entry.norma)},
         {":price", bound(entry.price)},
         {":prize", bound(entry.prize)}});
    transaction.commit();
    return id;
}

void NormsBook::changeEntry(const NormEntry& entry)
{
    Transaction transaction(m_database);
    m_database.execute(
        QStringLiteral("update accounts_dep.norm set norma=:norma, price=:price, prize=:prize where id=:id"),
        {{":norma", bound(entry.norma)},
         {":price", bound(entry.price)},
         {":prize", bound(entry.prize)},
         {":id", entry.id}});
    transaction.commit();
}

bool NormsBook::removeEntry(int entryId)
{
    Transaction transaction(m_database);
    const QVariant operation =
        m_database.readValue(QStringLiteral("select o_id from accounts_dep.norm where id=:id"),
                             QStringLiteral("o_id"), {{":id", entryId}});
    if (!operation.isValid())
        return false; // already gone: another client deleted it
    if (!operation.isNull()) {
        m_database.lockKey(operationKey(operation.toInt()));
        if (count(operation.toInt()) <= 1)
            return false;
    }
    m_database.execute(QStringLiteral("delete from accounts_dep.norm where id=:id"), {{":id", entryId}});
    transaction.commit();
    return true;
}

} // namespace tabel
