#include "report_engine/PdfExport.h"
#include "report_engine/PreparedReport.h"
#include "report_engine/ReportFixtures.h"
#include "reports/ReportPeriod.h"
#include "reports/SummaryReports.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tabel;

Q_DECLARE_METATYPE(tabel::SummaryReportKind)

namespace {

constexpr double marginUnits = 10 / 25.4 * 96;

// One row that every summary's fields can read.
std::shared_ptr<const RowSource> oneRow()
{
    return std::make_shared<MemoryRowSource>(
        QStringList{"fio", "nom", "marka", "vid", "naimen", "color", "kolvo", "brk", "summa", "mass"},
        QList<QVariantList>{{"Иванов Иван", "Болт", "А-100", "Резка", 0, 7, 12.0, qlonglong(2), 30.5, 2.5}});
}

const QString longOperation =
    QStringLiteral("Покраска КРАСКА порошковая полиэфирная (термо) RAL 9016 глянец");

// A month of a big plant in three rows: the totals 9 999 999,99 ₽ and 99 999 rejects, names
// longer than any column.
std::shared_ptr<const RowSource> largestRows()
{
    QList<QVariantList> rows;
    for (int row = 0; row < 3; ++row)
        rows.append({"Константинопольский-Преображенский Александр Вячеславович",
                     "КРАСКА порошковая полиэфирная (термо)",
                     "ПЛК-1200-1200; КРАСКА порошковая; Готовая продукция", longOperation, row, 9016, 33333.0,
                     qlonglong(33333), 3333333.33, 3333333.33});
    return std::make_shared<MemoryRowSource>(
        QStringList{"fio", "nom", "marka", "vid", "naimen", "color", "kolvo", "brk", "summa", "mass"}, rows);
}

// "name@left+width, alignment (l, c, r), point size, b for bold = text", left from the margin.
QStringList placedTexts(PreparedReport& report)
{
    QStringList lines;
    const auto page = report.page(0);
    for (const PlacedText& placed : page->texts) {
        const ReportItem& item = *placed.item;
        const Qt::Alignment horizontal = item.alignment & Qt::AlignHorizontal_Mask;
        const char align = horizontal == Qt::AlignHCenter ? 'c' : horizontal == Qt::AlignRight ? 'r' : 'l';
        lines.append(QString("%1@%2+%3%4%5%6=%7")
                         .arg(item.name)
                         .arg(qRound(placed.rect.left() - marginUnits))
                         .arg(qRound(placed.rect.width()))
                         .arg(align)
                         .arg(item.font.pointSize)
                         .arg(item.font.bold ? "b" : "")
                         .arg(placed.text));
    }
    return lines;
}

} // namespace

