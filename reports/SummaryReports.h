#pragma once

#include "report_engine/ReportDefinition.h"

#include <QString>

namespace tabel {

enum class SummaryReportKind {
    ByWorkers,          // TForm16 "Отчет по рабочим"
    ByProducts,         // TForm17 "Отчет по продукции"
    DetailedByWorkers,  // TForm20 "Детальный отчет по рабочим"
    DetailedByProducts, // TForm21 "Детальный отчет по продукции"
};

// One printed summary as plain data: its statement (parameters :data1 and :data2, the period's
// dates), the prefix of its title and its layout, whose label "title" takes the title.
struct SummaryReportForm
{
    QString objectName;
    QString caption;
    QString titlePrefix;
    QString statement;
    ReportDefinition layout;
};

SummaryReportForm summaryReportForm(SummaryReportKind kind);

SummaryReportForm workersSummaryForm();
SummaryReportForm productsSummaryForm();
SummaryReportForm detailedWorkersSummaryForm();
SummaryReportForm detailedProductsSummaryForm();

} // namespace tabel
