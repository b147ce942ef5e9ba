#include "ReportFixtures.h"

#include <QMap>
#include <QTest>

using namespace tabel;

namespace {

const QStringList productionFields{"worker", "product", "amount", "naimen"};
constexpr double topMargin = 10 / 25.4 * 96;
constexpr double portraitHeight = 1123;

// Workers, and within each worker products, with a sum of the amount closing each group.
ReportDefinition twoGroupReport()
{
    ReportDefinition definition;
    definition.reportHeader = {bandOf(30, {ReportItem::namedLabel("title", {0, 0, 400, 30})})};
    definition.pageHeader = {
        bandOf(20, {ReportItem::label("Работник", {0, 0, 200, 20}).withName("pageHeader")})};
    ReportGroup worker;
    worker.field = "worker";
    worker.header = {bandOf(20, {ReportItem::fieldText("worker", {0, 0, 300, 20}).withName("workerHeader")})};
    worker.footer = {bandOf(20, {ReportItem::sum("amount", SumScope::Group, {500, 0, 100, 20})
                                     .withMask("#0.00")
                                     .withName("workerSum")})};
    ReportGroup product;
    product.field = "product";
    product.header = {
        bandOf(20, {ReportItem::fieldText("product", {20, 0, 300, 20}).withName("productHeader")})};
    product.footer = {bandOf(20, {ReportItem::sum("amount", SumScope::Group, {500, 0, 100, 20})
                                      .withMask("#0.00")
                                      .withName("productSum")})};
    definition.groups = {worker, product};
    definition.detail = {bandOf(20, {ReportItem::fieldText("amount", {500, 0, 100, 20}).withName("detail")})};
    definition.reportFooter = {bandOf(20, {ReportItem::sum("amount", SumScope::Report, {500, 0, 100, 20})
                                               .withMask("#0.00")
                                               .withName("reportSum")})};
    definition.pageFooter = {bandOf(
        20,
        {ReportItem::pageNumber({600, 0, 100, 20}).withAlignment(Qt::AlignRight).withName("pageNumber")})};
    return definition;
}

QStringList withoutPageBands(const QList<SeenText>& seen)
{
    QStringList lines;
    for (const QString& line : namesAndTexts(seen))
        if (!line.startsWith("page") && !line.startsWith("title"))
            lines.append(line);
    return lines;
}

// Many workers of seven rows each, one product, amounts 1, 2, 3, ...
QList<QVariantList> manyRows(int count)
{
    QList<QVariantList> rows;
    for (int row = 0; row < count; ++row)
        rows.append({QString("Работник %1").arg(row / 7, 3, 10, QChar('0')), "болт", row + 1, 0});
    return rows;
}

} // namespace

class TestReportLayout : public QObject
{
    Q_OBJECT
private slots:
    void nestedGroupsOpenOutermostFirstAndCloseInnermostFirst()
    {
        auto report = prepare(twoGroupReport(), productionFields,
                              {{"Иванов", "болт", 1.5, 0},
                               {"Иванов", "болт", 2.25, 0},
                               {"Иванов", "гайка", 3, 0},
                               {"Петров", "гайка", 4, 0}});
        // Петров's "гайка" reopens although the product did not change: its worker did.
        const QStringList expected{"workerHeader=Иванов",
                                   "productHeader=болт",
                                   "detail=1,5",
                                   "detail=2,25",
                                   "productSum=3,75",
                                   "productHeader=гайка",
                                   "detail=3",
                                   "productSum=3,00",
                                   "workerSum=6,75",
                                   "workerHeader=Петров",
                                   "productHeader=гайка",
                                   "detail=4",
                                   "productSum=4,00",
                                   "workerSum=4,00",
                                   "reportSum=10,75"};
        QCOMPARE(withoutPageBands(namedTexts(*report)), expected);
    }