class TestSummaryLayouts : public QObject
{
    Q_OBJECT
private slots:
    void layoutPlacesEveryTextInItsColumn_data()
    {
        QTest::addColumn<SummaryReportKind>("kind");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("TForm16")
            << SummaryReportKind::ByWorkers
            << QStringList{"title@0+718l10b=   Отчет по рабочим за период с 01.11.2023 по 01.12.2023",
                           "fioHeader@4+710l10b=Иванов Иван",
                           "nomHeader@4+710l10b=Болт",
                           "kind@50+159l9=Готовая продукция",
                           "vid@215+163c9=Резка",
                           "colour@384+131l9= (RAL: 7)",
                           "kolvo@521+73c9=12",
                           "summa@616+89c9=30,500",
                           "sum.kolvo@521+73c9b=12",
                           "sum.summa@616+89c9b=30,500",
                           "sum.summa@616+89c9b=30,50",
                           "totalLabel@521+80l11b=Итого:",
                           "total.summa@616+89c11b=30,50",
                           "pageNumber@618+100r9=1"};
        QTest::newRow("TForm17")
            << SummaryReportKind::ByProducts
            << QStringList{"title@0+718l10b=   Отчет по продукции за период с 01.11.2023 по 01.12.2023",
                           "heading@515+109l10b=Коробки",
                           "heading@624+94l10b=Количество",
                           "nomHeader@4+710l10b=Болт",
                           "kind@50+151l9=Готовая продукция",
                           "vid@207+137c9=Резка",
                           "colour@350+149l9= (RAL: 7)",
                           "mass@505+73c9=2,5",
                           "kolvo@616+89c9=12",
                           "sum.mass@505+73c9b=2,5",
                           "sum.kolvo@616+89c9b=12",
                           "totalLabel@402+80l11b=Итого:",
                           "total.mass@505+73c11b=3",
                           "total.kolvo@616+89c11b=12",
                           "pageNumber@618+100r9=1"};
        QTest::newRow("TForm20")
            << SummaryReportKind::DetailedByWorkers
            << QStringList{
                   "title@0+718l10b=   Детальный отчет по рабочим за период с 01.11.2023 по 01.12.2023",
                   "heading@469+35l9b=Брак",
                   "heading@504+91l9b=Количество",
                   "heading@595+123l9b=Сумма",
                   "fioHeader@4+710l10b=Иванов Иван",
                   "marka@1+155l8=А-100",
                   "vid@162+110c8=Резка",
                   "color@278+61c8=7",
                   "kind@345+113l8=Готовая продукция",
                   "brk@484+34c8=2",
                   "kolvo@553+66c8=12",
                   "summa@642+74c8=30,50",
                   "sum.brk@484+34c9b=2",
                   "sum.kolvo@553+66c9b=12",
                   "sum.summa@642+74c9b=30,50",
                   "totalLabel@401+80l11b=Итого:",
                   "total.brk@484+34c11b=2",
                   "total.kolvo@553+66c11b=12",
                   "total.summa@642+74c11b=30,50",
                   "pageNumber@618+100r9=1"};
        QTest::newRow("TForm21")
            << SummaryReportKind::DetailedByProducts
            << QStringList{
                   "title@0+718l9b=   Детальный отчет по продукции за период с 01.11.2023 по 01.12.2023",
                   "heading@470+40l10b=Брак",
                   "heading@510+70l10b=Коробки",
                   "heading@580+77l10b=Кол-во",
                   "heading@657+61l10b=Сумма",
                   "nomHeader@4+710l10b=Болт",
                   "marka@4+197l9=А-100",
                   "vid@200+105l9=Резка",
                   "color@307+63c9=7",
                   "kind@376+102l9=Готовая продукция",
                   "brk@474+25c9=2",
                   "mass@505+71c9=2,5",
                   "kolvo@575+63c9=12",
                   "summa@642+72c9=30,500",
                   "sum.brk@474+25c9b=2",
                   "sum.mass@505+71c9b=2,50",
                   "sum.kolvo@575+63c9b=12",
                   "sum.summa@642+72c9b=30,50",
                   "totalLabel@377+80l11b=Итого:",
                   "total.brk@474+25c11b=2",
                   "total.mass@505+71c11b=2,5",
                   "total.kolvo@575+63c11b=12",
                   "total.summa@642+72c11b=30,50",
                   "pageNumber@618+100r9=1"};
    }
    void layoutPlacesEveryTextInItsColumn()
    {
        QFETCH(SummaryReportKind, kind);
        QFETCH(QStringList, expected);
        const SummaryReportForm form = summaryReportForm(kind);
        QCOMPARE(form.objectName, QString(QTest::currentDataTag()));
        ReportDefinition layout = form.layout;
        QVERIFY(layout.setLabelCaption(
            "title", periodTitle(form.titlePrefix, {QDate(2023, 11, 1), QDate(2023, 12, 1)})));
        PreparedReport report(std::move(layout), oneRow());

        QCOMPARE(report.pageSize(), QSizeF(794, 1123));
        QCOMPARE(report.definition().page.marginsMillimetres, QMarginsF(10, 10, 10, 10));
        QCOMPARE(report.definition().previewZoom, PreviewZoom::PageWidth);
        QCOMPARE(placedTexts(report), expected);

        // Shading: the header, the outer group, each total; the report's total framed.
        const auto page = report.page(0);
        QCOMPARE(page->bands.first().band->background, QColor(0xF4, 0xF4, 0xF4));
        QCOMPARE(page->bands.at(2).band->background, QColor(0xE0, 0xE0, 0xE0));
        const ReportBand& total = *page->bands.at(page->bands.size() - 2).band; // above the page footer
        QCOMPARE(total.background, QColor(0xDC, 0xDC, 0xDC));
        QCOMPARE(total.frame, Qt::TopEdge | Qt::BottomEdge | Qt::LeftEdge | Qt::RightEdge);
        for (const PlacedText& placed : page->texts)
            if (placed.item->content == ItemContent::Sum)
                QCOMPARE(placed.item->background, QColor(0xEF, 0xEF, 0xEF));
    }

