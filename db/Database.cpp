#include "db/Database.h"

#include "db/DbError.h"

#include <QSqlError>
#include <QSqlRecord>

namespace tabel {

namespace {
QString errorText(const QSqlError& error)
{
    const QString database = error.databaseText().trimmed();
    return database.isEmpty() ? error.text().trimmed() : database;
}
} // namespace

Database::Database(const QString& connectionName) : m_connectionName(connectionName)
{
    QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connectionName);
}

Database::~Database()
{
    close();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void Database::open(const ConnectionSettings& settings)
{
    QSqlDatabase db = connection();
    db.close();
    db.setHostName(settings.host);
    db.setPort(settings.port);
    db.setDatabaseName(settings.database);
    db.setUserName(settings.user);
    db.setPassword(settings.password);
    db.setConnectOptions(settings.connectOptions());
    if (!db.open())
        throw DbError(errorText(db.lastError()));
    m_inTransaction = false;
}

void Database::close()
{
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::database(m_connectionName, false).close();
    m_inTransaction = false;
}

bool Database::isOpen() const
{
    return connection().isOpen();
}

QSqlDatabase Database::connection() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

QSqlQuery Database::prepare(const QString& sql) const
{
    QSqlQuery query(connection());
    if (!query.prepare(sql))
        throw DbError(errorText(query.lastError()));
    return query;
}

void Database::execute(QSqlQuery& query, const SqlParams& params) const
{
    for (const auto& [name, value] : params)
        query.bindValue(name, value);
    if (!query.exec())
        throw DbError(errorText(query.lastError()));
}

QSqlQuery Database::execute(const QString& sql, const SqlParams& params) const
{
    if (params.isEmpty()) {
        QSqlQuery query(connection());
        if (!query.exec(sql))
            throw DbError(errorText(query.lastError()));
        return query;
    }
    QSqlQuery query = prepare(sql);
    execute(query, params);
    return query;
}

QVariant Database::readValue(const QString& sql, const QString& column, const SqlParams& params) const
{
    QSqlQuery query = execute(sql, params);
    if (!query.next())
        return {};
    const int index = query.record().indexOf(column);
    if (index < 0)
        throw DbError(QStringLiteral("Поле \"%1\" не найдено").arg(column));
    return query.value(index);
}

int Database::readInt(const QString& sql, const QString& column, const SqlParams& params) const
{
    const QVariant value = readValue(sql, column, params);
    return value.isNull() ? 0 : value.toInt();
}

void Database::begin()
{
    if (!connection().transaction())
        throw DbError(errorText(connection().lastError()));
    m_inTransaction = true;
}

void Database::commit()
{
    m_inTransaction = false;
    if (!connection().commit())
        throw DbError(errorText(connection().lastError()));
}

void Database::rollback() noexcept
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    connection().rollback();
}

void Database::lockKey(const QString& key) const
{
    execute(QStringLiteral("select pg_advisory_xact_lock(hashtextextended(:key, 0))"), {{":key", key}});
}

void Database::lockKeyShared(const QString& key) const
{
    execute(QStringLiteral("select pg_advisory_xact_lock_shared(hashtextextended(:key, 0))"),
            {{":key", key}});
}

} // namespace tabel
