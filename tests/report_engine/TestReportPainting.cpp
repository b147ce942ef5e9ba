#include "ReportFixtures.h"

#include "report_engine/PdfExport.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tabel;

namespace {

const QColor headerBackground(0xF4, 0xF4, 0xF4);
const QColor totalBackground(0xEF, 0xEF, 0xEF);

// A summary in the shape the program prints: Cyrillic texts in Arial, a shaded title, a
// framed total, page numbers.
std::unique_ptr<PreparedReport> summaryReport(int rowCount)
{
    ReportDefinition definition;
    ReportBand title = bandOf(40, {ReportItem::namedLabel("title", {0, 0, 718, 40})
                                       .withFont("Arial", 12, true)
                                       .withAlignment(Qt::AlignHCenter)});
    title.background = headerBackground;
    definition.reportHeader = {title, bandOf(2, {})};
    ReportGroup worker;
    worker.field = "fio";
    worker.header = {bandOf(20, {ReportItem::fieldText("fio", {0, 0, 400, 20}).withFont("Arial", 10, true)})};
    definition.groups = {worker};
    definition.detail = {bandOf(
        18,
        {ReportItem::computedText(
             [](const ReportRow& row) {
                 return row.value("naimen").toInt() == 0 ? "Готовая продукция" : "Заготовки";
             },
             {0, 0, 300, 18}),
         ReportItem::fieldText("summa", {600, 0, 118, 18}).withMask("#0.00").withAlignment(Qt::AlignRight)})};
    ReportBand total = bandOf(24, {ReportItem::label("Итого:", {0, 0, 200, 24}).withFont("Arial", 11, true),
                                   ReportItem::sum("summa", SumScope::Report, {600, 0, 118, 24})
                                       .withMask("#0.00")
                                       .withAlignment(Qt::AlignRight)
                                       .withBackground(totalBackground)});
    total.frame = Qt::TopEdge | Qt::BottomEdge | Qt::LeftEdge | Qt::RightEdge;
    total.background = QColor(0xDC, 0xDC, 0xDC);
    definition.reportFooter = {total};
    definition.pageFooter = {bandOf(
        20, {ReportItem::pageNumber({600, 0, 118, 20}).withFont("Arial", 9).withAlignment(Qt::AlignRight)})};
    definition.setLabelCaption("title", "Сводка по работникам за март 2021 г.");
    QList<QVariantList> rows;
    for (int row = 0; row < rowCount; ++row)
        rows.append({row < rowCount / 2 ? "Иванов Иван" : "Петрова Ольга", row % 3 == 0 ? 1 : 0, 10.125});
    return prepare(std::move(definition), {"fio", "naimen", "summa"}, rows);
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString("%1 failed: %2").arg(program, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestReportPainting : public QObject
{
    Q_OBJECT
private slots:
    void pdfHoldsCyrillicTextsPageNumbersAndEmbeddedFont()
    {
        QTemporaryDir folder;
        const QString fileName = folder.filePath("сводка.pdf");
        auto report = summaryReport(80);
        QVERIFY(report->pageCount() >= 2);
        QVERIFY(writeReportPdf(*report, fileName));

        const QString text = run("pdftotext", {"-layout", fileName, "-"});
        for (const QString& expected :
             QStringList{"Сводка по работникам за март 2021 г.", "Иванов Иван", "Петрова Ольга",
                         "Готовая продукция", "Заготовки", "Итого:", "810,00", "10,13"})
            QVERIFY2(text.contains(expected), qPrintable(expected + " not in:\n" + text));
        // Each page ends with its number, right-aligned on the last line.
        const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), report->pageCount());
        for (int page = 0; page < pages.size(); ++page)
            QCOMPARE(pages.at(page).trimmed().split('\n').last().trimmed(), QString::number(page + 1));

        // Points of paper, whatever the writer's resolution: the 11 pt "Итого:" stands about
        // 12 pt tall with its ascent and descent.
        const QString boxes = run("pdftotext", {"-bbox", fileName, "-"});
        const QRegularExpression total(R"re(yMin="([0-9.]+)" xMax="[0-9.]+" yMax="([0-9.]+)">Итого:<)re");
        const QRegularExpressionMatch match = total.match(boxes);
        QVERIFY2(match.hasMatch(), qPrintable(boxes));
        const double height = match.captured(2).toDouble() - match.captured(1).toDouble();
        QVERIFY2(height > 11 && height < 14, qPrintable(QString::number(height)));

        const QString fonts = run("pdffonts", {fileName});
        const QStringList lines = fonts.split('\n').filter("LiberationSans");
        QVERIFY2(!lines.isEmpty(), qPrintable(fonts));
        // Columns end with: emb sub uni object ID.
        for (const QString& line : lines) {
            const QStringList columns = line.split(' ', Qt::SkipEmptyParts);
            QVERIFY2(columns.size() > 5 && columns.at(columns.size() - 5) == "yes", qPrintable(fonts));
        }
    }

    void pagesMapUnitsByTheDeviceResolution_data()
    {
        QTest::addColumn<int>("dotsPerInch");
        QTest::newRow("screen") << 96;
        QTest::newRow("twice the screen") << 192;
        QTest::newRow("printer") << 300;
    }
    void pagesMapUnitsByTheDeviceResolution()
    {
        QFETCH(int, dotsPerInch);
        auto report = summaryReport(4);
        const double scale = dotsPerInch / 96.0;
        QImage image((report->pageSize() * scale).toSize(), QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
        image.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            report->paintPage(0, painter);
        }
        // The title band starts at the 10 mm margin and is 40 units tall; below it the spacer
        // band and the first group header have no background.
        const double margin = 10 / 25.4 * 96;
        auto pixelAt = [&](double x, double y) {
            return image.pixelColor(qRound(x * scale), qRound(y * scale));
        };
        QCOMPARE(pixelAt(margin + 5, margin + 3), headerBackground);
        QCOMPARE(pixelAt(margin + 5, margin + 37), headerBackground);
        QCOMPARE(pixelAt(margin + 500, margin + 50), QColor(Qt::white));
        QCOMPARE(pixelAt(margin - 5, margin + 3), QColor(Qt::white));
    }
};

QTEST_MAIN(TestReportPainting)
#include "TestReportPainting.moc"
