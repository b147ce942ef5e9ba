#include "db/DataModule.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"

#include <QTest>

using namespace tabel;

namespace {
const QDate day(2024, 3, 5);

// Ivanov (id 1) and Sidorov (number "1") both answer to worker 1; the names starting with
// Е and Ё show the Russian collation.
const char* const fixture = R"(
insert into cmn_contractor.person (id, s_caption, s_code) values
  (1, 'Иванов Иван', '1'), (2, 'Петров Пётр', '2'), (3, 'Сидоров Семён', '1'),
  (4, 'Ёлкин Егор', '4'), (5, 'Ежов Эдуард', '5'), (6, 'Евсеев Ефим', '6');
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa) values
  (10, 'Б-200', '', 6, 2), (11, 'А-100', '', 6, 1);
insert into accounts_dep.vid_oper (id, vid) values (1, 'Резка'), (2, 'Покраска');
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values
  (100, 1, 0, 10, 0), (101, 2, 5, 11, 0), (102, 1, 1, 11, 0);
insert into accounts_dep.norm (o_id, norma, price, prize) values
  (100, 10, 2.5, 0), (100, 20, 1.75, 5), (100, 30, 3.0, 0), (101, 1, 4.0, 0);
insert into accounts_dep.smena (id, w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok) values
  (1, 2, 10, 100, 1.75, 10, 1, '2024-03-05', 1, 0, 4, 'no'),
  (2, 2, 11, 101, 4.0, 3, 0, '2024-03-05', 1, 7, 2, 'ok'),
  (3, 2, 11, 101, 4.0, 5, 1, '2024-03-05', 1, 3, 1, 'да'),
  (4, 2, 10, 100, 1.75, 1, 0, '2024-03-05', 1, 0, 1, 'ta'),
  (5, 2, 10, 100, 1.75, 1, 0, '2024-03-05', 1, 0, 1, NULL),
  (6, 1, 10, 100, 1.75, 2, 0, '2024-03-05', 1, 0, 8, 'no'),
  (7, 2, 10, 100, 1.75, 2, 0, '2024-03-06', 1, 0, 8, 'no'),
  (8, 4, 10, 100, 1.75, 2, 0, '2024-03-05', 2, 0, 8, 'no'),
  (9, 5, 10, 100, 1.75, 2, 0, '2024-03-05', 2, 0, 8, 'no'),
  (10, 6, 10, 100, 1.75, 2, 0, '2024-03-05', 2, 0, 8, 'no'),
  (11, 2, 10, 100, 1.75, 2, 0, '2024-03-05', 4, 0, 8, 'no');
insert into accounts_dep.h_tabel (w_id, smena, month, year, d1, d5) values
  (2, 1, 3, 2024, 3, 7), (2, 2, 3, 2024, 1, 0), (2, 1, 4, 2024, 9, 9);
)";

QStringList column(StaticQuery& query, const QString& field)
{
    QStringList values;
    for (int row = 0; row < query.rowCount(); ++row)
        values << query.value(row, field).toString();
    return values;
}
} // namespace

