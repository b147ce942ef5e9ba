// Speed of the legacy import: a generated legacy source (SMENA_ROWS rows of smena, OTHER_ROWS in
// each of the six ODBC tables) imported through the program's LegacyImport, with the rows per
// second of every step and of the whole; then the old way on a sample of smena, one row inserted
// and committed at a time through the same psqlODBC data source.
//
//   tabel_bench_legacy_import SOCKET_FOLDER TEMPLATE [SMENA_ROWS] [OTHER_ROWS] [SAMPLE]
//
// TEMPLATE is a database holding db/sql/enterprise.sql; a copy of it is made and dropped again.
// The data sources live in a temporary folder, as in the tests (LegacyFixture).

#include "legacy_import/ImportSteps.h"
#include "legacy_import/LegacyFixture.h"
#include "legacy_import/LegacyImport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

using namespace tabel;

namespace {
QTextStream out(stdout);

struct TimedProgress : ImportProgress
{
    QElapsedTimer clock;
    QString currentTable;
    QList<std::pair<QString, qint64>> stepEnds; // table, ns since start at its last row
    void showProgress(const QString& text) override
    {
        const QString table = text.section(QLatin1Char(':'), 0, 0);
        if (stepEnds.isEmpty() || stepEnds.last().first != table)
            stepEnds.append({table, 0});
        stepEnds.last().second = clock.nsecsElapsed();
    }
    bool cancelRequested() override { return false; }
};

void generateLegacy(LegacyFixture& fixture, int rows)
{
    QSqlDatabase legacy = fixture.legacy();
    legacy.transaction();
    QString timesheet = QStringLiteral("insert into H_TABEL (id, w_id, month, year, smena");
    QString values = QStringLiteral("?, ?, ?, ?, ?");
    for (int day = 1; day <= 31; ++day) {
        timesheet += QStringLiteral(", d%1").arg(day);
        values += QStringLiteral(", ?");
    }
    timesheet += QStringLiteral(") values (%1)").arg(values);
    for (int id = 1; id <= rows; ++id) {
        QVariantList row = {id, id % 1000, id % 12 + 1, 2000 + id % 20, id % 4 + 1};
        for (int day = 1; day <= 31; ++day)
            row.append((id + day) % 12);
        fixture.legacyRun(timesheet, row);
        fixture.legacyRun(
            QStringLiteral("insert into IZDEL (ID, MARKA, nom, massa) values (?, ?, ?, ?)"),
            {id, QStringLiteral("М-%1").arg(id), QStringLiteral("Изделие №%1").arg(id), id * 0.25});
        fixture.legacyRun(
            QStringLiteral("insert into NOMENKL (Nom, marka) values (?, ?)"),
            {QStringLiteral("Номенклатура %1").arg(id), QStringLiteral("Н%1").arg(id % 100000)});
        fixture.legacyRun(
            QStringLiteral("insert into OPER (ID, VID, NAIMEN, CENA, I_ID) values (?, ?, ?, ?, ?)"),
            {id, id % 50 + 1, id % 2, 1.5 + id % 7, id});
        fixture.legacyRun(QStringLiteral("insert into VID_OPER (ID, VID) values (?, ?)"),
                          {id, QStringLiteral("Операция %1").arg(id)});
        fixture.legacyRun(
            QStringLiteral("insert into WORKERS (ID, FIO, ADDR) values (?, ?, ?)"),
            {id, QStringLiteral("Рабочий %1 И.О.").arg(id), QStringLiteral("ул. Заводская, %1").arg(id)});
    }
    legacy.commit();
}

// The old way: each row its own insert, committed on its own.
double rowAtATime(TestDatabase& db, int sample)
{
    QSqlDatabase target = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("row-at-a-time"));
    target.setDatabaseName(LegacyDataSources::target);
    target.setUserName(LegacyDataSources::targetUser);
    if (!target.open())
        qFatal("%s", qPrintable(target.lastError().text()));
    const ImportStep& step = legacyImportSteps().last();
    QStringList names;
    for (const ImportField& field : step.fields)
        names.append(field.name);
    QSqlQuery source = db.database().execute(
        QStringLiteral(
            "select id, w_id, i_id, o_id, kol_vo, brak, smena, cena, color, cast(ok as text), cast(data as "
            "text), cast(time as text), cast(vvod as text) from smena order by id limit :n"),
        {{":n", sample}});
    QSqlQuery clear(target);
    clear.exec(QStringLiteral("delete from accounts_dep.smena where id>0"));
    QSqlQuery insert(target);
    insert.prepare(QStringLiteral("insert into accounts_dep.smena (%1) values (%2)")
                       .arg(names.join(','), QStringList(names.size(), QStringLiteral("?")).join(',')));
    QElapsedTimer clock;
    clock.start();
    int rows = 0;
    while (source.next()) {
        for (int i = 0; i < names.size(); ++i)
            insert.bindValue(i, source.value(i));
        if (!insert.exec())
            qFatal("%s", qPrintable(insert.lastError().text()));
        ++rows;
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    insert.finish();
    target.close();
    return rows / seconds;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        out << "usage: tabel_bench_legacy_import SOCKET_FOLDER TEMPLATE [SMENA_ROWS] [OTHER_ROWS] [SAMPLE]\n";
        return 2;
    }
    qputenv("TABEL_TEST_PGHOST", args.at(1).toUtf8());
    qputenv("TABEL_TEST_TEMPLATE", args.at(2).toUtf8());
    const int smenaRows = args.size() > 3 ? args.at(3).toInt() : 1000000;
    const int otherRows = args.size() > 4 ? args.at(4).toInt() : 10000;
    const int sample = args.size() > 5 ? args.at(5).toInt() : 5000;

