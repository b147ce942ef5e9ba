#include "reports/SummaryStatement.h"

#include "db/Transaction.h"

namespace tabel {

QSqlQuery runSummaryStatement(Database& database, const QString& sql, const SqlParams& params)
{
    Transaction transaction(database);
    database.execute(
        QStringLiteral("select set_config('jit', 'off', true), set_config('work_mem', :memory, true)"),
        {{QStringLiteral(":memory"), QStringLiteral("64MB")}});
    QSqlQuery rows = database.execute(sql, params);
    transaction.commit();
    return rows;
}

} // namespace tabel
