#pragma once

#include "db/ConnectionSettings.h"
#include "db/Database.h"

#include <QString>

namespace tabel {

// A fresh database cloned from the loaded template for one test program, dropped at the end.
// The server and template come from TABEL_TEST_PGHOST and TABEL_TEST_TEMPLATE (scripts/test).
//
// On the RestrictedSys server (TABEL_TEST_RESTRICTED_PGHOST) the database belongs to postgres
// and sys has only the rights of db/sql/grants.sql: settings() log in as that sys, while
// database(), run() and count() work as the owner, so that fixtures need no rights of sys.
class TestDatabase
{
public:
    enum class Server { Default, RestrictedSys };
    explicit TestDatabase(const QString& name, Server server = Server::Default);
    ~TestDatabase();

    ConnectionSettings settings() const;
    // The test's own connection to the cloned database, open for the object's whole life:
    // run() and count() go through it, and tests use it to set fixtures up and to read back
    // what the program wrote. A test that builds the program's objects itself may hand it to
    // them as the program's connection; where the program opens its own from settings() (as
    // ApplicationShell does), this one is a second client beside it.
    Database& database() { return m_database; }
    // Runs statements as a fixture; fails the test by throwing on any error.
    void run(const QString& sql, const SqlParams& params = {});
    int count(const QString& sql, const SqlParams& params = {});
    // Ends the session of program's connection as a server restart does, and returns once the
    // server has closed its end.
    void endSessionOf(const Database& program);

private:
    void admin(const QString& sql);
    // The role that creates the database and sets fixtures up.
    ConnectionSettings ownerSettings() const;

    QString m_name;
    Server m_server;
    Database m_database;
};

} // namespace tabel
