#pragma once

#include "db/ConnectionSettings.h"
#include "db/Database.h"

#include <QString>

namespace tabel {

// A fresh database cloned from the loaded template for one test program, dropped at the end.
// The server and template come from TABEL_TEST_PGHOST and TABEL_TEST_TEMPLATE (scripts/test).
class TestDatabase
{
public:
    explicit TestDatabase(const QString& name);
    ~TestDatabase();

    ConnectionSettings settings() const;
    // A further connection to the same database, e.g. for a second client.
    Database& database() { return m_database; }
    // Runs statements as a fixture; fails the test by throwing on any error.
    void run(const QString& sql, const SqlParams& params = {});
    int count(const QString& sql, const SqlParams& params = {});

private:
    void admin(const QString& sql);

    QString m_name;
    Database m_database;
};

} // namespace tabel
