#include "ReportLines.h"

#include "db/DataModule.h"
#include "db/SharedStatements.h"
#include "report_engine/PreparedReport.h"
#include "report_engine/SqlQueryRowSource.h"
#include "reports/ProductKind.h"
#include "reports/SummaryReportBuilder.h"
#include "spreadsheet/RecordingSpreadsheetViewer.h"
#include "spreadsheet/SpreadsheetWriter.h"
#include "spreadsheet/XlsxReader.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "timesheet/MonthRebuild.h"
#include "timesheet/MonthlySummary.h"
#include "timesheet/TimesheetExport.h"
#include "timesheet/TimesheetPrintLayout.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace tabel;

Q_DECLARE_METATYPE(tabel::SummaryReportKind)

namespace {

// Persons as other applications leave them: Петров has no code at all, Сидоров's number has
// blanks around it, Тимофеев's code is no number, Юрьев's number is Тимофеев's id, and
// Ульянов's code is too long for an integer. Every record of 5 March 2024 belongs to exactly
// one person, so the worker summaries add up to what the product summary shows.
const char* const fixture = R"(
insert into cmn_contractor.person (id, s_caption, s_code) values
  (1, 'Иванов Иван', '1'), (2, 'Петров Пётр', '2'), (3, 'Сидоров Семён', ' 7 '),
  (4, 'Тимофеев Тимур', 'Т-17'), (5, 'Юрьев Юрий', '4'), (6, 'Ульянов Илья', '99999999999');
update cmn_contractor.person set s_code = null where id = 2;
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_name, s_description, id_msm_bs, massa) values
  (10, 'А-100', 'Болт', '', 6, 1);
insert into accounts_dep.vid_oper (id, vid) values (1, 'Резка');
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values (100, 1, 0, 10, 0);
insert into accounts_dep.smena (id, w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok) values
  (1, 1, 10, 100, 1, 10, 0, '2024-03-05', 1, 0, 4, 'no'),
  (2, 2, 10, 100, 2, 24, 0, '2024-03-05', 1, 0, 8, 'no'),
  (3, 7, 10, 100, 1, 3, 0, '2024-03-05', 1, 0, 2, 'no'),
  (4, 4, 10, 100, 1, 5, 0, '2024-03-05', 1, 0, 3, 'no'),
  (5, 6, 10, 100, 1, 6, 0, '2024-03-05', 1, 0, 1, 'no');
)";

// The owners of the records, as the time sheet and the worker summaries must show them.
const QStringList owners{"Иванов Иван", "Петров Пётр", "Сидоров Семён", "Ульянов Илья", "Юрьев Юрий"};
const QList<int> ownersHours{4, 8, 2, 1, 3};

// The money of a laid-out summary's last line ("Итого: | ... | 72,00").
QString reportTotal(PreparedReport& report)
{
    const QStringList lines = reportLines(report);
    return lines.isEmpty() ? QString() : lines.last().section(QStringLiteral(" | "), -1);
}
} // namespace

