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

// Rows of workers with `products` products each of `perProduct` rows, amounts 1, 2, 3, ...
QList<QVariantList> groupedRows(int count, int products, int perProduct)
{
    QList<QVariantList> rows;
    for (int row = 0; row < count; ++row) {
        const int product = row / perProduct;
        rows.append({QString("Работник %1").arg(product / products, 3, 10, QChar('0')),
                     QString("изделие %1").arg(product % products), row + 1, 0});
    }
    return rows;
}

const QString continued = " (продолжение)";

// One band with the item under test and, at its left, a neighbour that numbers may reach up to.
std::unique_ptr<PreparedReport> placedAlone(const ReportItem& item, const ReportItem& neighbour)
{
    ReportDefinition definition;
    definition.reportHeader = {bandOf(30, {neighbour, item})};
    return prepare(std::move(definition), productionFields, {});
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

    void fitRuleKeepsNumbersWholeAndTextsTheirBeginning_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("width");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<double>("pointSize");
        QTest::addColumn<QString>("expectedText"); // "…" at the end: its beginning, shortened
        QTest::addColumn<double>("smallestSize");
        QTest::addColumn<double>("largestSize");
        QTest::addColumn<double>("leftShift"); // how far the left edge moves out, -1: any amount > 0
        QTest::addColumn<double>("rightShift");
        QTest::addColumn<double>("neighbourRight"); // the box starts at 200
        const QString longName =
            QString("КРАСКА порошковая полиэфирная (термо) для наружных работ, RAL").left(60);
        QTest::newRow("fits as it is") << "2046,15" << 100.0 << int(Qt::AlignRight) << 9.0 << "2046,15" << 9.0
                                       << 9.0 << 0.0 << 0.0 << 150.0;
        QTest::newRow("a total shrinks, whole") << "1281720,28" << 40.0 << int(Qt::AlignHCenter) << 11.0
                                                << "1281720,28" << 5.0 << 10.9 << 0.0 << 0.0 << 150.0;
        QTest::newRow("a text shrinks a little") << "Готовая продукция" << 102.0 << int(Qt::AlignLeft) << 9.0
                                                 << "Готовая продукция" << 7.2 << 8.9 << 0.0 << 0.0 << 150.0;
        QTest::newRow("a long text keeps its beginning")
            << longName << 160.0 << int(Qt::AlignLeft) << 9.0 << longName.left(20) + "…" << 7.2 << 7.2 << 0.0
            << 0.0 << 150.0;
        QTest::newRow("a centred text too") << longName << 160.0 << int(Qt::AlignHCenter) << 9.0
                                            << longName.left(20) + "…" << 7.2 << 7.2 << 0.0 << 0.0 << 150.0;
        QTest::newRow("a number below 5 pt reaches left of a right alignment")
            << "9999999999,99" << 20.0 << int(Qt::AlignRight) << 9.0 << "9999999999,99" << 5.0 << 5.0 << -1.0
            << 0.0 << 150.0;
        QTest::newRow("right of a left one") << "9999999999,99" << 20.0 << int(Qt::AlignLeft) << 9.0
                                             << "9999999999,99" << 5.0 << 5.0 << 0.0 << -1.0 << 150.0;
        // The neighbour ends 10 units left of the box: the rest goes to the right.
        QTest::newRow("both ways of a centred one, no further than the neighbour")
            << "99999999999999999,99" << 20.0 << int(Qt::AlignHCenter) << 9.0 << "99999999999999999,99" << 5.0
            << 5.0 << 10.0 << -1.0 << 190.0;
    }
    void fitRuleKeepsNumbersWholeAndTextsTheirBeginning()
    {
        QFETCH(QString, text);
        QFETCH(double, width);
        QFETCH(int, alignment);
        QFETCH(double, pointSize);
        QFETCH(QString, expectedText);
        QFETCH(double, smallestSize);
        QFETCH(double, largestSize);
        QFETCH(double, leftShift);
        QFETCH(double, rightShift);
        QFETCH(double, neighbourRight);
        const QRectF box(200, 0, width, 30);
        const auto report = placedAlone(
            ReportItem::label(text, box).withFont("Arial", pointSize).withAlignment(Qt::Alignment(alignment)),
            ReportItem::label("соседний", {0, 0, neighbourRight, 30}));
        const PlacedText placed = report->page(0)->texts.last();

        if (expectedText.endsWith("…")) {
            QVERIFY2(placed.text.startsWith(expectedText.chopped(1)), qPrintable(placed.text));
            QVERIFY(placed.text.endsWith("…"));
        } else {
            QCOMPARE(placed.text, expectedText);
        }
        QVERIFY2(placed.pointSize >= smallestSize && placed.pointSize <= largestSize,
                 qPrintable(QString::number(placed.pointSize)));
        const QRectF onPaper = box.translated(topMargin, topMargin);
        const double movedLeft = onPaper.left() - placed.rect.left();
        const double movedRight = placed.rect.right() - onPaper.right();
        QVERIFY2(leftShift < 0 ? movedLeft > 0 : qFuzzyCompare(1 + movedLeft, 1 + leftShift),
                 qPrintable(QString::number(movedLeft)));
        QVERIFY2(rightShift < 0 ? movedRight > 0 : qFuzzyCompare(1 + movedRight, 1 + rightShift),
                 qPrintable(QString::number(movedRight)));
        QVERIFY2(paintedWidth(placed) <= placed.rect.width() + 0.01,
                 qPrintable(QString::number(paintedWidth(placed))));
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
            if (text.name == "workerHeader" && !text.text.endsWith(continued))
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

    // Each row count moves the breaks to other places in the groups: after a header, before a
    // footer, between two footers.
    void pageBreaksKeepEveryGroupReadable_data()
    {
        QTest::addColumn<int>("products");
        QTest::addColumn<int>("perProduct");
        for (int products = 1; products <= 3; ++products)
            for (int perProduct = 1; perProduct <= 7; perProduct += 2)
                QTest::addRow("%d products of %d rows", products, perProduct) << products << perProduct;
    }
    void pageBreaksKeepEveryGroupReadable()
    {
        QFETCH(int, products);
        QFETCH(int, perProduct);
        const int rowCount = 400;
        auto report =
            prepare(twoGroupReport(), productionFields, groupedRows(rowCount, products, perProduct));
        const int pages = report->pageCount();
        QVERIFY(pages > 5);

        QStringList printed; // without the page bands and the continued headers
        QString worker;
        QString product;
        int lonelyFooters = 0;
        for (int index = 0; index < pages; ++index) {
            QStringList page;
            for (const PlacedText& placed : report->page(index)->texts)
                if (!placed.item->name.startsWith("page") && placed.item->name != "title")
                    page.append(placed.item->name + "=" + placed.text);
            QVERIFY(!page.isEmpty());
            // A group that goes on from the page before says so, outermost first.
            int first = 0;
            auto opens = [&](int at, const QString& header) {
                return page.at(at).startsWith(header) && !page.at(at).endsWith(continued);
            };
            if (index > 0 && !opens(0, "workerHeader=") && !opens(0, "reportSum=")) {
                QCOMPARE(page.at(0), "workerHeader=" + worker + continued);
                ++first;
                if (!opens(1, "productHeader=")) {
                    QCOMPARE(page.at(1), "productHeader=" + product + continued);
                    ++first;
                }
            }
            QVERIFY2(first < page.size(), qPrintable(page.join('\n')));
            // No footer opens a page: a row of its group comes first.
            if (page.at(first).startsWith("productSum=") || page.at(first).startsWith("workerSum="))
                ++lonelyFooters;
            // No header ends one.
            const QString last = page.last();
            QVERIFY2(!last.startsWith("workerHeader=") && !last.startsWith("productHeader="),
                     qPrintable(QString("page %1 ends with %2").arg(index + 1).arg(last)));
            for (int at = first; at < page.size(); ++at) {
                const QString& line = page.at(at);
                QVERIFY2(!line.endsWith(continued), qPrintable(line));
                if (line.startsWith("workerHeader="))
                    worker = line.mid(13);
                if (line.startsWith("productHeader="))
                    product = line.mid(14);
                printed.append(line);
            }
        }
        QCOMPARE(lonelyFooters, 0);
        // Nothing lost, nothing twice, sums as without page breaks.
        QStringList expected;
        double workerSum = 0;
        double productSum = 0;
        const QList<QVariantList> rows = groupedRows(rowCount, products, perProduct);
        double total = 0;
        for (int row = 0; row < rows.size(); ++row) {
            const QString rowWorker = rows.at(row).at(0).toString();
            const QString rowProduct = rows.at(row).at(1).toString();
            const bool newWorker = row == 0 || rows.at(row - 1).at(0) != rowWorker;
            const bool newProduct = newWorker || rows.at(row - 1).at(1) != rowProduct;
            if (newWorker)
                expected.append("workerHeader=" + rowWorker);
            if (newProduct)
                expected.append("productHeader=" + rowProduct);
            const int amount = rows.at(row).at(2).toInt();
            expected.append(QString("detail=%1").arg(amount));
            productSum += amount;
            workerSum += amount;
            total += amount;
            const bool lastOfWorker = row + 1 == rows.size() || rows.at(row + 1).at(0) != rowWorker;
            const bool lastOfProduct = lastOfWorker || rows.at(row + 1).at(1) != rowProduct;
            if (lastOfProduct) {
                expected.append(QString("productSum=%1,00").arg(productSum));
                productSum = 0;
            }
            if (lastOfWorker) {
                expected.append(QString("workerSum=%1,00").arg(workerSum));
                workerSum = 0;
            }
        }
        expected.append(QString("reportSum=%1,00").arg(total));
        QCOMPARE(printed, expected);
    }

    void pageLaidOutOnDemandMatchesThePageCounted()
    {
        auto counted = prepare(twoGroupReport(), productionFields, groupedRows(300, 2, 3));
        auto onDemand = prepare(twoGroupReport(), productionFields, groupedRows(300, 2, 3));
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
