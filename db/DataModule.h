#pragma once

#include "db/Database.h"
#include "db/StaticQuery.h"

#include <array>
#include <memory>
#include <optional>

namespace tabel {

// The lists that several windows share, the database decimal separator and the two small
// helpers the editors use. Queries are closed until their user opens them.
class DataModule
{
public:
    explicit DataModule(Database& database);

    Database& database() { return m_database; }

    StaticQuery& workers() { return *m_workers; }
    StaticQuery& products() { return *m_products; }
    StaticQuery& operationTypes() { return *m_operationTypes; }
    StaticQuery& operations() { return *m_operations; }
    StaticQuery& dailyList(int shift);     // 1..4
    StaticQuery& timesheetRows(int shift); // 1..3

    // Sets the date and the excluded closed mark of all four daily lists.
    void setDailyListDate(const QDate& date);
    void setDailyListExcludedMark(const QString& mark);

    QString databaseDecimalSeparator() const { return m_decimalSeparator; }
    void setDatabaseDecimalSeparator(const QString& separator) { m_decimalSeparator = separator; }

    // Whether a row like the one about to be saved exists. lockKey names what is being saved:
    // it is locked until the transaction ends, so that two clients cannot both find no
    // duplicate and both insert. countSql returns one row with an integer column cnt; when
    // excludedId is given, " and id<>:id" is added so that a changed row is not its own
    // duplicate. On a duplicate the open transaction is given up at once: the caller abandons
    // its save, and its locks must not keep other clients waiting while the user reads why.
    bool isDuplicate(const QString& lockKey, QString countSql, SqlParams params,
                     std::optional<int> excludedId = std::nullopt);

private:
    std::unique_ptr<StaticQuery> makeQuery(const QString& sql);

    Database& m_database;
    QString m_decimalSeparator;
    std::unique_ptr<StaticQuery> m_workers;
    std::unique_ptr<StaticQuery> m_products;
    std::unique_ptr<StaticQuery> m_operationTypes;
    std::unique_ptr<StaticQuery> m_operations;
    std::array<std::unique_ptr<StaticQuery>, 4> m_dailyLists;
    std::array<std::unique_ptr<StaticQuery>, 3> m_timesheetRows;
};

} // namespace tabel
