#pragma once

#include "support/TestDatabase.h"

#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QVariantList>

namespace tabel {

// A legacy database and the two ODBC data sources the import opens, set up in a folder of the
// test's own: "Tabel" is a SQLite file with the six legacy tables, "Tabel_PgSQL" is the test
// database through psqlODBC, and the test database holds the legacy smena table. Nothing of the
// machine's ODBC set-up is read or changed.
//
// The stand-in schema's id_sequence triggers are dropped: an enterprise database has none,
// and with them in place a sequence left behind by the import would go unnoticed.
class LegacyFixture
{
public:
    // WithoutLegacyFile registers the data sources and connects to neither: the driver manager
    // remembers a source it has connected to for the rest of the process, even once it is
    // removed, so a test of a missing source runs in a program that never connected to it.
    enum class Legacy { Built, WithoutLegacyFile };
    explicit LegacyFixture(TestDatabase& target, Legacy legacy = Legacy::Built);
    ~LegacyFixture();

    // The legacy file through the SQLite ODBC driver, for filling and reading it.
    QSqlDatabase legacy() const;
    void legacyRun(const QString& sql, const QVariantList& values = {});
    // A few rows in every legacy table and in smena, ids 1 upwards with gaps.
    void fillSmallSource();
    // Every target table holds the rows with ids -3, 0 and 5 before the import: the first two
    // must survive it, the last must be replaced.
    void seedTargets();
    // ids of the target table, ascending.
    QList<int> targetIds(const QString& table);
    // Points ODBCINI at a file without the named data source.
    void forgetDataSource(const QString& name);

    static QStringList legacyTables();

private:
    void writeDataSources(const QStringList& left);
    void dropTriggersAndAddSmena();

    TestDatabase& m_target;
    // One folder for the whole test program: the driver manager keeps the data sources it has
    // read, so a source must not move to another file between cases.
    static QTemporaryDir& folder();
    QString m_connection;
};

} // namespace tabel
