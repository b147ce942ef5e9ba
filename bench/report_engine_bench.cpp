// How the report engine copes with a year's summary: 970,000 rows in two nested groups
// (workers, products), sums with masks in every group footer, computed texts in every
// detail. Prints the time to the first page, to the last page counted, to paint one page and
// to write 200 pages to PDF, and the process's peak memory. Needs no database.
//
//   tabel_bench_report_engine [ROWS] [PDF_FILE]

#include "Figures.h"
#include "common/ProductKind.h"
#include "report_engine/PdfExport.h"
#include "report_engine/PreparedReport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <cstdio>

using namespace tabel;
using namespace tabel::bench;

namespace {

const QColor titleBackground(0xF4, 0xF4, 0xF4);
const QColor workerBackground(0xE0, 0xE0, 0xE0);
const QColor sumBackground(0xEF, 0xEF, 0xEF);

ReportBand band(double height, QList<ReportItem> items, const QColor& background = {})
{
    ReportBand made;
    made.height = height;
    made.items = std::move(items);
    made.background = background;
    return made;
}

ReportDefinition summaryDefinition()
{
    const ReportFont bold{"Arial", 10, true};
    const ReportFont sumFont{"Arial", 9, true};
    ReportDefinition definition;
    definition.previewZoom = PreviewZoom::PageWidth;
    definition.reportHeader = {band(48,
                                    {ReportItem::namedLabel("title", {0, 2, 718, 22})
                                         .withFont("Arial", 12, true)
                                         .withAlignment(Qt::AlignHCenter),
                                     ReportItem::label("Изделие", {10, 28, 300, 18}).withFont(bold),
                                     ReportItem::label("Кол-во", {430, 28, 80, 18}).withFont(bold),
                                     ReportItem::label("Сумма", {620, 28, 98, 18}).withFont(bold)},
                                    titleBackground),
                               band(2, {})};
    ReportGroup worker;
    worker.field = "fio";
    worker.header = {
        band(20, {ReportItem::fieldText("fio", {4, 0, 500, 20}).withFont(bold)}, workerBackground)};
    ReportBand workerFooter =
        band(20, {ReportItem::label("Итого по работнику", {4, 0, 300, 20}).withFont(sumFont),
                  ReportItem::sum("kol", SumScope::Group, {430, 0, 80, 20})
                      .withFont(sumFont)
                      .withMask("#0")
                      .withAlignment(Qt::AlignRight)
                      .withBackground(sumBackground),
                  ReportItem::sum("summa", SumScope::Group, {620, 0, 98, 20})
                      .withFont(sumFont)
                      .withMask("#0.00")
                      .withAlignment(Qt::AlignRight)
                      .withBackground(sumBackground)});
    workerFooter.lineBelow = BandLine::Solid;
    worker.footer = {workerFooter};
    ReportGroup product;
    product.field = "izdel";
    product.header = {band(18, {ReportItem::fieldText("izdel", {20, 0, 400, 18}).withFont(bold)})};
    product.footer = {band(18, {ReportItem::sum("summa", SumScope::Group, {620, 0, 98, 18})
                                    .withFont(sumFont)
                                    .withMask("#0.00")
                                    .withAlignment(Qt::AlignRight)
                                    .withBackground(sumBackground)})};
    definition.groups = {worker, product};
    definition.detail = {band(
        16,
        {ReportItem::computedText(
             [](const ReportRow& row) { return productKindCaption(row.value("naimen")); }, {30, 0, 150, 16})
             .withFont("Arial", 9),
         ReportItem::computedText(
             [](const ReportRow& row) {
                 const int colour = row.value("color").toInt();
                 return colour == 1  ? QStringLiteral(" (грунт)")
                        : colour > 0 ? QStringLiteral(" (RAL: %1)").arg(colour)
                                     : QStringLiteral(" ");
             },
             {180, 0, 150, 16})
             .withFont("Arial", 9),
         ReportItem::fieldText("kol", {430, 0, 80, 16}).withFont("Arial", 9).withAlignment(Qt::AlignRight),
         ReportItem::fieldText("cena", {520, 0, 90, 16})
             .withFont("Arial", 9)
             .withMask("#0.000")
             .withAlignment(Qt::AlignRight),
         ReportItem::fieldText("summa", {620, 0, 98, 16})
             .withFont("Arial", 9)
             .withMask("#0.00")
             .withAlignment(Qt::AlignRight)})};
    ReportBand total = band(26,
                            {ReportItem::label("Итого:", {4, 0, 200, 26}).withFont("Arial", 11, true),
                             ReportItem::sum("summa", SumScope::Report, {600, 2, 118, 22})
                                 .withFont("Arial", 11, true)
                                 .withMask("#0.00")
                                 .withAlignment(Qt::AlignRight)
                                 .withBackground(sumBackground)},
                            QColor(0xDC, 0xDC, 0xDC));
    total.frame = Qt::TopEdge | Qt::BottomEdge | Qt::LeftEdge | Qt::RightEdge;
    definition.reportFooter = {total};
    definition.pageFooter = {band(
        18, {ReportItem::pageNumber({600, 0, 118, 18}).withFont("Arial", 9).withAlignment(Qt::AlignRight)})};
    // Passes every row, at the cost of a real filter that looks its field up by name.
    definition.rowFilter = [](const ReportRow& row) { return row.value("naimen").toInt() >= 0; };
    definition.setLabelCaption("title", "Сводка по работникам за 2021 г.");
    return definition;
}

// Workers of about 970 rows each in 30 products, as a year of a big plant.
std::shared_ptr<const RowSource> yearOfRows(int rowCount)
{
    QList<QString> workers;
    for (int worker = 0; worker < 1000; ++worker)
        workers.append(QStringLiteral("Работник %1 Иванович").arg(worker, 4, 10, QChar('0')));
    QList<QString> products;
    for (int product = 0; product < 30; ++product)
        products.append(QStringLiteral("Изделие %1").arg(product, 2, 10, QChar('0')));
    QRandomGenerator random(2021);
    QList<QVariantList> rows;
    rows.reserve(rowCount);
    const int rowsPerWorker = std::max(1, rowCount / int(workers.size()));
    for (int row = 0; row < rowCount; ++row) {
        const int worker = std::min(row / rowsPerWorker, int(workers.size()) - 1);
        const int product = (row % rowsPerWorker) * int(products.size()) / rowsPerWorker;
        const int quantity = 1 + int(random.bounded(200));
        const double price = 0.5 + random.bounded(5000) / 1000.0;
        rows.append({workers.at(worker), products.at(product), quantity, int(random.bounded(2)),
                     int(random.bounded(5)), price, quantity * price});
    }
    return std::make_shared<MemoryRowSource>(
        QStringList{"fio", "izdel", "kol", "naimen", "color", "cena", "summa"}, std::move(rows));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int rowCount = argc > 1 ? QString(argv[1]).toInt() : 970000;
    const QString pdfFile = argc > 2 ? QString(argv[2]) : QDir::temp().filePath("report_engine_bench.pdf");

    QElapsedTimer timer;
    timer.start();
    const std::shared_ptr<const RowSource> rows = yearOfRows(rowCount);
    const double buildRows = timer.nsecsElapsed() / 1e6;
    const QString rowsResident = processStatus("VmRSS:");

    timer.restart();
    PreparedReport report(summaryDefinition(), rows);
    report.page(0);
    const double firstPage = timer.nsecsElapsed() / 1e6;

    timer.restart();
    report.layoutAll();
    const double allPages = timer.nsecsElapsed() / 1e6;
    const QString afterLayout = processStatus("VmRSS:");

    timer.restart();
    QImage image((report.pageSize() * 150 / 96).toSize(), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(150 / 0.0254));
    image.setDotsPerMeterY(qRound(150 / 0.0254));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        report.paintPage(0, painter);
    }
    const double paintFirst = timer.nsecsElapsed() / 1e6;

    timer.restart();
    const bool written = writeReportPdf(report, pdfFile, 0, 199);
    const double pdf = timer.nsecsElapsed() / 1e6;

    std::printf("rows                          %d (built in %s ms, resident then %s)\n", rowCount,
                qPrintable(bench::ms(buildRows)), qPrintable(rowsResident));
    std::printf("first page laid out           %s ms\n", qPrintable(bench::ms(firstPage)));
    std::printf("all pages laid out            %s ms\n", qPrintable(bench::ms(allPages)));
    std::printf("pages                         %d\n", report.knownPageCount());
    std::printf("resident after layout         %s\n", qPrintable(afterLayout));
    std::printf("first page painted (150 dpi)  %s ms\n", qPrintable(bench::ms(paintFirst)));
    std::printf("200 pages to PDF              %s ms (%s, %lld bytes)\n", qPrintable(bench::ms(pdf)),
                written ? qPrintable(pdfFile) : "FAILED", QFile(pdfFile).size());
    std::printf("peak memory (VmHWM)           %s\n", qPrintable(processStatus("VmHWM:")));
    return written ? 0 : 1;
}
