#include "ReportFixtures.h"
#include "support/TestDatabase.h"

#include "report_engine/SqlQueryRowSource.h"

#include <QTest>

using namespace tabel;

namespace {

// Rows out of order on purpose: the source must seek back as well as forward.
const char* const workersAndAmounts =
    "SELECT * FROM (VALUES ('Иванов', 1, 2.675::numeric), ('Иванов', 0, 3.5), "
    "('Петров', 0, 4.0), ('Петров', 0, NULL)) AS t(fio, naimen, summa)";

ReportDefinition groupedSums()
{
    ReportDefinition definition;
    ReportGroup worker;
    worker.field = "fio";
    worker.header = {bandOf(20, {ReportItem::fieldText("fio", {0, 0, 300, 20}).withName("worker")})};
    worker.footer = {bandOf(20, {ReportItem::sum("summa", SumScope::Group, {400, 0, 100, 20})
                                     .withMask("#0.00")
                                     .withName("workerSum")})};
    definition.groups = {worker};
    definition.detail = {
        bandOf(20, {ReportItem::fieldText("summa", {400, 0, 100, 20}).withMask("#0.00").withName("detail")})};
    definition.rowFilter = [](const ReportRow& row) { return row.value("naimen").toInt() == 0; };
    return definition;
}

} // namespace

class TestSqlQueryRowSource : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_database = std::make_unique<TestDatabase>(QStringLiteral("report_rows")); }
    void cleanupTestCase() { m_database.reset(); }

    void readsRowsByIndexInAnyOrder()
    {
        auto rows = std::make_shared<SqlQueryRowSource>(m_database->database().execute(workersAndAmounts));
        QCOMPARE(rows->rowCount(), 4);
        const int summa = rows->columnIndex("summa");
        QCOMPARE(rows->columnIndex("absent"), -1);
        QCOMPARE(rows->value(2, summa).toDouble(), 4.0);
        QCOMPARE(rows->value(0, summa).toDouble(), 2.675);
        QVERIFY(rows->value(3, summa).isNull());
        QCOMPARE(rows->value(1, rows->columnIndex("fio")).toString(), QString("Иванов"));
    }

    void reportOverQueryGroupsFiltersAndSums()
    {
        auto fromQuery = std::make_unique<PreparedReport>(
            groupedSums(),
            std::make_shared<SqlQueryRowSource>(m_database->database().execute(workersAndAmounts)));
        const QStringList expected{"worker=Иванов", "detail=3,50", "workerSum=3,50", "worker=Петров",
                                   "detail=4,00",   "detail=",     "workerSum=4,00"};
        QCOMPARE(namesAndTexts(namedTexts(*fromQuery)), expected);
    }

private:
    std::unique_ptr<TestDatabase> m_database;
};

QTEST_MAIN(TestSqlQueryRowSource)
#include "TestSqlQueryRowSource.moc"
