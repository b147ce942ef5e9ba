#include "common/Clock.h"
#include "db/DataModule.h"
#include "legacy_import/ImportSteps.h"
#include "legacy_import/LegacyFixture.h"
#include "legacy_import/LegacyImport.h"
#include "production_log/ProductionRecordSaver.h"
#include "reference/OperationTypesBook.h"
#include "reference/OperationsBook.h"
#include "reference/ProductsBook.h"
#include "support/ScriptedMessages.h"

#include <QSqlQuery>
#include <QTest>
#include <functional>
#include <memory>

using namespace tabel;

namespace {
struct RecordedProgress : ImportProgress
{
    QStringList texts;
    std::function<bool(const QString&)> cancelWhen;

    void showProgress(const QString& text) override { texts.append(text); }
    bool cancelRequested() override { return cancelWhen && cancelWhen(texts.last()); }
    QStringList of(const QString& table) const
    {
        return texts.filter(QRegularExpression(QStringLiteral("^%1: ").arg(table)));
    }
};

QString normalised(const QVariant& value, FieldKind kind)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    switch (kind) {
    case FieldKind::Integer:
        return QString::number(value.toLongLong());
    case FieldKind::Decimal:
        return QString::number(value.toDouble(), 'g', 12);
    case FieldKind::Text:
    case FieldKind::ThroughText:
        break;
    }
    QString text = value.toString();
    while (text.endsWith(QLatin1Char(' '))) // the fixed-width columns of the target pad with blanks
        text.chop(1);
    return text;
}

QList<QStringList> rowsOf(QSqlQuery& query, const ImportStep& step)
{
    QList<QStringList> rows;
    while (query.next()) {
        QStringList row;
        for (int i = 0; i < step.fields.size(); ++i)
            row.append(normalised(query.value(i), step.fields.at(i).kind));
        rows.append(row);
    }
    return rows;
}

QStringList fieldNames(const ImportStep& step)
{
    QStringList names;
    for (const ImportField& field : step.fields)
        names.append(field.name);
    return names;
}

const ImportStep& stepOf(const QString& sourceTable)
{
    for (const ImportStep& step : legacyImportSteps())
        if (step.sourceTable == sourceTable)
            return step;
    qFatal("no step %s", qPrintable(sourceTable));
}

const QList<int> seeded = {-3, 0, 5};

// The seeded rows with ids up to 0 survived; the one with id 5 was replaced.
bool replacedAboveZero(const QList<int>& ids)
{
    return ids.mid(0, 2) == QList<int>{-3, 0} && !ids.contains(5);
}
} // namespace

