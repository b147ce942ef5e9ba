#include "bench/ServerTimes.h"

#include "db/DbError.h"

#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlDriver>
#include <libpq-fe.h>
#include <memory>
#include <vector>

namespace tabel::bench {

namespace {
using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

QByteArray text(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate).toUtf8();
    case QMetaType::QDateTime:
        return value.toDateTime().toString(Qt::ISODateWithMs).toUtf8();
    default:
        return value.toString().toUtf8();
    }
}

Result check(PGresult* raw, PGconn* connection)
{
    Result result(raw, &PQclear);
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
        throw DbError(
            QString::fromUtf8(result ? PQresultErrorMessage(result.get()) : PQerrorMessage(connection)));
    return result;
}
} // namespace

// Keeps the texts alive for as long as libpq reads the pointers.
struct ServerTimes::Bound
{
    std::vector<QByteArray> texts;
    std::vector<const char*> values;

    explicit Bound(const SqlParams& params)
    {
        texts.reserve(params.size());
        for (const auto& param : params)
            texts.push_back(text(param.second));
        for (qsizetype i = 0; i < params.size(); ++i)
            values.push_back(params.at(i).second.isNull() ? nullptr : texts.at(i).constData());
    }
};

ServerTimes::ServerTimes(const Database& database)
{
    const QVariant handle = database.connection().driver()->handle();
    // QPSQL registers the handle under the struct's own name.
    if (qstrcmp(handle.typeName(), "pg_conn*") != 0 && qstrcmp(handle.typeName(), "PGconn*") != 0)
        throw DbError(QStringLiteral("the connection is not a PostgreSQL one: %1")
                          .arg(QString::fromLatin1(handle.typeName())));
    m_connection = *static_cast<PGconn* const*>(handle.constData());
}

QByteArray ServerTimes::positional(const QString& sql, const SqlParams& params)
{
    QString converted = sql;
    for (qsizetype i = 0; i < params.size(); ++i) {
        // "(?<!:)" keeps casts such as "s_code::t_id" apart from placeholders.
        const QRegularExpression placeholder(
            QStringLiteral("(?<![:\\w])%1(?!\\w)").arg(QRegularExpression::escape(params.at(i).first)));
        converted.replace(placeholder, QStringLiteral("$%1").arg(i + 1));
    }
    return converted.toUtf8();
}

ServerTimes::Times ServerTimes::explain(const QString& sql, const SqlParams& params) const
{
    // TIMING OFF: the clock reads around every row of every plan node would add to the
    // very time being measured; the statement's own total is still timed.
    const QByteArray statement = "EXPLAIN (ANALYZE, TIMING OFF, FORMAT JSON) " + positional(sql, params);
    const Bound bound(params);
    const Result result = check(PQexecParams(m_connection, statement.constData(), int(bound.values.size()),
                                             nullptr, bound.values.data(), nullptr, nullptr, 0),
                                m_connection);
    const QJsonObject plan =
        QJsonDocument::fromJson(QByteArray(PQgetvalue(result.get(), 0, 0))).array().first().toObject();
    return {plan.value(QStringLiteral("Planning Time")).toDouble(),
            plan.value(QStringLiteral("Execution Time")).toDouble()};
}

int ServerTimes::runDirect(const QString& sql, const SqlParams& params) const
{
    const QByteArray statement = positional(sql, params);
    const Bound bound(params);
    const Result result = check(PQexecParams(m_connection, statement.constData(), int(bound.values.size()),
                                             nullptr, bound.values.data(), nullptr, nullptr, 0),
                                m_connection);
    const int rows = PQntuples(result.get());
    const int columns = PQnfields(result.get());
    // Decoded into QStrings as a grid would need them, so that the comparison is fair.
    volatile qsizetype characters = 0;
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            characters = characters + QString::fromUtf8(PQgetvalue(result.get(), row, column),
                                                        PQgetlength(result.get(), row, column))
                                          .size();
    return rows;
}

void ServerTimes::ping() const
{
    const Result result(PQexec(m_connection, ""), &PQclear);
    if (!result || PQresultStatus(result.get()) != PGRES_EMPTY_QUERY)
        throw DbError(QString::fromUtf8(PQerrorMessage(m_connection)));
}

} // namespace tabel::bench
