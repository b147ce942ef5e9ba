// What a foreman waits for in the time sheet on a big plant's busiest month: the window opened
// on the month (three shift grids filled), the export to a finished workbook, the print from
// the button to the first page shown in the preview, and every page written to PDF.
//
//   tabel_bench_timesheet SOCKET_FOLDER DATABASE [RUNS]

#include "Figures.h"

#include "common/Clock.h"
#include "common/Messages.h"
#include "db/DataModule.h"
#include "db/Database.h"
#include "report_engine/PdfExport.h"
#include "report_engine/PreparedReport.h"
#include "report_engine/ReportPreview.h"
#include "report_engine/SqlQueryRowSource.h"
#include "spreadsheet/SpreadsheetViewer.h"
#include "spreadsheet/SpreadsheetWriter.h"
#include "timesheet/MonthlySummary.h"
#include "timesheet/TimesheetExport.h"
#include "timesheet/TimesheetPrintLayout.h"
#include "timesheet/TimesheetWindow.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

using namespace tabel;
using namespace tabel::bench;

namespace {
class PrintedMessages : public Messages
{
public:
    MessageAnswer show(const Message& message) override
    {
        QTextStream(stderr) << message.caption << ": " << message.text << "\n";
        return MessageAnswer::Ok;
    }
};

class KeptWorkbooks : public SpreadsheetViewer
{
public:
    void open(const QString& path) override { last = path; }
    QString last;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "usage: tabel_bench_timesheet SOCKET_FOLDER DATABASE [RUNS]\n";
        return 2;
    }
    const int runs = args.size() > 3 ? args.at(3).toInt() : 5;
    QTextStream out(stdout);
    ConnectionSettings settings;
    settings.host = args.at(1);
    settings.database = args.at(2);
    Database database;
    database.open(settings);
    DataModule dataModule(database);
    PrintedMessages messages;

    QSqlQuery busiest = database.execute(QStringLiteral("select extract(month from data)::int, extract(year "
                                                        "from data)::int, count(*) from accounts_dep.smena "
                                                        "group by 1, 2 order by 3 desc limit 1"));
    if (!busiest.next()) {
        out << "no records\n";
        return 1;
    }
    const int month = busiest.value(0).toInt();
    const int year = busiest.value(1).toInt();
    const FixedClock clock(QDate(year, 12, 31));
    const int ledgerRows = database.readInt(
        QStringLiteral("select count(*) as n from accounts_dep.h_tabel where month=:m and year=:y"),
        QStringLiteral("n"), {{":m", month}, {":y", year}});
    out << "Time sheet on " << settings.database << ", busiest month " << month << "." << year << ": "
        << busiest.value(2).toLongLong() << " records, " << ledgerRows << " ledger rows\n";

    QTemporaryDir folder;
    KeptWorkbooks viewer;
    SpreadsheetWriter writer(messages, viewer, folder.path());
    TimesheetWindow window(dataModule, messages, clock, writer);
    window.show();
    QList<double> opening;
    for (int run = 0; run < runs + 1; ++run) {
        QElapsedTimer timer;
        timer.start();
        window.preset(QDate(year, month, 1));
        window.repaint();
        if (run > 0)
            opening << double(timer.nsecsElapsed()) / 1e6;
    }
    out << "  window opened on the month (3 grids filled and drawn), median / min ms: "
        << ms(figuresOf(opening).median) << " " << ms(figuresOf(opening).min) << "   goal <= 200\n";

    QList<double> exports;
    int exported = 0;
    for (int run = 0; run < std::max(1, runs / 2); ++run) {
        QElapsedTimer timer;
        timer.start();
        TimesheetExport(database, writer).run(month, year, [&](int written, int) { exported = written; });
        exports << double(timer.nsecsElapsed()) / 1e6;
    }
    out << "  export of " << exported << " workers to a finished .xlsx (" << QFile(viewer.last).size() / 1024
        << " KiB), median ms: " << ms(figuresOf(exports).median) << "   goal <= 3000\n";

    QList<double> firstPages;
    QList<double> pdfs;
    int pages = 0;
    for (int run = 0; run < std::max(1, runs / 2); ++run) {
        QElapsedTimer timer;
        timer.start();
        PreparedReport report(
            TimesheetPrintLayout::definition(
                TimesheetPrintLayout::title(monthNames().value(month - 1), year)),
            std::make_shared<SqlQueryRowSource>(MonthlySummary::open(database, month, year)));
        {
            ReportPreview preview(report, QStringLiteral("Табель по времени"), &window);
            preview.show();
            preview.repaint();
            QCoreApplication::processEvents();
            firstPages << double(timer.nsecsElapsed()) / 1e6;
        }
        QElapsedTimer pdfTimer;
        pdfTimer.start();
        writeReportPdf(report, folder.filePath(QStringLiteral("timesheet.pdf")));
        pdfs << double(pdfTimer.nsecsElapsed()) / 1e6;
        pages = report.pageCount();
    }
    out << "  print: button to the first page shown in the preview, median ms: "
        << ms(figuresOf(firstPages).median) << "   goal <= 1500\n";
    out << "  all " << pages << " pages written to PDF, median ms: " << ms(figuresOf(pdfs).median) << "\n";
    out << "  peak memory (VmHWM): " << processStatus("VmHWM:") << "\n";
    return 0;
}