class TestLegacyImport : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<LegacyFixture> m_fixture;

    ImportOutcome import(RecordedProgress& progress)
    {
        LegacyImport importer(m_db->database());
        return importer.run(progress);
    }
    QList<QStringList> legacyRows(const ImportStep& step)
    {
        QSqlQuery query(m_fixture->legacy());
        query.exec(QStringLiteral("select %1 from %2 order by %3")
                       .arg(fieldNames(step).join(','), step.sourceTable,
                            step.keepsIds ? QStringLiteral("id") : QStringLiteral("rowid")));
        return rowsOf(query, step);
    }
    QList<QStringList> targetRows(const ImportStep& step)
    {
        QSqlQuery query =
            m_db->database().execute(QStringLiteral("select %1 from %2 where id > 0 order by id")
                                         .arg(fieldNames(step).join(','), step.targetTable));
        return rowsOf(query, step);
    }
    // Ids the target of step holds after the import: the seeded ones without 5, and the source's.
    void verifyImported(const ImportStep& step)
    {
        const QList<int> ids = m_fixture->targetIds(step.targetTable);
        QVERIFY2(replacedAboveZero(ids), qPrintable(step.targetTable));
        QCOMPARE(targetRows(step), legacyRows(step));
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("legacyimport"));
        m_fixture = std::make_unique<LegacyFixture>(*m_db);
        m_fixture->seedTargets();
        m_fixture->fillSmallSource();
    }
    void cleanup()
    {
        m_fixture.reset();
        m_db.reset();
    }

    void everyTableMatchesItsSource()
    {
        m_db->run(QStringLiteral("select setval('accounts_dep.nomenkl_id_seq', 500)"));
        RecordedProgress progress;
        const ImportOutcome outcome = import(progress);
        QVERIFY2(outcome.finished(), outcome.failure ? qPrintable(outcome.failure->detail) : "cancelled");

        QStringList received;
        for (const ImportedTable& table : outcome.done)
            received.append(QStringLiteral("%1=%2").arg(table.targetTable).arg(table.rows));
        QCOMPARE(received,
                 (QStringList{"accounts_dep.h_tabel=3", "accounts_dep.izdel=2", "accounts_dep.nomenkl=3",
                              "accounts_dep.oper=3", "accounts_dep.vid_oper=2", "accounts_dep.workers=2",
                              "accounts_dep.smena=3"}));
        for (const QString& table : QStringList{"H_TABEL", "IZDEL", "OPER", "VID_OPER", "WORKERS"})
            verifyImported(stepOf(table));
        // Step 3 keeps no ids: the database numbers the rows, in the order the source gave them.
        QCOMPARE(m_fixture->targetIds(QStringLiteral("accounts_dep.nomenkl")),
                 (QList<int>{-3, 0, 501, 502, 503}));
        QCOMPARE(targetRows(stepOf(QStringLiteral("NOMENKL"))),
                 legacyRows(stepOf(QStringLiteral("NOMENKL"))));
        // Step 7's fields pass through their text form: the target's types read them back.
        const QString sourceAsTarget = QStringLiteral("select id, w_id, i_id, o_id, kol_vo, brak, smena, "
                                                      "cena, color, ok, cast(data as date), time, vvod "
                                                      "from public.smena");
        const QString target =
            QStringLiteral("select id, w_id, i_id, o_id, kol_vo, brak, smena, cena, color, ok, "
                           "data, time, vvod from accounts_dep.smena where id > 0");
        QCOMPARE(
            m_db->count(QStringLiteral("select count(*) from (%1 except %2) d").arg(sourceAsTarget, target)),
            0);
        QCOMPARE(
            m_db->count(QStringLiteral("select count(*) from (%1 except %2) d").arg(target, sourceAsTarget)),
            0);
        QCOMPARE(m_fixture->targetIds(QStringLiteral("accounts_dep.smena")), (QList<int>{-3, 0, 1, 2, 30}));

        for (const ImportStep& step : legacyImportSteps()) {
            const QStringList texts = progress.of(step.sourceTable);
            const int total = step.sourceTable == QLatin1String("IZDEL") ||
                                      step.sourceTable == QLatin1String("VID_OPER") ||
                                      step.sourceTable == QLatin1String("WORKERS")
                                  ? 2
                                  : 3;
            QVERIFY2(!texts.isEmpty(), qPrintable(step.sourceTable));
            QCOMPARE(texts.first(), QStringLiteral("%1: 1 из %2 записей").arg(step.sourceTable).arg(total));
            QCOMPARE(texts.last(), QStringLiteral("%1: %2 из %2 записей").arg(step.sourceTable).arg(total));
        }
    }

    void progressCountsEveryRowOfALargeTable()
    {
        m_fixture->legacyRun(QStringLiteral("delete from H_TABEL"));
        QSqlDatabase legacy = m_fixture->legacy();
        legacy.transaction();
        for (int id = 1; id <= 340; ++id)
            m_fixture->legacyRun(
                QStringLiteral("insert into H_TABEL (id, w_id, month, year, smena, d1) values "
                               "(?, ?, 5, 2010, 1, 8)"),
                {id, id % 17});
        legacy.commit();
        RecordedProgress progress;
        QVERIFY(import(progress).finished());
        const QStringList texts = progress.of(QStringLiteral("H_TABEL"));
        QCOMPARE(texts.first(), QStringLiteral("H_TABEL: 1 из 340 записей"));
        QCOMPARE(texts.last(), QStringLiteral("H_TABEL: 340 из 340 записей"));
        int before = 0;
        for (const QString& text : texts) {
            const int done = text.section(' ', 1, 1).toInt();
            QVERIFY2(done > before, qPrintable(texts.join(" | ")));
            before = done;
        }
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.h_tabel where id > 0")), 340);
    }

    void emptySourceEmptiesTheTargetButForIdsUpToZero()
    {
        m_fixture->legacyRun(QStringLiteral("delete from WORKERS"));
        RecordedProgress progress;
        const ImportOutcome outcome = import(progress);
        QVERIFY(outcome.finished());
        QCOMPARE(outcome.done.at(5).targetTable, QStringLiteral("accounts_dep.workers"));
        QCOMPARE(outcome.done.at(5).rows, 0);
        QCOMPARE(m_fixture->targetIds(QStringLiteral("accounts_dep.workers")), (QList<int>{-3, 0}));
        QVERIFY(progress.of(QStringLiteral("WORKERS")).isEmpty());
    }

    void badSourceStopsAtItsStepAndKeepsTheStepsBefore_data()
    {
        QTest::addColumn<QString>("legacySql");
        QTest::addColumn<QString>("targetSql");
        QTest::addColumn<int>("failingStep");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("driverSpeaks");
        QTest::addColumn<QString>("row");
        QTest::newRow("value out of its range in step 4")
            << "update OPER set NAIMEN = 70000 where ID = 2"
            << "" << 4 << "число не помещается в поле таблицы accounts_dep.oper" << true
            << "запись OPER id 2";
        QTest::newRow("source table missing") << "drop table OPER"
                                              << "" << 4 << "в источнике нет таблицы «OPER»" << false << "";
        QTest::newRow("source field missing")
            << "alter table WORKERS rename column ADDR to ADDRESS"
            << "" << 6 << "в таблице «WORKERS» источника нет поля «addr»" << true << "";
        QTest::newRow("text longer than its column")
            << QStringLiteral("update VID_OPER set VID = '%1' where ID = 2").arg(QString(51, QChar(0x436)))
            << "" << 5 << "текст длиннее, чем допускает поле таблицы accounts_dep.vid_oper" << true
            << "запись VID_OPER id 2";
        QTest::newRow("decimal that is no number")
            << "update IZDEL set massa = '12,5' where ID = 40"
            << "" << 2 << "значение из источника не подходит к полю таблицы accounts_dep.izdel" << true
            << "запись IZDEL id 40";
        QTest::newRow("date the target refuses")
            << ""
            << "alter table public.smena alter data type varchar(20); update public.smena set data = "
               "'2009-02-30' where id = 2"
            << 7 << "таблица accounts_dep.smena не принимает дату из источника" << true
            << "запись smena id 2";
    }
    void badSourceStopsAtItsStepAndKeepsTheStepsBefore()
    {
        QFETCH(QString, legacySql);
        QFETCH(QString, targetSql);
        QFETCH(int, failingStep);
        QFETCH(QString, reason);
        QFETCH(bool, driverSpeaks);
        QFETCH(QString, row);
        if (!legacySql.isEmpty())
            m_fixture->legacyRun(legacySql);
        if (!targetSql.isEmpty())
            m_db->run(targetSql);
        RecordedProgress progress;
        const ImportOutcome outcome = import(progress);
        QVERIFY(outcome.failure);
        QCOMPARE(outcome.failure->step, failingStep);
        QCOMPARE(outcome.done.size(), failingStep - 1);
        const QString text = importFailureText(*outcome.failure);
        QVERIFY2(text.contains(reason), qPrintable(text));
        QVERIFY2(text.startsWith(QStringLiteral("Импорт остановлен на шаге %1 из 7").arg(failingStep)),
                 qPrintable(text));
        QCOMPARE(!outcome.failure->detail.isEmpty(), driverSpeaks);
        QCOMPARE(text.contains(row + QLatin1Char('.')), true);
        QCOMPARE(text.contains(QStringLiteral("; запись")), !row.isEmpty());

        const QList<ImportStep>& steps = legacyImportSteps();
        for (int i = 0; i < steps.size(); ++i) {
            const QList<int> ids = m_fixture->targetIds(steps.at(i).targetTable);
            if (i + 1 < failingStep)
                QVERIFY2(replacedAboveZero(ids) && ids.size() > 2, qPrintable(steps.at(i).targetTable));
            else
                QCOMPARE(ids, seeded);
        }
    }

    // Decimals travel as the source writes them, not through a double; a text the target
    // cannot hold is refused instead of being cut short.
    void valuesArriveExactly()
    {
        m_fixture->legacyRun(QStringLiteral("update OPER set CENA = 0.0274 where ID = 205"));
        // A text column: SQLite itself keeps no 19-digit decimal.
        m_fixture->legacyRun(QStringLiteral("drop table IZDEL"));
        m_fixture->legacyRun(QStringLiteral("create table IZDEL (MARKA varchar(50), ID integer primary key, "
                                            "nom varchar(100), massa varchar(30))"));
        m_fixture->legacyRun(
            QStringLiteral("insert into IZDEL (ID, MARKA, nom, massa) values "
                           "(1, 'А', 'Б', '999999999999999.9999'), (2, 'В', 'Г', '-0.000001')"));
        RecordedProgress progress;
        QVERIFY(import(progress).finished());
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.oper where cena = 0.0274")),
                 1);
        QCOMPARE(
            m_db->count(QStringLiteral(
                "select count(*) from accounts_dep.izdel where massa in (999999999999999.9999, -0.000001)")),
            2);
    }

    // SQLite's driver itself cuts a text at a NUL; a blob brings one through, as other DBMSs'
    // drivers do with text. The target would keep only what comes before it.
    void textHoldingANulIsRefused()
    {
        m_fixture->legacyRun(QStringLiteral("drop table WORKERS"));
        m_fixture->legacyRun(
            QStringLiteral("create table WORKERS (FIO blob, ID integer primary key, ADDR varchar(100))"));
        m_fixture->legacyRun(
            QStringLiteral("insert into WORKERS (ID, FIO) values (1, 'Петров'), (17, ?)"),
            {QStringLiteral("Ива").toUtf8() + QByteArray(1, '\0') + QStringLiteral("нов").toUtf8()});
        RecordedProgress progress;
        const ImportOutcome outcome = import(progress);
        QVERIFY(outcome.failure);
        QCOMPARE(outcome.failure->step, 6);
        const QString text = importFailureText(*outcome.failure);
        QVERIFY2(text.contains(QStringLiteral("значение из источника не подходит к полю таблицы "
                                              "accounts_dep.workers; запись WORKERS id 17.")),
                 qPrintable(text));
        QCOMPARE(m_fixture->targetIds(QStringLiteral("accounts_dep.workers")), seeded);
    }

    // Field names are matched without regard to case, as a migration tool may write them.
    void upperCaseFieldNamesAreFound()
    {
        m_db->run(QStringLiteral("alter table public.smena rename column id to \"ID\";"
                                 "alter table public.smena rename column w_id to \"W_ID\";"
                                 "alter table public.smena rename column data to \"DATA\""));
        RecordedProgress progress;
        const ImportOutcome outcome = import(progress);
        QVERIFY2(outcome.finished(), outcome.failure ? qPrintable(outcome.failure->detail) : "cancelled");
        QCOMPARE(m_fixture->targetIds(QStringLiteral("accounts_dep.smena")), (QList<int>{-3, 0, 1, 2, 30}));
        QCOMPARE(m_db->count(QStringLiteral("select w_id from accounts_dep.smena where id = 2")), 17);
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.smena where id = 30 and "
                                            "data = '2009-04-01'")),
                 1);
    }

    void cancelRollsBackTheCurrentStepOnly()
    {
        RecordedProgress progress;
        progress.cancelWhen = [](const QString& text) { return text.startsWith(QLatin1String("IZDEL: ")); };
        const ImportOutcome outcome = import(progress);
        QCOMPARE(outcome.cancelledAt, std::optional<int>(2));
        QCOMPARE(outcome.done.size(), 1);
        verifyImported(stepOf(QStringLiteral("H_TABEL")));
        for (int i = 1; i < legacyImportSteps().size(); ++i)
            QCOMPARE(m_fixture->targetIds(legacyImportSteps().at(i).targetTable), seeded);
    }

    // Without the stand-in's triggers nothing but the import moves the sequences: each of these
    // writes would otherwise take id 1, which the import has just copied.
    void theProgramAddsRowsAfterTheImport()
    {
        RecordedProgress progress;
        QVERIFY(import(progress).finished());
        m_db->run(QStringLiteral(
            "insert into cmn_contractor.person (id, s_caption, s_code) values (1, 'Иванов', '1')"));
        DataModule module(m_db->database());
        ScriptedMessages messages;
        FixedClock clock(QDate(2024, 3, 5));
        ProductionRecord record;
        record.workerId = 1;
        record.productId = 40;
        record.operationId = 205;
        record.price = 1.5;
        record.quantity = 3;
        record.date = QDate(2024, 3, 5);
        record.hours = 8;
        QVERIFY(ProductionRecordSaver(module, messages, clock).add(record));
        QVERIFY(OperationsBook(module).add({1, 0, 40}, 2.5));
        QVERIFY(ProductsBook(module).add({QStringLiteral("Новая марка"), 1, 0}));
        QVERIFY(OperationTypesBook(module).add(QStringLiteral("Покраска")));
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(m_db->count(QStringLiteral("select max(id) from accounts_dep.smena")), 31);
        QCOMPARE(m_db->count(QStringLiteral("select max(id) from accounts_dep.h_tabel")), 10);
        QCOMPARE(m_db->count(QStringLiteral("select max(id) from accounts_dep.oper")), 206);
        QCOMPARE(m_db->count(QStringLiteral("select max(id) from accounts_dep.izdel")), 41);
        QCOMPARE(m_db->count(QStringLiteral("select max(id) from accounts_dep.vid_oper")), 3);
    }
};

QTEST_GUILESS_MAIN(TestLegacyImport)
#include "TestLegacyImport.moc"
