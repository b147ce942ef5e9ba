#pragma once

#include "db/Database.h"

#include <QSqlQuery>

namespace tabel {

// Runs a summary's statement, every row fetched, with the server's JIT off and room to sort in
// memory, for that statement only. A year of records is a sort of a million rows: JIT
// compilation alone took seconds on top of it, and 4 MB of sort memory sent it to disk.
QSqlQuery runSummaryStatement(Database& database, const QString& sql, const SqlParams& params);

} // namespace tabel