// A statement that fails is this test's fault to find: each case catches it and fails with the
// server's text, so that the other cases still run.
class TestRecordPersons : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    ScriptedMessages m_messages;
    QTemporaryDir m_folder;

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        m_db = std::make_unique<TestDatabase>(QStringLiteral("record_persons"));
        m_db->run(QString::fromUtf8(fixture));
        MonthRebuild(m_db->database()).run(3, 2024);
    }
    void cleanupTestCase() { m_db.reset(); }

    void codeReadsAsANumberOrAsNothing_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QVariant>("number");
        const QVariant none;
        QTest::newRow("its id") << 17 << QStringLiteral("17") << QVariant(17);
        QTest::newRow("another number") << 5 << QStringLiteral("17") << QVariant(17);
        QTest::newRow("blanks around") << 5 << QStringLiteral(" \t17\n ") << QVariant(17);
        QTest::newRow("signs and zeros") << 5 << QStringLiteral("+0017") << QVariant(17);
        QTest::newRow("negative") << 5 << QStringLiteral("-17") << QVariant(-17);
        QTest::newRow("largest integer") << 5 << QStringLiteral("2147483647") << QVariant(2147483647);
        QTest::newRow("one past it") << 5 << QStringLiteral("2147483648") << none;
        QTest::newRow("twenty digits") << 5 << QStringLiteral("99999999999999999999") << none;
        QTest::newRow("letters") << 5 << QStringLiteral("Т-17") << none;
        QTest::newRow("trailing letter") << 5 << QStringLiteral("17a") << none;
        QTest::newRow("blank inside") << 5 << QStringLiteral("1 7") << none;
        QTest::newRow("decimal") << 5 << QStringLiteral("17.0") << none;
        QTest::newRow("empty") << 5 << QStringLiteral("") << none;
        QTest::newRow("blanks only") << 5 << QStringLiteral("   ") << none;
        QTest::newRow("no code") << 5 << QString() << none;
        QTest::newRow("no-break space") << 5 << QStringLiteral("\u00a017") << none;
        QTest::newRow("full-width digits") << 5 << QStringLiteral("\uff11\uff17") << none;
        QTest::newRow("hexadecimal") << 5 << QStringLiteral("0x11") << none;
    }
    void codeReadsAsANumberOrAsNothing()
    {
        try {
            QFETCH(int, id);
            QFETCH(QString, code);
            QFETCH(QVariant, number);
            const QVariant read =
                m_db->database().readValue(QStringLiteral("select %1 as n from (select cast(:id as integer) "
                                                          "as id, cast(:code as varchar) as s_code) person")
                                               .arg(statements::personNumber(QStringLiteral("person"))),
                                           QStringLiteral("n"), {{":id", id}, {":code", code}});
            QCOMPARE(read.isNull(), number.isNull());
            if (!number.isNull())
                QCOMPARE(read.toInt(), number.toInt());
        } catch (const DbError& error) {
            QFAIL(qPrintable(error.text()));
        }
    }

    void recordBelongsToTheNumberElseToTheId_data()
    {
        QTest::addColumn<int>("workerId");
        QTest::addColumn<QStringList>("persons");
        QTest::newRow("number that is the id") << 1 << QStringList{"Иванов Иван"};
        QTest::newRow("no code: by id") << 2 << QStringList{"Петров Пётр"};
        QTest::newRow("number in blanks") << 7 << QStringList{"Сидоров Семён"};
        QTest::newRow("nobody's number: by id") << 3 << QStringList{"Сидоров Семён"};
        QTest::newRow("a number wins over an id") << 4 << QStringList{"Юрьев Юрий"};
        QTest::newRow("code too long: by id") << 6 << QStringList{"Ульянов Илья"};
        QTest::newRow("letters are no number") << 17 << QStringList{};
        QTest::newRow("nobody") << 99 << QStringList{};
    }
    void recordBelongsToTheNumberElseToTheId()
    {
        try {
            QFETCH(int, workerId);
            QFETCH(QStringList, persons);
            QSqlQuery rows = m_db->database().execute(
                QStringLiteral("select s_caption from %1 person where worker_id=:w order by s_caption")
                    .arg(statements::recordPersons()),
                {{":w", workerId}});
            QStringList found;
            while (rows.next())
                found << rows.value(0).toString();
            QCOMPARE(found, persons);
        } catch (const DbError& error) {
            QFAIL(qPrintable(error.text()));
        }
    }

    // As before, a number two persons share is both persons' record, and the id then counts
    // for nothing.
    void sharedNumberBelongsToBoth()
    {
        Database& db = m_db->database();
        db.begin();
        db.execute(QStringLiteral("insert into cmn_contractor.person (id, s_caption, s_code) values "
                                  "(7, 'Яковлев Яков', '1'), (8, 'Зайцев Захар', '7')"));
        QStringList found;
        for (int workerId : {1, 7, 8}) {
            QSqlQuery rows = db.execute(
                QStringLiteral("select s_caption from %1 person where worker_id=:w order by s_caption")
                    .arg(statements::recordPersons()),
                {{":w", workerId}});
            while (rows.next())
                found << QString::number(workerId) + QLatin1Char('/') + rows.value(0).toString();
        }
        db.rollback();
        QCOMPARE(found, (QStringList{"1/Иванов Иван", "1/Яковлев Яков", "7/Зайцев Захар", "7/Сидоров Семён",
                                     "8/Зайцев Захар"}));
    }

    // The daily lists keep matching either way: Тимофеев by id and Юрьев by number both show
    // record 4.
    void dailyListMatchesIdOrNumber()
    {
        try {
            DataModule module(m_db->database());
            module.setDailyListDate(QDate(2024, 3, 5));
            module.setDailyListExcludedMark(QStringLiteral("ta"));
            StaticQuery& list = module.dailyList(1);
            list.open();
            QStringList rows;
            for (int row = 0; row < list.rowCount(); ++row)
                rows << list.value(row, QStringLiteral("fio")).toString() + QLatin1Char('/') +
                            list.value(row, QStringLiteral("id")).toString();
            QCOMPARE(rows, (QStringList{"Иванов Иван/1", "Петров Пётр/2", "Сидоров Семён/3",
                                        "Тимофеев Тимур/4", "Ульянов Илья/5", "Юрьев Юрий/4"}));
            for (int shift = 2; shift <= 4; ++shift) {
                module.dailyList(shift).open();
                QCOMPARE(module.dailyList(shift).rowCount(), 0);
            }
        } catch (const DbError& error) {
            QFAIL(qPrintable(error.text()));
        }
    }

    void timesheetShowsEveryOwnersHours()
    {
        try {
            DataModule module(m_db->database());
            StaticQuery& grid = module.timesheetRows(1);
            grid.setParameter(QStringLiteral(":mnth"), 3);
            grid.setParameter(QStringLiteral(":yea"), 2024);
            grid.open();
            QStringList gridRows;
            for (int row = 0; row < grid.rowCount(); ++row)
                gridRows << grid.value(row, QStringLiteral("fio")).toString() + QLatin1Char('/') +
                                grid.value(row, QStringLiteral("summ")).toString();
            QStringList expected;
            for (int at = 0; at < owners.size(); ++at)
                expected << owners.at(at) + QLatin1Char('/') + QString::number(ownersHours.at(at));
            QCOMPARE(gridRows, expected);

            RecordingSpreadsheetViewer viewer;
            SpreadsheetWriter writer(m_messages, viewer, m_folder.path());
            QVERIFY(TimesheetExport(m_db->database(), writer).run(3, 2024));
            QCOMPARE(viewer.opened().size(), 1);
            XlsxReader book(viewer.opened().first());
            QVERIFY2(book.error().isEmpty(), qPrintable(book.error()));
            QStringList exported;
            for (int row = 3; book.cell(1, row); ++row)
                exported << book.cell(1, row)->value + QLatin1Char('/') + book.cell(33, row)->value;
            QCOMPARE(exported, expected);

            PreparedReport print(
                TimesheetPrintLayout::definition(QStringLiteral("Март 2024 г.")),
                std::make_shared<SqlQueryRowSource>(MonthlySummary::open(m_db->database(), 3, 2024)));
            QStringList printedNames;
            for (const PlacedText& placed : print.page(0)->texts)
                if (owners.contains(placed.text) || placed.text.startsWith(QStringLiteral("Тимофеев")))
                    printedNames << placed.text;
            QCOMPARE(printedNames, owners);
            QVERIFY(m_messages.shown().isEmpty());
        } catch (const DbError& error) {
            QFAIL(qPrintable(error.text()));
        }
    }

    void workerSummariesShowEveryOwnerAndAddUpToTheProducts_data()
    {
        QTest::addColumn<SummaryReportKind>("kind");
        QTest::newRow("by workers") << SummaryReportKind::ByWorkers;
        QTest::newRow("detailed by workers") << SummaryReportKind::DetailedByWorkers;
    }
    void workerSummariesShowEveryOwnerAndAddUpToTheProducts()
    {
        try {
            QFETCH(SummaryReportKind, kind);
            const ReportPeriod march{QDate(2024, 3, 1), QDate(2024, 4, 1)};
            SummaryReportBuilder builder(m_db->database());
            auto products =
                builder.prepare(summaryReportForm(SummaryReportKind::DetailedByProducts), march, AllProducts);
            QCOMPARE(reportTotal(*products), QStringLiteral("72,00"));
            auto workers = builder.prepare(summaryReportForm(kind), march, AllProducts);
            QCOMPARE(reportTotal(*workers), QStringLiteral("72,00"));
            const QStringList lines = reportLines(*workers);
            QStringList names;
            for (const QString& line : lines)
                if (owners.contains(line) || line.startsWith(QStringLiteral("Тимофеев")))
                    names << line;
            QCOMPARE(names, owners);
        } catch (const DbError& error) {
            QFAIL(qPrintable(error.text()));
        }
    }
};

QTEST_MAIN(TestRecordPersons)
#include "TestRecordPersons.moc"
