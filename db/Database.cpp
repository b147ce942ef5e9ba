#include "db/Database.h"

#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlRecord>

#include <libpq-fe.h>
#ifdef _WIN32
#include <winsock2.h>
#else
#include <poll.h>
#endif

namespace tabel {

namespace {
PGconn* libpqConnection(const QSqlDatabase& db)
{
    // Qt 6 names the type after the struct behind libpq's typedef.
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() ||
        (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

FailureKind kindOfState(const QString& state)
{
    if (state.startsWith(QLatin1String("08")) || state == QLatin1String("57P01") ||
        state == QLatin1String("57P02") || state == QLatin1String("57P03"))
        return FailureKind::ConnectionLost;
    if (state == QLatin1String("55P03"))
        return FailureKind::Busy;
    if (state == QLatin1String("40P01") || state == QLatin1String("40001"))
        return FailureKind::Conflict;
    if (state == QLatin1String("22003"))
        return FailureKind::NumberOutOfRange;
    if (state == QLatin1String("22001"))
        return FailureKind::TextTooLong;
    if (state == QLatin1String("42501"))
        return FailureKind::NoPermission;
    if (state == QLatin1String("23505"))
        return FailureKind::Duplicate;
    if (state == QLatin1String("23514"))
        return FailureKind::CheckFailed;
    return FailureKind::General;
}
} // namespace

QString Database::errorText(const QSqlError& error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    // The driver appends the SQLSTATE in brackets, empty "()" when libpq itself failed (a lost
    // connection); libpq indents its continuation lines with tabs.
    static const QRegularExpression state(QStringLiteral("\\s*\\(([0-9A-Z]{5})?\\)$"));
    const QRegularExpressionMatch found = state.match(text);
    if (found.hasMatch())
        text = text.left(found.capturedStart()) +
               (found.captured(1).isEmpty() ? QString() : QStringLiteral(" (%1)").arg(found.captured(1)));
    return text.replace(QStringLiteral("\n\t"), QStringLiteral("\n"));
}

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
    m_settings = settings;
    reconnect();
}

void Database::reconnect() const
{
    QSqlDatabase db = connection();
    db.close();
    db.setHostName(m_settings.host);
    db.setPort(m_settings.port);
    db.setDatabaseName(m_settings.database);
    db.setUserName(m_settings.user);
    db.setPassword(m_settings.password);
    db.setConnectOptions(m_settings.connectOptions());
    if (!db.open()) {
        m_lost = true;
        throw DbError(errorText(db.lastError()), FailureKind::ConnectionLost);
    }
    m_lost = false;
    m_wanted = true;
    ++m_generation;
    QSqlQuery limit(db);
    limit.prepare(QStringLiteral("select set_config('lock_timeout', :ms, false)"));
    limit.bindValue(QStringLiteral(":ms"), QString::number(m_settings.lockTimeoutMs));
    if (!limit.exec())
        throw failure(limit.lastError());
}

void Database::close()
{
    if (QSqlDatabase::contains(m_connectionName))
        QSqlDatabase::database(m_connectionName, false).close();
    m_inTransaction = false;
    m_wanted = false;
    m_lost = false;
}

bool Database::isOpen() const
{
    return connection().isOpen();
}

QSqlDatabase Database::connection() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

DbError Database::failure(const QSqlError& error) const
{
    FailureKind kind = kindOfState(error.nativeErrorCode());
    // A connection the server ended mid-statement often comes without a state of its own;
    // libpq knows it is gone, and the driver may have closed the connection already.
    const QSqlDatabase db = connection();
    if (!db.isOpen())
        kind = FailureKind::ConnectionLost;
    if (PGconn* conn = libpqConnection(db); !conn || PQstatus(conn) == CONNECTION_BAD)
        kind = FailureKind::ConnectionLost;
    if (kind == FailureKind::ConnectionLost)
        m_lost = true;
    return DbError(errorText(error), kind);
}

bool Database::connectionIsDead() const
{
    PGconn* conn = libpqConnection(connection());
    if (!conn || PQstatus(conn) == CONNECTION_BAD)
        return true;
    // A server that ends a session (a restart, pg_terminate_backend) sends its reason and
    // closes the socket; both wait unread until the next statement. Read what is there: the
    // reason comes first, the end of the connection after it.
    for (int reads = 0; reads < 8; ++reads) {
        const int fd = PQsocket(conn);
        if (fd < 0)
            return true;
#ifdef _WIN32
        WSAPOLLFD socket{static_cast<SOCKET>(fd), POLLRDNORM, 0};
        if (WSAPoll(&socket, 1, 0) <= 0)
            return false;
#else
        pollfd socket{fd, POLLIN, 0};
        if (poll(&socket, 1, 0) <= 0)
            return false;
#endif
        if (!PQconsumeInput(conn) || PQstatus(conn) == CONNECTION_BAD)
            return true;
        PQfreemem(PQnotifies(conn));
    }
    return false;
}

void Database::reconnectIfLost() const
{
    if (!m_wanted && !m_lost)
        return;
    // Once opened, a connection the driver reports closed was closed under us.
    if (!m_lost && connection().isOpen() && !connectionIsDead())
        return;
    m_lost = true;
    // A transaction cut off with its connection is lost whole.
    if (m_inTransaction)
        throw DbError(QStringLiteral("Соединение с сервером прервано"), FailureKind::ConnectionLost);
    // Work nobody asked for never waits for a server to connect (up to connect_timeout): the
    // window would freeze for it without a word.
    if (m_backgroundActions > 0)
        throw DbError(QStringLiteral("Соединение с сервером прервано"), FailureKind::ConnectionLost);
    // What the action sent may have reached the server: it is not run on as if it had not.
    if (m_actions > 0 && m_sentInAction)
        throw DbError(QStringLiteral("Соединение с сервером прервано"), FailureKind::ConnectionLost);
    reconnect();
}

void Database::beforeStatement() const
{
    reconnectIfLost();
    m_sentInAction = true;
}

void Database::actionStarted(bool userAsked) noexcept
{
    if (m_actions++ == 0)
        m_sentInAction = false;
    if (!userAsked)
        ++m_backgroundActions;
}

void Database::actionEnded(bool userAsked) noexcept
{
    --m_actions;
    if (!userAsked)
        --m_backgroundActions;
}

QSqlQuery Database::prepare(const QString& sql) const
{
    beforeStatement();
    QSqlQuery query(connection());
    if (!query.prepare(sql))
        throw failure(query.lastError());
    return query;
}

void Database::execute(QSqlQuery& query, const SqlParams& params) const
{
    beforeStatement();
    for (const auto& [name, value] : params)
        query.bindValue(name, value);
    if (!query.exec())
        throw failure(query.lastError());
}

QSqlQuery Database::execute(const QString& sql, const SqlParams& params) const
{
    beforeStatement();
    if (params.isEmpty()) {
        QSqlQuery query(connection());
        if (!query.exec(sql))
            throw failure(query.lastError());
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
    beforeStatement();
    if (!connection().transaction())
        throw failure(connection().lastError());
    m_inTransaction = true;
}

void Database::commit()
{
    m_inTransaction = false;
    if (!connection().commit())
        throw failure(connection().lastError());
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
