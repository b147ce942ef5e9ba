#pragma once

#include "db/Database.h"
#include "db/StaticQuery.h"

#include <array>
#include <memory>

namespace tabel {

class Messages;

// The lists that several windows share, the database decimal separator and the two small
// helpers the editors use. Queries are closed until their user opens them.
class DataModule
{
public:
    DataModule(Database& database, Messages& messages);

    Database& database() { return m_database; }

    StaticQuery& workers() { return *m_workers; }
    StaticQuery& products() { return *m_products; }
    StaticQuery& operationTypes() { return *m_operationTypes; }
    StaticQuery& operations() { return *m_operations; }
    StaticQuery& dailyList(int shift); // 1..4
    StaticQuery& timesheetRows(int shift); // 1..3

    // Sets the date and the excluded closed mark of all four daily lists.
    void setDailyListDate(const QDate& date);
    void setDailyListExcludedMark(const QString& mark);

    QString databaseDecimalSeparator() const { return m_decimalSeparator; }
    void setDatabaseDecimalSeparator(const QString& separator) { m_decimalSeparator = separator; }
    // The first comma (or, without one, the first point) becomes the database decimal separator.
    QString convertDecimalSeparator(const QString& typed) const;

    // countSql returns one row with an integer column cnt. When it is above 0 the user is
    // shown message and the answer is true: a duplicate exists, and an open transaction has
    // been rolled back, since the caller abandons its save.
    bool isDuplicate(const QString& countSql, const SqlParams& params, const QString& message);

private:
    std::unique_ptr<StaticQuery> makeQuery(const QString& sql);

    Database& m_database;
    Messages& m_messages;
    QString m_decimalSeparator;
    std::unique_ptr<StaticQuery> m_workers;
    std::unique_ptr<StaticQuery> m_products;
    std::unique_ptr<StaticQuery> m_operationTypes;
    std::unique_ptr<StaticQuery> m_operations;
    std::array<std::unique_ptr<StaticQuery>, 4> m_dailyLists;
    std::array<std::unique_ptr<StaticQuery>, 3> m_timesheetRows;
};

} // namespace tabel
