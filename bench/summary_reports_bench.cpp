// The four printed summaries and the production summary export on the busiest month and on
// the busiest calendar year of a big plant's database. For each summary: the server's own time
// for its statement, the time from the button to the first page painted in the preview, to
// the last page, to the whole report written to PDF, the rows and pages, the longest slice of
// counting pages in the preview (how long the window may not answer), and the process's peak
// memory for that summary. Prints figures; checks nothing.
//
//   tabel_bench_summary_reports SOCKET_FOLDER DATABASE [--year-only|--month-only] [--no-pdf]
//                               [--summary CAPTION]
//
// --summary runs only the summary of that caption ("Отчет по рабочим") and no export: a year's
// summary written to PDF alone takes minutes.

#include "Figures.h"
#include "ServerTimes.h"
#include "common/Messages.h"
#include "report_engine/PdfExport.h"
#include "report_engine/PreparedReport.h"
#include "report_engine/ReportPreview.h"
#include "reports/ProductKind.h"
#include "reports/ProductionSummaryExport.h"
#include "reports/SummaryReportBuilder.h"
#include "reports/SummaryStatement.h"
#include "spreadsheet/SpreadsheetViewer.h"
#include "spreadsheet/SpreadsheetWriter.h"

#include <QApplication>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

using namespace tabel;
using namespace tabel::bench;

namespace {

class QuietMessages : public Messages
{
public:
    MessageAnswer show(const Message& message) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
        return MessageAnswer::Ok;
    }
};

class KeepingViewer : public SpreadsheetViewer
{
public:
    void open(const QString& path) override { QFile::remove(path); }
};

// The peak so far is forgotten, so that each summary reports its own.
void resetPeakMemory()
{
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double elapsedMs(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// The server's time as the program sends the statement: same settings, same values.
double serverMs(Database& database, const QString& sql, const SqlParams& params)
{
    database.begin();
    database.execute(
        QStringLiteral("select set_config('jit', 'off', true), set_config('work_mem', '64MB', true)"));
    const double ms = bench::ServerTimes(database).explain(sql, params).totalMs();
    database.rollback();
    return ms;
}

void benchSummary(Database& database, SummaryReportKind kind, const ReportPeriod& period, bool pdf,
                  const QTemporaryDir& folder)
{
    const SummaryReportForm form = summaryReportForm(kind);
    const double server = serverMs(database, form.statement, periodParameters(period));
    resetPeakMemory();

    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<PreparedReport> report =
        SummaryReportBuilder(database).prepare(form, period, AllProducts);
    const double fetched = elapsedMs(timer);
    double firstPage = 0;
    double longestSlice = 0;
    {
        ReportPreview preview(*report, form.caption);
        preview.show();
        QCoreApplication::processEvents(); // the first page painted
        firstPage = elapsedMs(timer);
        // What the preview's timer does between events, slice by slice.
        QElapsedTimer slice;
        for (bool done = report->isComplete(); !done;) {
            slice.start();
            done = report->layoutMore(25);
            longestSlice = std::max(longestSlice, elapsedMs(slice));
        }
        report->page(report->knownPageCount() - 1);
        preview.hide();
    }
    const double lastPage = elapsedMs(timer);

    double pdfMs = -1;
    if (pdf) {
        const QString file = folder.filePath("summary.pdf");
        QElapsedTimer pdfTimer;
        pdfTimer.start();
        writeReportPdf(*report, file);
        pdfMs = elapsedMs(pdfTimer);
        QFile::remove(file);
    }
    std::printf("  %-30s server %s  fetched %s  first page %s  last page %s  PDF %s  rows %7d  pages %6d  "
                "longest slice %s  peak %s\n",
                qPrintable(form.caption), qPrintable(bench::ms(server)), qPrintable(bench::ms(fetched)),
                qPrintable(bench::ms(firstPage)), qPrintable(bench::ms(lastPage)),
                pdf ? qPrintable(bench::ms(pdfMs)) : "       -", report->rows().rowCount(),
                report->knownPageCount(), qPrintable(bench::ms(longestSlice, 6)),
                qPrintable(processStatus("VmHWM:")));
    std::fflush(stdout);
}

void benchExport(Database& database, const ReportPeriod& period, const QTemporaryDir& folder)
{
    const double server = serverMs(database, ProductionSummaryExport::statement(), periodParameters(period));
    QuietMessages messages;
    KeepingViewer viewer;
    SpreadsheetWriter writer(messages, viewer, folder.path());
    ProductionSummaryExport summary(database, writer);
    int rows = 0;
    summary.setProgress([&](int, int total) { rows = total; });
    QElapsedTimer timer;
    timer.start();
    summary.run(period, AllProducts);
    std::printf("  %-30s server %s  whole export %s  rows %d\n", "Excel (production summary)",
                qPrintable(bench::ms(server)), qPrintable(bench::ms(elapsedMs(timer))), rows);
    std::fflush(stdout);
}

ReportPeriod busiest(Database& database, const QString& unit)
{
    QSqlQuery query = database.execute(
        QStringLiteral("select date_trunc(:unit, data)::date as first, count(*) from accounts_dep.smena "
                       "where data < date_trunc(:unit, current_date) group by 1 order by 2 desc, 1 limit 1"),
        {{":unit", unit}});
    query.next();
    const QDate from = query.value(0).toDate();
    return {from, unit == QLatin1String("year") ? from.addYears(1) : from.addMonths(1)};
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr,
                     "usage: tabel_bench_summary_reports SOCKET_FOLDER DATABASE [--year-only|--month-only] "
                     "[--no-pdf] [--summary CAPTION]\n");
        return 2;
    }
    Database database;
    ConnectionSettings settings;
    settings.host = arguments.at(1);
    settings.database = arguments.at(2);
    database.open(settings);
    const bool pdf = !arguments.contains("--no-pdf");
    const int only = int(arguments.indexOf("--summary"));
    const QString onlyCaption = only > 0 && only + 1 < arguments.size() ? arguments.at(only + 1) : QString();
    QTemporaryDir folder;

    QList<QPair<QString, QString>> periods;
    if (!arguments.contains("--year-only"))
        periods.append(qMakePair(QString("month"), QString("busiest month")));
    if (!arguments.contains("--month-only"))
        periods.append(qMakePair(QString("year"), QString("busiest year")));
    for (const auto& [unit, title] : periods) {
        const ReportPeriod period = busiest(database, unit);
        const int records = database.readInt(
            QStringLiteral("select count(*) as n from accounts_dep.smena where data >= :from and data < :to"),
            QStringLiteral("n"), {{":from", period.from}, {":to", period.to}});
        std::printf("%s %s..%s, %d records\n", qPrintable(title),
                    qPrintable(period.from.toString(Qt::ISODate)),
                    qPrintable(period.to.toString(Qt::ISODate)), records);
        for (SummaryReportKind kind :
             {SummaryReportKind::ByWorkers, SummaryReportKind::ByProducts,
              SummaryReportKind::DetailedByWorkers, SummaryReportKind::DetailedByProducts})
            if (onlyCaption.isEmpty() || summaryReportForm(kind).caption == onlyCaption)
                benchSummary(database, kind, period, pdf, folder);
        if (onlyCaption.isEmpty())
            benchExport(database, period, folder);
    }
    return 0;
}
