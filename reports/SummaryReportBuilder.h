#pragma once

#include "reports/ReportPeriod.h"
#include "reports/SummaryReports.h"

#include <memory>

namespace tabel {

class Database;
class PreparedReport;

// Runs a summary's statement over a period and prepares its report: the rows of the product
// kind choice only, the title with the period's dates. Throws DbError when the statement fails.
class SummaryReportBuilder
{
public:
    explicit SummaryReportBuilder(Database& database);

    std::unique_ptr<PreparedReport> prepare(const SummaryReportForm& form, const ReportPeriod& period,
                                            int productKindChoice) const;

private:
    Database& m_database;
};

} // namespace tabel