    void largestNumbersPrintWholeAndLongNamesKeepTheirBeginning_data()
    {
        QTest::addColumn<SummaryReportKind>("kind");
        QTest::addColumn<QStringList>("totals"); // words the PDF's text must hold
        QTest::newRow("TForm16") << SummaryReportKind::ByWorkers << QStringList{"9999999,99"};
        QTest::newRow("TForm17") << SummaryReportKind::ByProducts << QStringList{"99999", "10000000"};
        QTest::newRow("TForm20") << SummaryReportKind::DetailedByWorkers
                                 << QStringList{"99999", "9999999,99"};
        QTest::newRow("TForm21") << SummaryReportKind::DetailedByProducts
                                 << QStringList{"99999", "9999999,99", "9999999,99"};
    }
    void largestNumbersPrintWholeAndLongNamesKeepTheirBeginning()
    {
        QFETCH(SummaryReportKind, kind);
        QFETCH(QStringList, totals);
        const SummaryReportForm form = summaryReportForm(kind);
        ReportDefinition layout = form.layout;
        layout.setLabelCaption("title",
                               periodTitle(form.titlePrefix, {QDate(2026, 11, 1), QDate(2026, 12, 1)}));
        PreparedReport report(std::move(layout), largestRows());

        QCOMPARE(textsThatDoNotFit(report), QStringList());
        int operations = 0;
        for (const PlacedText& placed : report.page(0)->texts) {
            if (placed.item->name == "vid") {
                ++operations;
                QVERIFY2(placed.text.size() > 12 && longOperation.startsWith(placed.text.chopped(1)),
                         qPrintable(placed.text));
            }
            if (placed.item->name == "kind")
                QVERIFY2(placed.text == "Готовая продукция" || placed.text == "Заготовки",
                         qPrintable(placed.text));
        }
        QCOMPARE(operations, 3);

        QTemporaryDir folder;
        const QString file = folder.filePath("summary.pdf");
        QVERIFY(writeReportPdf(report, file));
        QProcess pdftotext;
        pdftotext.start("pdftotext", {file, "-"});
        QVERIFY(pdftotext.waitForFinished(30000));
        const QStringList words = QString::fromUtf8(pdftotext.readAllStandardOutput())
                                      .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        for (const QString& total : totals)
            QVERIFY2(words.count(total) >= totals.count(total), qPrintable(total + ": " + words.join(' ')));
    }

    // A long summary: no page ends with a group's header or opens with its totals, and a page
    // that goes on with a group begins with its header again, marked as continued.
    void longSummariesBreakPagesWhereAReaderCanFollow_data()
    {
        QTest::addColumn<SummaryReportKind>("kind");
        QTest::newRow("TForm16") << SummaryReportKind::ByWorkers;
        QTest::newRow("TForm17") << SummaryReportKind::ByProducts;
        QTest::newRow("TForm20") << SummaryReportKind::DetailedByWorkers;
        QTest::newRow("TForm21") << SummaryReportKind::DetailedByProducts;
    }
    void longSummariesBreakPagesWhereAReaderCanFollow()
    {
        QFETCH(SummaryReportKind, kind);
        QList<QVariantList> rows;
        for (int row = 0; row < 1500; ++row)
            rows.append({QString("Рабочий %1").arg(row / 23, 3, 10, QChar('0')),
                         QString("Изделие %1").arg(row / 4), "А-100", "Резка", row % 2, 7, 1.0, qlonglong(0),
                         1.0, 1.0});
        PreparedReport report(
            summaryReportForm(kind).layout,
            std::make_shared<MemoryRowSource>(
                QStringList{"fio", "nom", "marka", "vid", "naimen", "color", "kolvo", "brk", "summa", "mass"},
                rows));
        QVERIFY(report.pageCount() > 5);
        int continuedPages = 0;
        for (int index = 0; index < report.pageCount(); ++index) {
            QStringList names;
            QStringList texts;
            for (const PlacedText& placed : report.page(index)->texts)
                if (placed.item->name != "pageNumber" &&
                    (names.isEmpty() || names.last() != placed.item->name)) {
                    names.append(placed.item->name);
                    texts.append(placed.text);
                }
            const QString where = QString("page %1: %2").arg(index + 1).arg(names.join(' '));
            QVERIFY2(!names.last().endsWith("Header"), qPrintable(where));
            int first = 0;
            while (first < names.size() && names.at(first).endsWith("Header") &&
                   texts.at(first).endsWith(" (продолжение)"))
                ++first;
            if (first > 0)
                ++continuedPages;
            QVERIFY2(first < names.size() && !names.at(first).startsWith("sum."), qPrintable(where));
            if (index > 0 && first == 0)
                QVERIFY2(names.first().endsWith("Header") || names.first() == "totalLabel",
                         qPrintable(where));
        }
        QVERIFY(continuedPages > 0);
    }

    void workerFooterOfTheWorkersSummaryIsRuledBelow()
    {
        const ReportDefinition layout = workersSummaryForm().layout;
        QCOMPARE(layout.groups.first().footer.first().lineBelow, BandLine::Solid);
        QCOMPARE(layout.groups.last().footer.first().lineBelow, BandLine::None);
    }
};

QTEST_MAIN(TestSummaryLayouts)
#include "TestSummaryLayouts.moc"
