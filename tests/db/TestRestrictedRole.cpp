// The program as it runs on an enterprise server: sys is no superuser and owns nothing, and has
// exactly the rights of db/sql/grants.sql (plus grants-stand-in.sql for the stand-in's own
// triggers). scripts/test prepares that server; the database belongs to postgres.
#include "common/ActionGuard.h"
#include "common/Clock.h"
#include "db/DataModule.h"
#include "legacy_import/LegacyFixture.h"
#include "legacy_import/LegacyImport.h"
#include "production_log/ProductionRecordSaver.h"
#include "production_log/ProductionRecords.h"
#include "reference/NormsBook.h"
#include "reference/OperationTypesBook.h"
#include "reference/OperationsBook.h"
#include "reference/PriceListExport.h"
#include "reference/ProductEditor.h"
#include "reference/ProductsBook.h"
#include "reference/WorkerEditor.h"
#include "reference/WorkersBook.h"
#include "report_engine/PreparedReport.h"
#include "reports/ProductKind.h"
#include "reports/ProductionSummaryExport.h"
#include "reports/SummaryReportBuilder.h"
#include "shell/VersionCheck.h"
#include "spreadsheet/RecordingSpreadsheetViewer.h"
#include "spreadsheet/SpreadsheetWriter.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"
#include "timesheet/LedgerCheck.h"
#include "timesheet/MonthRebuild.h"
#include "timesheet/MonthlySummary.h"
#include "timesheet/TimesheetExport.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>

using namespace tabel;

namespace {
const QDate day(2024, 3, 5);

const char* const fixture = R"(
delete from accounts_dep.ver;
insert into cmn_contractor.person (id, s_caption, s_code) values (1, 'Иванов Иван', '1'), (2, 'Петров Пётр', '2');
select setval(pg_get_serial_sequence('cmn_contractor.person', 'id'), 2);
insert into cmn_classifier.item (id, s_caption, id_level) values (7, 'Крепёж', 2);
insert into cmn_department.department (id, s_caption) values (1, 'Цех 1');
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa) values (10, 'А-100', '', 6, 1);
select setval('cmn_gds_and_srv.gds_and_srv_id_seq', 10);
insert into accounts_dep.vid_oper (id, vid) values (1, 'Резка');
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values (100, 1, 0, 10, 0);
insert into accounts_dep.norm (o_id, norma, price, prize) values (100, 1, 3.0, 0);
)";

// The text of the failure, or nothing when the work ran: a refused right shows its statement.
QString failureOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const std::exception& error) {
        return ActionGuard::reportText(error) + QLatin1Char(' ') + ActionGuard::reportDetail(error);
    }
    return {};
}

struct SilentProgress : ImportProgress
{
    void showProgress(const QString&) override {}
    bool cancelRequested() override { return false; }
};
} // namespace

class TestRestrictedRole : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Database> m_program; // logged in as the restricted sys
    std::unique_ptr<DataModule> m_module;
    ScriptedMessages m_messages;
    FixedClock m_clock{day};
    QTemporaryDir m_folder;
    QString m_failure;

    // Whether work ran to its end; if not, m_failure tells why, as the user would read it.
    bool runs(const std::function<void()>& work)
    {
        m_failure = failureOf(work);
        if (!m_failure.isEmpty())
            qWarning("%s", qPrintable(m_failure)); // the check's own text is cut short
        return m_failure.isEmpty();
    }

    ProductionRecord record(int hours, int shift = 1) const
    {
        ProductionRecord record;
        record.workerId = 1;
        record.productId = 10;
        record.operationId = 100;
        record.price = 3;
        record.quantity = 4;
        record.date = day;
        record.shift = shift;
        record.hours = hours;
        return record;
    }
    int ledgerDay(int shift)
    {
        return m_db->count(
            QStringLiteral("select d5 from accounts_dep.h_tabel where w_id = 1 and smena = %1").arg(shift));
    }

