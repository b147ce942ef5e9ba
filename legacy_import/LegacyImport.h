#pragma once

#include "legacy_import/ImportOutcome.h"

#include <QString>

namespace tabel {

class Database;
struct ImportStep;

// The ODBC data sources the import reads and writes, as an administrator registers them.
struct LegacyDataSources
{
    static inline const QString legacy = QStringLiteral("Tabel");
    // The legacy database is opened with this fixed password; a source without one ignores it.
    static inline const QString legacyPassword = QStringLiteral("tabelimpo");
    static inline const QString target = QStringLiteral("Tabel_PgSQL");
    static inline const QString targetUser = QStringLiteral("sys");
};

// Told after every statement of rows; the import stops, its step rolled back, once
// cancelRequested() answers true.
class ImportProgress
{
public:
    virtual ~ImportProgress() = default;
    virtual void showProgress(const QString& text) = 0;
    virtual bool cancelRequested() = 0;
};

// Copies the legacy tables into accounts_dep, one transaction per step on the target: a step
// lands whole or not at all, and a failed or cancelled step ends the import with the steps
// before it kept. Rows travel many to a statement, since a round trip per row is what made
// the copy slow.
class LegacyImport
{
public:
    // main: the program's connection, the source of the last step.
    explicit LegacyImport(Database& main, int rowsPerStatement = 100);
    ~LegacyImport();
    LegacyImport(const LegacyImport&) = delete;
    LegacyImport& operator=(const LegacyImport&) = delete;

    ImportOutcome run(ImportProgress& progress);

private:
    int runStep(const ImportStep& step, ImportProgress& progress);

    Database& m_main;
    int m_rowsPerStatement;
    // Once connected the two data sources stay connected, for the next import.
    QString m_legacyConnection;
    QString m_targetConnection;
};

} // namespace tabel
