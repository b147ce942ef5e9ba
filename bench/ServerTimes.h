#pragma once

#include "db/Database.h"

#include <QByteArray>
#include <QString>

typedef struct pg_conn PGconn;

namespace tabel::bench {

// What the server itself spent on a statement: planning plus execution as EXPLAIN ANALYZE
// reports them. The statement runs on the program's own connection (inside its open
// transaction, if any) with its values bound as protocol parameters: QPSQL cannot prepare an
// EXPLAIN, so this goes straight to the connection's libpq handle.
class ServerTimes
{
public:
    struct Times
    {
        double planningMs = 0;
        double executionMs = 0;
        double totalMs() const { return planningMs + executionMs; }
    };

    explicit ServerTimes(const Database& database);

    // sql with the program's named placeholders (":data"); params as the program binds them.
    Times explain(const QString& sql, const SqlParams& params) const;

    // Runs sql with bound values the one-round-trip way libpq offers, reading every value
    // of every row as text: the least a client can spend on the statement.
    int runDirect(const QString& sql, const SqlParams& params) const;

    // One round trip that does no work on the server.
    void ping() const;

    // ":name" placeholders become $1, $2... in the order of params.
    static QByteArray positional(const QString& sql, const SqlParams& params);

private:
    struct Bound;
    PGconn* m_connection = nullptr;
};

} // namespace tabel::bench