private slots:
    void init()
    {
        m_db =
            std::make_unique<TestDatabase>(QStringLiteral("restricted"), TestDatabase::Server::RestrictedSys);
        m_db->run(QString::fromUtf8(fixture));
        m_program = std::make_unique<Database>(QStringLiteral("restricted-program"));
        m_program->open(m_db->settings());
        m_module = std::make_unique<DataModule>(*m_program);
        m_messages.reset();
    }
    void cleanup()
    {
        m_module.reset();
        m_program.reset();
        m_db.reset();
    }

    void sysIsNoSuperuserAndOwnsNothing()
    {
        QCOMPARE(m_program
                     ->readValue(QStringLiteral("select rolsuper from pg_roles where rolname = current_user"),
                                 QStringLiteral("rolsuper"))
                     .toBool(),
                 false);
        QCOMPARE(m_program->readInt(QStringLiteral("select count(*) as n from pg_class c join pg_roles r on "
                                                   "r.oid = c.relowner where r.rolname = 'sys'"),
                                    QStringLiteral("n")),
                 0);
    }

    void everyActionRunsWithTheGrantedRights()
    {
        QVERIFY2(runs([&] {
                     QVERIFY(!VersionCheck(*m_program, *m_module, BuildStamp{20240305, 43200}).run());
                 }),
                 qPrintable(m_failure));

        // The record road: add, change, close mark, delete, each with its ledger recompute.
        QVERIFY2(runs([&] {
                     ProductionRecordSaver saver(*m_module, m_messages, m_clock);
                     QVERIFY(saver.add(record(8)));
                     const int id = m_db->count(QStringLiteral("select max(id) from accounts_dep.smena"));
                     QVERIFY(saver.change(id, record(6)));
                     ProductionRecords records(*m_program);
                     const QString mark = records.toggleClosedMark(id, QStringLiteral("no"));
                     QVERIFY(ProductionRecords::isClosedMark(mark));
                     records.toggleClosedMark(id, mark);
                     QVERIFY(saver.add(record(2, 2)));
                     records.deleteRecord(id);
                 }),
                 qPrintable(m_failure));
        QCOMPARE(m_messages.texts(), QStringList());
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.smena")), 1);
        QCOMPARE(ledgerDay(1), 0);
        QCOMPARE(ledgerDay(2), 2);

        // The lists of the main window, the reference books and the time sheet.
        QVERIFY2(runs([&] {
                     m_module->setDailyListDate(day);
                     m_module->setDailyListExcludedMark(QStringLiteral("ta"));
                     for (int shift = 1; shift <= 4; ++shift)
                         m_module->dailyList(shift).open();
                     QCOMPARE(m_module->dailyList(2).rowCount(), 1);
                     for (StaticQuery* list : {&m_module->workers(), &m_module->products(),
                                               &m_module->operationTypes(), &m_module->operations()})
                         list->open();
                     for (int shift = 1; shift <= 3; ++shift) {
                         m_module->timesheetRows(shift).setParameter(QStringLiteral(":mnth"), day.month());
                         m_module->timesheetRows(shift).setParameter(QStringLiteral(":yea"), day.year());
                         m_module->timesheetRows(shift).open();
                     }
                     MonthlySummary::open(*m_program, day.month(), day.year());
                 }),
                 qPrintable(m_failure));

        QVERIFY2(
            runs([&] {
                // The editors' lists of departments, positions, roles and product classes.
                WorkerEditor workerEditor(*m_program, m_messages);
                workerEditor.prepareAdd();
                QCOMPARE(workerEditor.findChild<QComboBox*>(QStringLiteral("LCB_department"))->count(), 1);
                ProductEditor productEditor(*m_module, m_messages);
                productEditor.prepareAdd();
                QCOMPARE(productEditor.findChild<QComboBox*>(QStringLiteral("cb_item"))->count(), 1);

                WorkersBook workers(*m_program);
                workers.add(QStringLiteral("Сидоров Сидор"), QStringLiteral("токарь"));
                const int worker = m_db->count(
                    QStringLiteral("select id from cmn_contractor.person where s_caption = 'Сидоров Сидор'"));
                workers.change(worker, QStringLiteral("Сидоров С."), QStringLiteral("слесарь"));
                QVERIFY(workers.remove(worker));

                ProductsBook products(*m_module);
                QVERIFY(products.add({QStringLiteral("Б-200"), 0.5, 7}));
                QVERIFY(products.change(10, {QStringLiteral("А-101"), 1.5, 7}));

                OperationTypesBook types(*m_module);
                QVERIFY(types.add(QStringLiteral("Сварка")));
                const int type =
                    m_db->count(QStringLiteral("select id from accounts_dep.vid_oper where vid = 'Сварка'"));
                QVERIFY(types.change(type, QStringLiteral("Сварка шва")));

                OperationsBook operations(*m_module);
                QVERIFY(operations.add({type, 1, 10}, 2.5));
                const int operation =
                    m_db->count(QStringLiteral("select id from accounts_dep.oper where vid = %1").arg(type));
                QVERIFY(operations.change(operation, {type, 0, 10}));

                NormsBook norms(*m_program);
                const int entry = norms.addEntry(operation, 2, 4.5, 10);
                NormEntry changed = norms.entries(operation).constLast();
                changed.price = 5.0;
                norms.changeEntry(changed);
                QVERIFY(norms.removeEntry(entry));
                QVERIFY(operations.remove(operation));
                QCOMPARE(types.remove(type), OperationTypesBook::Removal::Removed);
            }),
            qPrintable(m_failure));
        QCOMPARE(m_messages.texts(), QStringList());

        m_db->run(QStringLiteral("update accounts_dep.h_tabel set d5 = 9"));
        QVERIFY2(runs([&] { MonthRebuild(*m_program).run(day.month(), day.year()); }), qPrintable(m_failure));
        QCOMPARE(ledgerDay(2), 2);
        QVERIFY2(runs([&] { LedgerCheck(*m_program).run(day.month(), day.year()); }), qPrintable(m_failure));

        const ReportPeriod march{QDate(2024, 3, 1), QDate(2024, 4, 1)};
        for (SummaryReportKind kind :
             {SummaryReportKind::ByWorkers, SummaryReportKind::ByProducts,
              SummaryReportKind::DetailedByWorkers, SummaryReportKind::DetailedByProducts}) {
            QVERIFY2(runs([&] {
                         auto report = SummaryReportBuilder(*m_program)
                                           .prepare(summaryReportForm(kind), march, int(AllProducts));
                         QVERIFY(report->pageCount() > 0);
                     }),
                     qPrintable(m_failure));
        }

        RecordingSpreadsheetViewer viewer;
        SpreadsheetWriter writer(m_messages, viewer, m_folder.path());
        QVERIFY2(runs([&] {
                     QVERIFY(TimesheetExport(*m_program, writer).run(day.month(), day.year()));
                     ProductionSummaryExport(*m_program, writer).run(march, int(AllProducts));
                     PriceListExport(*m_program, writer).run();
                 }),
                 qPrintable(m_failure));
        QCOMPARE(viewer.opened().size(), 3);
        QCOMPARE(m_messages.texts(), QStringList());
    }

    // The import moves the id sequences itself (an enterprise database has no triggers for it),
    // which it must manage without owning the tables; the program's next rows then follow the
    // copied ids.
    void legacyImportRunsAndTheProgramAddsRowsAfterIt()
    {
        LegacyFixture legacy(*m_db);
        legacy.fillSmallSource();
        m_db->run(QStringLiteral("grant select on public.smena to sys"));
        SilentProgress progress;
        const ImportOutcome outcome = LegacyImport(*m_program).run(progress);
        QVERIFY2(outcome.finished(), outcome.failure ? qPrintable(importFailureText(*outcome.failure) + ' ' +
                                                                  outcome.failure->detail)
                                                     : "cancelled");
        QVERIFY2(runs([&] {
                     QVERIFY(ProductsBook(*m_module).add({QStringLiteral("Новая марка"), 1, 0}));
                     QVERIFY(OperationTypesBook(*m_module).add(QStringLiteral("Покраска")));
                     QVERIFY(OperationsBook(*m_module).add({1, 0, 40}, 2.5));
                 }),
                 qPrintable(m_failure));
        QCOMPARE(m_db->count(QStringLiteral("select max(id) from accounts_dep.izdel")), 41);
        QCOMPARE(m_db->count(QStringLiteral("select max(id) from accounts_dep.vid_oper")), 3);
        QCOMPARE(m_db->count(QStringLiteral("select max(id) from accounts_dep.oper")), 206);
    }

    // What an administrator forgot reads as a missing right, in the import as everywhere else.
    void aRefusedRightReadsAsSuch()
    {
        m_db->run(QStringLiteral("revoke delete on accounts_dep.smena from sys"));
        QVERIFY(ProductionRecordSaver(*m_module, m_messages, m_clock).add(record(8)));
        const int id = m_db->count(QStringLiteral("select max(id) from accounts_dep.smena"));
        ProductionRecords records(*m_program);
        QVERIFY(!ActionGuard(m_messages, *m_program).run([&] { records.deleteRecord(id); }));
        QCOMPARE(m_messages.texts().size(), 1);
        QVERIFY2(
            m_messages.texts().constFirst().startsWith(QStringLiteral("Недостаточно прав в базе данных")),
            qPrintable(m_messages.texts().constFirst()));

        LegacyFixture legacy(*m_db);
        legacy.fillSmallSource();
        m_db->run(QStringLiteral("grant select on public.smena to sys; "
                                 "revoke delete on accounts_dep.workers from sys"));
        SilentProgress progress;
        const ImportOutcome outcome = LegacyImport(*m_program).run(progress);
        QVERIFY(outcome.failure);
        QCOMPARE(outcome.failure->step, 6);
        const QString text = importFailureText(*outcome.failure);
        QVERIFY2(
            text.contains(QStringLiteral("недостаточно прав в базе данных для таблицы accounts_dep.workers")),
            qPrintable(text));
        QVERIFY2(outcome.failure->detail.contains(QStringLiteral("permission denied")),
                 qPrintable(outcome.failure->detail));
    }
};

QTEST_MAIN(TestRestrictedRole)
#include "TestRestrictedRole.moc"
