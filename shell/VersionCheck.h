#pragma once

#include "shell/BuildStamp.h"

#include <QString>
#include <optional>

namespace tabel {

class Database;
class DataModule;

// Compares this build with the newest build that has connected to the database (the version
// row of accounts_dep.ver), moves the row forward when this build is newer, and hands the
// row's decimal separator to the data module. Shows nothing: VersionWatch reacts.
class VersionCheck
{
public:
    VersionCheck(Database& database, DataModule& dataModule, BuildStamp build);

    BuildStamp build() const { return m_build; }

    // True when a newer build has already connected: this copy must end. A database error
    // throws DbError and leaves the row as it was.
    bool run();

private:
    struct VersionRow
    {
        QString location; // ctid: the table has no key, and only one row is ours to change
        BuildStamp stamp;
        QString decimalSeparator;
    };

    std::optional<VersionRow> firstRow() const;
    VersionRow moveForward();

    Database& m_database;
    DataModule& m_dataModule;
    BuildStamp m_build;
};

} // namespace tabel
