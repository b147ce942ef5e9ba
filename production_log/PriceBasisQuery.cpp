#include "production_log/PriceBasisQuery.h"

#include "db/Database.h"

#include <QSqlQuery>

namespace tabel {

PriceBasis readPriceBasis(const Database& database, int operationId)
{
    // The base price is the lowest of the entries, as the operations list gives it; the norm
    // named is that of the cheapest entry.
    QSqlQuery query = database.execute(
        QStringLiteral(
            "select count(*) as n, min(price)::numeric as cena, (select norma from accounts_dep.norm "
            "cheapest where cheapest.o_id=:o order by price, norma limit 1) as norma from "
            "accounts_dep.norm where o_id=:o"),
        {{":o", operationId}});
    PriceBasis basis;
    if (query.next()) {
        basis.normEntries = query.value(0).toInt();
        basis.basePrice = query.value(1).toDouble();
        basis.norm = query.value(2).toInt();
    }
    return basis;
}

} // namespace tabel
