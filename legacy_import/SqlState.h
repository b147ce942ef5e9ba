#pragma once

class QSqlQuery;
class QString;

namespace tabel {

// The five-character SQLSTATE of the statement's last failure, whichever driver ran it. Qt's
// ODBC driver keeps only the driver's native number, which means nothing across drivers; the
// state is what tells a too-long text from a refused date.
QString sqlStateOf(const QSqlQuery& query);

} // namespace tabel