class TestSharedQueries : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    ScriptedMessages m_messages;
    std::unique_ptr<DataModule> m_module;

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("shared"));
        m_db->run(QString::fromUtf8(fixture));
        m_module = std::make_unique<DataModule>(m_db->database());
        m_module->setDailyListDate(day);
        m_module->setDailyListExcludedMark(QStringLiteral("ta"));
    }
    void cleanupTestCase()
    {
        m_module.reset();
        m_db.reset();
    }

    void dailyListHidesWithdrawnAndUnmarkedRecords()
    {
        StaticQuery& shift1 = m_module->dailyList(1);
        shift1.open();
        const QStringList ids = column(shift1, QStringLiteral("id"));
        for (const char* hidden : {"4", "5", "7"})
            QVERIFY2(!ids.contains(QLatin1String(hidden)), hidden);
        for (const char* shown : {"1", "2", "3", "6"})
            QVERIFY2(ids.contains(QLatin1String(shown)), shown);
        const int closed = shift1.find(QStringLiteral("id"), 3);
        QCOMPARE(shift1.value(closed, QStringLiteral("ok")).toString(), QStringLiteral("да"));
    }

    void dailyListComputesAmountAndKindCaption()
    {
        StaticQuery& shift1 = m_module->dailyList(1);
        shift1.open();
        const int first = shift1.find(QStringLiteral("id"), 1);
        QCOMPARE(shift1.value(first, QStringLiteral("summa")).toDouble(), 15.75);
        QCOMPARE(shift1.value(first, QStringLiteral("kol_vo")).toInt(), 10);
        QCOMPARE(shift1.value(first, QStringLiteral("nmn")).toString(), QStringLiteral("Готовая продукция"));
        const int blank = shift1.find(QStringLiteral("id"), 2);
        QCOMPARE(shift1.value(blank, QStringLiteral("nmn")).toString(), QStringLiteral("Заготовки"));
        QCOMPARE(shift1.value(blank, QStringLiteral("fio")).toString(), QStringLiteral("Петров Пётр"));
    }

    void dailyListRepeatsRecordForEveryMatchingPerson()
    {
        StaticQuery& shift1 = m_module->dailyList(1);
        shift1.open();
        QStringList namesOfRecord6;
        for (int row = 0; row < shift1.rowCount(); ++row)
            if (shift1.value(row, QStringLiteral("id")).toInt() == 6)
                namesOfRecord6 << shift1.value(row, QStringLiteral("fio")).toString();
        // Ivanov by id (his own number matches too, yet he is listed once), Sidorov by number.
        QCOMPARE(namesOfRecord6, (QStringList{"Иванов Иван", "Сидоров Семён"}));
    }

    void firstShiftOrdersWithinWorkerSecondByNameOnly()
    {
        StaticQuery& shift1 = m_module->dailyList(1);
        shift1.open();
        // Petrov: grade А-100 before Б-200, then colour 3 before 7.
        QCOMPARE(column(shift1, QStringLiteral("id")), (QStringList{"6", "3", "2", "1", "6"}));
        StaticQuery& shift2 = m_module->dailyList(2);
        shift2.open();
        QCOMPARE(column(shift2, QStringLiteral("fio")),
                 (QStringList{"Евсеев Ефим", "Ежов Эдуард", "Ёлкин Егор"}));
        StaticQuery& overtime = m_module->dailyList(4);
        overtime.open();
        QCOMPARE(column(overtime, QStringLiteral("id")), QStringList{"11"});
        StaticQuery& shift3 = m_module->dailyList(3);
        shift3.open();
        QCOMPARE(shift3.rowCount(), 0);
    }

    void otherDateListsOnlyItsRecords()
    {
        StaticQuery& shift1 = m_module->dailyList(1);
        m_module->setDailyListDate(day.addDays(1));
        shift1.reopen();
        m_module->setDailyListDate(day);
        QCOMPARE(column(shift1, QStringLiteral("id")), QStringList{"7"});
    }

    void operationsCarryBasePriceAndEntryCount()
    {
        StaticQuery& operations = m_module->operations();
        operations.open();
        QCOMPARE(column(operations, QStringLiteral("id")), (QStringList{"101", "100"})); // 102 has no norms
        const int cut = operations.find(QStringLiteral("id"), 100);
        QCOMPARE(operations.value(cut, QStringLiteral("cena")).toDouble(), 1.75);
        QCOMPARE(operations.value(cut, QStringLiteral("norma")).toInt(), 3);
        QCOMPARE(operations.value(cut, QStringLiteral("nmn")).toString(),
                 QStringLiteral("Готовая продукция"));
        const int paint = operations.find(QStringLiteral("id"), 101);
        QCOMPARE(operations.value(paint, QStringLiteral("norma")).toInt(), 1);
        QCOMPARE(operations.value(paint, QStringLiteral("nmn")).toString(), QStringLiteral("Заготовки"));
        QCOMPARE(operations.value(paint, QStringLiteral("marka")).toString(), QStringLiteral("А-100"));
    }

    void referenceListsAreSortedAndFilterable()
    {
        StaticQuery& workers = m_module->workers();
        workers.open();
        QCOMPARE(workers.rowCount(), 6);
        QCOMPARE(workers.value(0, QStringLiteral("fio")).toString(), QStringLiteral("Евсеев Ефим"));
        // Е and Ё are one letter to the filter, in either case, as they are to the sort order.
        const QStringList allE{"Евсеев Ефим", "Ежов Эдуард", "Ёлкин Егор"};
        const QList<std::pair<QString, QStringList>> prefixes = {{"е", allE},
                                                                 {"Е", allE},
                                                                 {"ё", allE},
                                                                 {"Ё", allE},
                                                                 {"Ел", {"Ёлкин Егор"}},
                                                                 {"ёЛ", {"Ёлкин Егор"}},
                                                                 {"Ёж", {"Ежов Эдуард"}},
                                                                 {"Сидоров Сем", {"Сидоров Семён"}},
                                                                 {"Сидоров Семе", {"Сидоров Семён"}},
                                                                 {"Ёлкин Егорр", {}}};
        for (const auto& [prefix, expected] : prefixes) {
            workers.setPrefixFilter(QStringLiteral("fio"), prefix);
            QVERIFY2(column(workers, QStringLiteral("fio")) == expected, qPrintable(prefix));
        }
        workers.clearFilter();
        QCOMPARE(workers.rowCount(), 6);

        StaticQuery& products = m_module->products();
        products.open();
        QCOMPARE(column(products, QStringLiteral("marka")), (QStringList{"А-100", "Б-200"}));
        StaticQuery& types = m_module->operationTypes();
        types.open();
        QCOMPARE(column(types, QStringLiteral("vid")), (QStringList{"Покраска", "Резка"}));
    }

    void timesheetRowsOfShiftAndMonth()
    {
        StaticQuery& rows = m_module->timesheetRows(1);
        rows.setParameter(QStringLiteral(":mnth"), 3);
        rows.setParameter(QStringLiteral(":yea"), 2024);
        rows.open();
        QCOMPARE(rows.rowCount(), 1);
        QCOMPARE(rows.value(0, QStringLiteral("fio")).toString(), QStringLiteral("Петров Пётр"));
        QCOMPARE(rows.value(0, QStringLiteral("summ")).toInt(), 10);
        QCOMPARE(rows.value(0, QStringLiteral("d2")).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSharedQueries)
#include "TestSharedQueries.moc"
