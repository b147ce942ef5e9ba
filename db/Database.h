#pragma once

#include "common/ActionGuard.h"
#include "db/ConnectionSettings.h"
#include "db/DbError.h"

#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace tabel {

// Named values for a statement, with the names exactly as the statement writes them (":data").
using SqlParams = QList<QPair<QString, QVariant>>;

// The one connection of the process. Every call either succeeds or throws DbError with
// the server's text; nothing here shows a message.
class Database : public TransactionHolder
{
public:
    explicit Database(const QString& connectionName = QStringLiteral("tabel"));
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void open(const ConnectionSettings& settings);
    // Counts the connections made; a statement prepared under an older one must be prepared
    // again, since the server forgot it with the connection it was prepared on.
    int generation() const { return m_generation; }
    // Whether the last failure was the connection's: the next statement connects again.
    bool isLost() const { return m_lost; }
    // Outside a transaction, connects again after the connection was lost; every statement
    // runs it first, so the user's next action finds the server again by itself.
    void reconnectIfLost() const;
    void close();
    bool isOpen() const;
    QSqlDatabase connection() const;

    QSqlQuery prepare(const QString& sql) const;
    QSqlQuery execute(const QString& sql, const SqlParams& params = {}) const;
    // Runs an already prepared statement with these values.
    void execute(QSqlQuery& query, const SqlParams& params) const;
    // The one-value read: the named column of the first row; no row or NULL reads as 0.
    int readInt(const QString& sql, const QString& column, const SqlParams& params = {}) const;
    QVariant readValue(const QString& sql, const QString& column, const SqlParams& params = {}) const;

    void begin();
    void commit();
    void rollback() noexcept override;
    bool inTransaction() const { return m_inTransaction; }

    // Serialises count-then-insert sequences between clients until the transaction ends.
    void lockKey(const QString& key) const;
    // Many holders of the shared lock run side by side; lockKey on the same key waits for all of them.
    void lockKeyShared(const QString& key) const;

private:
    // The error of a failed call, classified; a lost connection is remembered.
    DbError failure(const QSqlError& error) const;
    void reconnect() const;

    QString m_connectionName;
    ConnectionSettings m_settings;
    bool m_inTransaction = false;
    mutable bool m_lost = false;
    mutable bool m_wanted = false; // opened, and not closed since on purpose
    mutable int m_generation = 0;
};

} // namespace tabel