    TestDatabase db(QStringLiteral("importbench"));
    {
        LegacyFixture fixture(db);
        QElapsedTimer generation;
        generation.start();
        generateLegacy(fixture, otherRows);
        db.run(
            QStringLiteral(
                "insert into public.smena (id, w_id, i_id, o_id, kol_vo, brak, data, smena, cena, color, "
                "time, ok, "
                "vvod) select g, g % 1000, g % 10000 + 1, g % 10000 + 1, g % 50, g % 3, date '2009-01-01' + "
                "g % "
                "3650, g % 4 + 1, 1.25 + g % 9, g % 5, g % 12, case when g % 2 = 0 then 'ok' else 'no' end, "
                "timestamp '2009-01-01 08:00' + (g % 3650) * interval '1 day' from generate_series(1, :n) g"),
            {{":n", smenaRows}});
        db.run(QStringLiteral("analyze public.smena"));
        out << "source generated in " << generation.elapsed() / 1000.0 << " s: smena " << smenaRows
            << " rows, " << otherRows << " rows in each ODBC table\n";
        out.flush();

        TimedProgress progress;
        progress.clock.start();
        const ImportOutcome outcome = LegacyImport(db.database()).run(progress);
        const double total = double(progress.clock.nsecsElapsed()) / 1e9;
        if (!outcome.finished()) {
            out << "import did not finish: "
                << (outcome.failure ? outcome.failure->detail : QStringLiteral("cancelled")) << "\n";
            return 1;
        }
        qint64 before = 0;
        int allRows = 0;
        for (int i = 0; i < outcome.done.size(); ++i) {
            const qint64 end = i < progress.stepEnds.size() ? progress.stepEnds.at(i).second : before;
            const double seconds = double(end - before) / 1e9;
            const int rows = outcome.done.at(i).rows;
            allRows += rows;
            out << QStringLiteral("step %1 %2: %3 rows in %4 s, %5 rows/s\n")
                       .arg(i + 1)
                       .arg(outcome.done.at(i).targetTable, -22)
                       .arg(rows, 8)
                       .arg(seconds, 7, 'f', 2)
                       .arg(rows / seconds, 9, 'f', 0);
            before = end;
        }
        out << QStringLiteral("whole import: %1 rows in %2 s, %3 rows/s\n")
                   .arg(allRows)
                   .arg(total, 0, 'f', 1)
                   .arg(allRows / total, 0, 'f', 0);
        out.flush();
        const double old = rowAtATime(db, sample);
        out << QStringLiteral("row at a time, committed each (smena, %1 rows): %2 rows/s\n")
                   .arg(sample)
                   .arg(old, 0, 'f', 0);
        out << QStringLiteral("whole import against row at a time: %1x\n")
                   .arg(allRows / total / old, 0, 'f', 1);
    }
    return 0;
}
