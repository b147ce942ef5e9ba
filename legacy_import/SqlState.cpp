#include "legacy_import/SqlState.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlResult>

#ifdef _WIN32
// The ODBC headers of Windows build on its own types.
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

namespace tabel {

namespace {
// QSqlQuery hides its result; this is the documented way of reaching the driver's handle.
QVariant statementHandle(const QSqlQuery& query)
{
    const QSqlResult* result = query.result();
    return result ? result->handle() : QVariant();
}
} // namespace

QString sqlStateOf(const QSqlQuery& query)
{
    // QPSQL gives the server's state as the native code; its handle is a PGresult*.
    const QVariant handle = statementHandle(query);
    if (!handle.isValid() || qstrcmp(handle.typeName(), "void*") != 0)
        return query.lastError().nativeErrorCode();
    SQLHANDLE statement = *static_cast<const SQLHANDLE*>(handle.constData());
    SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
    SQLINTEGER native = 0;
    SQLCHAR text[8] = {};
    SQLSMALLINT length = 0;
    const SQLRETURN read =
        SQLGetDiagRecA(SQL_HANDLE_STMT, statement, 1, state, &native, text, sizeof text, &length);
    if (read != SQL_SUCCESS && read != SQL_SUCCESS_WITH_INFO)
        return {};
    return QString::fromLatin1(reinterpret_cast<const char*>(state));
}

} // namespace tabel