    void filteredRowsAreNeitherPrintedNorCounted()
    {
        ReportDefinition definition = twoGroupReport();
        definition.rowFilter = [](const ReportRow& row) { return row.value("naimen").toInt() == 0; };
        auto report = prepare(std::move(definition), productionFields,
                              {{"Иванов", "болт", 1, 0},
                               {"Иванов", "болт", 100, 1},
                               {"Иванов", "гайка", 50, 1},
                               {"Петров", "гайка", 4, 0},
                               {"Сидоров", "болт", 7, 1}});
        const QStringList expected{"workerHeader=Иванов", "productHeader=болт", "detail=1",
                                   "productSum=1,00",     "workerSum=1,00",     "workerHeader=Петров",
                                   "productHeader=гайка", "detail=4",           "productSum=4,00",
                                   "workerSum=4,00",      "reportSum=5,00"};
        QCOMPARE(withoutPageBands(namedTexts(*report)), expected);
    }

    void emptyReportPrintsItsFrameOnOnePage()
    {
        ReportDefinition definition = twoGroupReport();
        QVERIFY(definition.setLabelCaption("title", "Март 2021 г."));
        auto report = prepare(std::move(definition), productionFields, {});
        QCOMPARE(report->pageCount(), 1);
        const QStringList expected{"pageHeader=Работник", "title=Март 2021 г.", "reportSum=0,00",
                                   "pageNumber=1"};
        QCOMPARE(namesAndTexts(namedTexts(*report)), expected);
    }

    void longReportRepeatsPageBandsAndLosesNoRowAtPageBreaks()
    {
        const int rowCount = 300;
        auto report = prepare(twoGroupReport(), productionFields, manyRows(rowCount));
        const QList<SeenText> seen = namedTexts(*report);
        const int pages = report->pageCount();
        QVERIFY2(pages > 5, qPrintable(QString::number(pages)));

        QList<int> headerPages;
        QList<int> numberPages;
        QList<int> details;
        QMap<QString, QString> workerSums;
        QString worker;
        for (const SeenText& text : seen) {
            if (text.name == "pageHeader") {
                headerPages.append(text.page);
                QCOMPARE(text.rect.top(), topMargin);
            } else if (text.name == "pageNumber") {
                numberPages.append(text.page);
                QCOMPARE(text.text, QString::number(text.page));
                QCOMPARE(text.rect.bottom(), portraitHeight - topMargin);
            } else {
                QVERIFY2(text.rect.bottom() <= portraitHeight - topMargin - 20, qPrintable(text.name));
            }
            if (text.name == "detail")
                details.append(text.text.toInt());
            if (text.name == "workerHeader")
                worker = text.text;
            if (text.name == "workerSum")
                workerSums.insert(worker, text.text);
        }
        QList<int> everyPage;
        for (int page = 1; page <= pages; ++page)
            everyPage.append(page);
        QCOMPARE(headerPages, everyPage);
        QCOMPARE(numberPages, everyPage);
        QList<int> everyRow;
        for (int row = 1; row <= rowCount; ++row)
            everyRow.append(row);
        QCOMPARE(details, everyRow);
        // Worker k holds amounts 7k+1 .. 7k+7, summing to 49k+28; the last one is cut short.
        QCOMPARE(workerSums.value("Работник 000"), QString("28,00"));
        QCOMPARE(workerSums.value("Работник 030"), QString("1498,00"));
        QCOMPARE(workerSums.value("Работник 042"), QString("1785,00")); // 295..300
        QCOMPARE(workerSums.size(), 43);
    }

