#include "reports/SummaryReports.h"

namespace tabel {

SummaryReportForm summaryReportForm(SummaryReportKind kind)
{
    switch (kind) {
    case SummaryReportKind::ByWorkers:
        return workersSummaryForm();
    case SummaryReportKind::ByProducts:
        return productsSummaryForm();
    case SummaryReportKind::DetailedByWorkers:
        return detailedWorkersSummaryForm();
    case SummaryReportKind::DetailedByProducts:
        break;
    }
    return detailedProductsSummaryForm();
}

} // namespace tabel
