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

    // The server's or the driver's own words for a failure, as the user reads them below the
    // sentence of the general error report.
    static QString errorText(const QSqlError& error);

    void open(const ConnectionSettings& settings);
    // Counts the connections made; a statement prepared under an older one must be prepared
    // again, since the server forgot it with the connection it was prepared on.
    int generation() const { return m_generation; }
    // Whether the last failure was the connection's: the next statement connects again.
    bool isLost() const { return m_lost; }
    // Connects again when the connection was lost, or turns out to be dead (a restarted server
    // ended it), before a user's action has sent anything of its own: every statement runs it
    // first, so the action goes on as if nothing happened. An action that has sent something,
    // an open transaction and work nobody asked for fail instead; the user's next action
    // connects again.
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

    void actionStarted(bool userAsked) noexcept override;
    void actionEnded(bool userAsked) noexcept override;
    // An action runs (it may be reading rows) or a transaction is open: work that nobody asked
    // for, such as the version check's timer, must wait for its next turn.
    bool isInUse() const { return m_actions > 0 || m_inTransaction; }

    // Serialises count-then-insert sequences between clients until the transaction ends.
    void lockKey(const QString& key) const;
    // Many holders of the shared lock run side by side; lockKey on the same key waits for all of them.
    void lockKeyShared(const QString& key) const;

private:
    // The error of a failed call, classified; a lost connection is remembered.
    DbError failure(const QSqlError& error) const;
    void reconnect() const;
    // Without waiting: whether the server has ended the connection (it said so, or closed it).
    bool connectionIsDead() const;
    // reconnectIfLost, and the action has now sent something.
    void beforeStatement() const;

    QString m_connectionName;
    ConnectionSettings m_settings;
    bool m_inTransaction = false;
    int m_actions = 0;
    int m_backgroundActions = 0; // of m_actions, those nobody asked for
    mutable bool m_sentInAction = false;
    mutable bool m_lost = false;
    mutable bool m_wanted = false; // opened, and not closed since on purpose
    mutable int m_generation = 0;
};

} // namespace tabel
