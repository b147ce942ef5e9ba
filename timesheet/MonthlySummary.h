#pragma once

#include <QSqlQuery>
#include <QString>
#include <QStringList>

namespace tabel {

class Database;

// One line per worker name for a month: the hours of every shift number, overtime included,
// added up per day (sd1 to sd31), ordered by name. The print and the export both show it;
// workers who share a name share a line, as they always have.
class MonthlySummary
{
public:
    static constexpr int days = 31;

    static QString statement();
    // The result, positioned before its first row; it can also seek, as the report engine needs.
    static QSqlQuery open(Database& database, int month, int year);

    // A day sum of the row the query stands on; a day without any value reads as 0.
    static qint64 dayHours(const QSqlQuery& row, int day);
    static qint64 monthHours(const QSqlQuery& row);
};

// "Январь" to "Декабрь", as the month list shows them.
const QStringList& monthNames();

} // namespace tabel
