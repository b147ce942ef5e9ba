#include "reference/WorkersBook.h"

#include "db/Database.h"
#include "db/ReferenceUse.h"
#include "db/SharedStatements.h"
#include "db/Transaction.h"

namespace tabel {

namespace {
// The list shows the position as text; an empty department is an empty text, not NULL.
QString positionText(const QString& department)
{
    return department.isNull() ? QStringLiteral("") : department;
}
} // namespace

WorkersBook::WorkersBook(Database& database) : m_database(database) {}

void WorkersBook::add(const QString& fullName, const QString& department)
{
    Transaction transaction(m_database);
    m_database.execute(
        QStringLiteral("INSERT INTO accounts_dep.person (fio, s_staffpos_hl)VALUES(:fio, :pos)"),
        {{":fio", fullName.trimmed()}, {":pos", positionText(department)}});
    transaction.commit();
}

void WorkersBook::change(int id, const QString& fullName, const QString& department)
{
    Transaction transaction(m_database);
    m_database.execute(QStringLiteral("UPDATE accounts_dep.person SET fio=:fio, s_staffpos_hl=:pos where "
                                      "accounts_dep.person.id=:id"),
                       {{":fio", fullName.trimmed()}, {":pos", positionText(department)}, {":id", id}});
    transaction.commit();
}

bool WorkersBook::remove(int id)
{
    Transaction transaction(m_database);
    // A record refers to the worker by the person's id or by the person's number (s_code);
    // a save under way with either waits, or is waited for.
    ReferenceUse use(m_database);
    use.holdWorkerForDeletion(id);
    const QString number = statements::personNumber(QStringLiteral("person"));
    const QVariant ownNumber = m_database.readValue(
        QStringLiteral("select %1 as n from cmn_contractor.person person where id=:id").arg(number),
        QStringLiteral("n"), {{":id", id}});
    if (!ownNumber.isNull() && ownNumber.toInt() != id)
        use.holdWorkerForDeletion(ownNumber.toInt());
    const int records = m_database.readInt(
        QStringLiteral("select count(*) as cnt from accounts_dep.smena where w_id=:id or w_id=(select "
                       "%1 from cmn_contractor.person person where id=:id)")
            .arg(number),
        QStringLiteral("cnt"), {{":id", id}});
    if (records > 0)
        return false;
    m_database.execute(QStringLiteral("delete from accounts_dep.person where id =:id"), {{":id", id}});
    transaction.commit();
    return true;
}

} // namespace tabel
