#include "reports/SummaryReportBuilder.h"

#include "db/Database.h"
#include "report_engine/PreparedReport.h"
#include "report_engine/SqlQueryRowSource.h"
#include "reports/ProductKind.h"
#include "reports/SummaryStatement.h"

namespace tabel {

SummaryReportBuilder::SummaryReportBuilder(Database& database) : m_database(database) {}

std::unique_ptr<PreparedReport> SummaryReportBuilder::prepare(const SummaryReportForm& form,
                                                              const ReportPeriod& period,
                                                              int productKindChoice) const
{
    ReportDefinition layout = form.layout;
    layout.rowFilter = productKindFilter(productKindChoice);
    layout.setLabelCaption(QStringLiteral("title"), periodTitle(form.titlePrefix, period));
    auto rows = std::make_shared<SqlQueryRowSource>(
        runSummaryStatement(m_database, form.statement, periodParameters(period)));
    return std::make_unique<PreparedReport>(std::move(layout), std::move(rows));
}

} // namespace tabel