    void pageLaidOutOnDemandMatchesThePageCounted()
    {
        auto counted = prepare(twoGroupReport(), productionFields, manyRows(300));
        auto onDemand = prepare(twoGroupReport(), productionFields, manyRows(300));
        // The first page comes without counting the rest.
        QVERIFY(onDemand->page(0));
        QVERIFY(!onDemand->isComplete());
        QCOMPARE(onDemand->knownPageCount(), 2);

        const int pages = counted->pageCount();
        QVERIFY(!counted->page(pages));
        // From the last page back, so every page comes from its checkpoint, not from the cache.
        for (int index = pages - 1; index >= 0; --index) {
            const auto expected = counted->page(index);
            const auto actual = onDemand->page(index);
            QCOMPARE(actual->texts.size(), expected->texts.size());
            for (int text = 0; text < expected->texts.size(); ++text) {
                QCOMPARE(actual->texts.at(text).text, expected->texts.at(text).text);
                QCOMPARE(actual->texts.at(text).rect, expected->texts.at(text).rect);
            }
        }
        QCOMPARE(onDemand->knownPageCount(), pages);
    }

    void bandThatDoesNotFitMovesToTheNextPage_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("footerPage");
        // Page header 20, page footer 20: 10 details of 100 fill the page to 7 units short of
        // the page footer, so the 50 units tall report footer does not fit after the tenth.
        QTest::newRow("room left") << 9 << 1;
        QTest::newRow("no room left") << 10 << 2;
        QTest::newRow("detail itself moves") << 11 << 2;
    }
    void bandThatDoesNotFitMovesToTheNextPage()
    {
        QFETCH(int, rows);
        QFETCH(int, footerPage);
        ReportDefinition definition;
        definition.pageHeader = {
            bandOf(20, {ReportItem::label("Шапка", {0, 0, 100, 20}).withName("pageHeader")})};
        definition.detail = {
            bandOf(100, {ReportItem::fieldText("amount", {0, 0, 100, 20}).withName("detail")})};
        definition.reportFooter = {
            bandOf(50, {ReportItem::label("Итого:", {0, 0, 100, 20}).withName("footer")})};
        definition.pageFooter = {
            bandOf(20, {ReportItem::pageNumber({0, 0, 100, 20}).withName("pageNumber")})};
        QList<QVariantList> data;
        for (int row = 1; row <= rows; ++row)
            data.append({"", "", row, 0});
        auto report = prepare(std::move(definition), productionFields, data);

        QCOMPARE(report->pageCount(), footerPage);
        const double contentTop = topMargin + 20;
        for (const SeenText& text : namedTexts(*report)) {
            if (text.name == "detail") {
                const int row = text.text.toInt();
                QCOMPARE(text.page, row <= 10 ? 1 : 2);
                QCOMPARE(text.rect.top(), contentTop + 100 * ((row - 1) % 10));
            }
            if (text.name == "footer") {
                QCOMPARE(text.page, footerPage);
                QCOMPARE(text.rect.top(), contentTop + 100 * (rows % 10));
            }
        }
    }

    void labelCaptionSetBeforePreparingShowsOnEveryPage()
    {
        ReportDefinition definition;
        definition.page.orientation = QPageLayout::Landscape;
        definition.pageHeader = {bandOf(20, {ReportItem::namedLabel("period", {0, 0, 300, 20})})};
        definition.detail = {bandOf(20, {ReportItem::fieldText("amount", {0, 0, 100, 20})})};
        QVERIFY(definition.setLabelCaption("period", "Март 2021 г."));
        QVERIFY(!definition.setLabelCaption("absent", "—"));
        auto report = prepare(std::move(definition), productionFields, manyRows(100));

        QCOMPARE(report->pageSize(), QSizeF(1123, 794));
        QVERIFY(report->pageCount() > 2);
        QStringList periods;
        for (const SeenText& text : namedTexts(*report))
            periods.append(QString("%1:%2").arg(text.page).arg(text.text));
        QStringList expected;
        for (int page = 1; page <= report->pageCount(); ++page)
            expected.append(QString("%1:Март 2021 г.").arg(page));
        QCOMPARE(periods, expected);
    }
};

QTEST_MAIN(TestReportLayout)
#include "TestReportLayout.moc"
