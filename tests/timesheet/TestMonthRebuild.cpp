#include "db/Transaction.h"
#include "production_log/HoursLedger.h"
#include "support/TestDatabase.h"
#include "timesheet/MonthRebuild.h"

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QStringList>
#include <QTest>
#include <QThread>

using namespace tabel;

namespace {
const QDate march(2024, 3, 1);

QString dayArray()
{
    QStringList columns;
    for (int day = 1; day <= 31; ++day)
        columns << QStringLiteral("h.") + HoursLedger::dayColumn(day);
    return QStringLiteral("array[%1]").arg(columns.join(QLatin1Char(',')));
}
} // namespace

class TestMonthRebuild : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;

    void addRecord(int worker, int shift, const QDate& date, const QVariant& hours,
                   const QVariant& mark = QStringLiteral("no"))
    {
        m_db->run(QStringLiteral(
                      "insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, "
                      "color, time, ok) values (:w, 1, 1, 1, 1, 0, :d, :s, 0, :t, :ok)"),
                  {{":w", worker}, {":d", date}, {":s", shift}, {":t", hours}, {":ok", mark}});
    }
    void addLedgerRow(int worker, int shift, int month, int year, int day1)
    {
        m_db->run(QStringLiteral("insert into accounts_dep.h_tabel (w_id, smena, month, year, d1) "
                                 "values (:w, :s, :m, :y, :d1)"),
                  {{":w", worker}, {":s", shift}, {":m", month}, {":y", year}, {":d1", day1}});
    }
    QStringList ledger(const QString& where, const SqlParams& params = {})
    {
        QSqlQuery query = m_db->database().execute(
            QStringLiteral("select h::text from accounts_dep.h_tabel h where %1 order by h.id").arg(where),
            params);
        QStringList rows;
        while (query.next())
            rows << query.value(0).toString();
        return rows;
    }
    int ledgerRows(int worker, int shift, const QDate& month)
    {
        return m_db->count(
            QStringLiteral("select count(*) from accounts_dep.h_tabel where w_id=:w and smena=:s and "
                           "month=:m and year=:y"),
            {{":w", worker}, {":s", shift}, {":m", month.month()}, {":y", month.year()}});
    }
    // The month's ledger against the per-day rule, computed here from the records on its own:
    // every (worker, shift, day) of a pair with records in the month, in both directions, so
    // missing rows, extra rows, duplicates and wrong days all show up.
    QString mismatches(const QDate& month)
    {
        const QString sql = QStringLiteral(R"(
with pairs as (
  select distinct w_id, smena from accounts_dep.smena where data >= :first and data < :next),
expected as (
  select p.w_id, p.smena, d.day::bigint as day,
         coalesce((select sum(s.time) from accounts_dep.smena s where s.w_id = p.w_id and s.smena = p.smena
                   and s.data = :first2::date + (d.day - 1)), 0)::bigint as hours
  from pairs p cross join generate_series(1, 31) d(day)),
actual as (
  select h.w_id, h.smena, u.day, u.hours::bigint as hours
  from accounts_dep.h_tabel h cross join lateral unnest({days}) with ordinality u(hours, day)
  where h.month = :m and h.year = :y)
select 'missing ' || e::text from (select * from expected except all select * from actual) e
union all
select 'extra ' || a::text from (select * from actual except all select * from expected) a
order by 1)")
                                .replace(QStringLiteral("{days}"), dayArray());
        QSqlQuery query = m_db->database().execute(sql, {{":first", month},
                                                         {":next", month.addMonths(1)},
                                                         {":first2", month},
                                                         {":m", month.month()},
                                                         {":y", month.year()}});
        QStringList rows;
        while (query.next())
            rows << query.value(0).toString();
        return rows.join(QStringLiteral("; "));
    }

private slots:
    void init() { m_db = std::make_unique<TestDatabase>(QStringLiteral("rebuild")); }
    void cleanup() { m_db.reset(); }

    void rebuildsTheMonthFromItsRecords()
    {
        // Late February to early April: every shift, every closed mark, hours missing now and then.
        m_db->run(QStringLiteral(R"(
insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok)
select 100 + n % 7, 1, 1, 1, 1, 0, :from::date + (n * 7) % 41, 1 + n % 4, 0,
       case when n % 11 = 0 then null else n % 9 end, (array['no', 'ok', 'да', 'ta', null])[1 + n % 5]
from generate_series(1, 600) n)"),
                  {{":from", QDate(2024, 2, 25)}});
        addRecord(200, 2, QDate(2024, 3, 10), QVariant(), QVariant()); // a day with no hours written
        addRecord(201, 4, QDate(2024, 2, 29), 7);                      // only just outside
        addRecord(202, 1, QDate(2024, 4, 1), 7);
        addRecord(300, 1, QDate(2024, 3, 5), 8);
        MonthRebuild(m_db->database()).run(3, 2024);
        QCOMPARE(ledgerRows(300, 1, march), 1);
        m_db->run(QStringLiteral("delete from accounts_dep.smena where w_id = 300"));

        // Stale rows the rebuild must replace: a shift-4 row, a duplicate, a worker without records.
        addLedgerRow(100, 4, 3, 2024, 99);
        addLedgerRow(101, 1, 3, 2024, 99);
        addLedgerRow(999, 2, 3, 2024, 5);
        // Rows of neighbouring months and of March of another year stay as they are.
        addLedgerRow(100, 1, 2, 2024, 3);
        addLedgerRow(100, 1, 4, 2024, 3);
        addLedgerRow(100, 1, 3, 2023, 3);
        const QString otherMonths = QStringLiteral("not (month = :m and year = :y)");
        const SqlParams marchKey{{":m", 3}, {":y", 2024}};
        const QStringList before = ledger(otherMonths, marchKey);

        QList<int> reported;
        MonthRebuild(m_db->database()).run(3, 2024, [&](int step, int steps) {
            QCOMPARE(steps, MonthRebuild::steps);
            reported << step;
        });

        QCOMPARE(reported, (QList<int>{MonthRebuild::Locked, MonthRebuild::Deleted, MonthRebuild::Inserted}));
        QCOMPARE(mismatches(march), QString());
        QCOMPARE(ledgerRows(300, 1, march), 0);
        QCOMPARE(ledgerRows(999, 2, march), 0);
        QCOMPARE(ledgerRows(201, 4, march), 0);
        QCOMPARE(ledgerRows(202, 1, march), 0);
        QCOMPARE(ledgerRows(200, 2, march), 1);
        QCOMPARE(ledger(otherMonths, marchKey), before);
        // Sanity of the fixture: the rule has real rows to compare, of all four shifts.
        QCOMPARE(m_db->count(
                     QStringLiteral("select count(distinct smena) from accounts_dep.h_tabel where month = :m "
                                    "and year = :y and w_id between 100 and 106"),
                     marchKey),
                 4);
    }

    void failureLeavesTheLedgerAsItWas_data()
    {
        QTest::addColumn<int>("throwAtStep");
        QTest::addColumn<bool>("serverRefusesInsert");
        QTest::newRow("caller gives up after the delete") << int(MonthRebuild::Deleted) << false;
        QTest::newRow("caller gives up after the insert") << int(MonthRebuild::Inserted) << false;
        QTest::newRow("server refuses a new row") << 0 << true;
    }
    void failureLeavesTheLedgerAsItWas()
    {
        QFETCH(int, throwAtStep);
        QFETCH(bool, serverRefusesInsert);
        addRecord(100, 1, QDate(2024, 3, 4), 6);
        addRecord(101, 4, QDate(2024, 3, 31), 2);
        addLedgerRow(100, 1, 3, 2024, 99);
        addLedgerRow(555, 2, 3, 2024, 1);
        addLedgerRow(100, 1, 4, 2024, 3);
        if (serverRefusesInsert) {
            m_db->run(QStringLiteral("create function pg_temp.refuse() returns trigger language plpgsql as "
                                     "$$ begin raise exception 'refused'; end $$"));
            m_db->run(QStringLiteral("create trigger refuse before insert on accounts_dep.h_tabel "
                                     "for each row when (new.w_id = 101) execute function pg_temp.refuse()"));
        }
        const QStringList before = ledger(QStringLiteral("true"));

        QVERIFY_THROWS_EXCEPTION(std::exception,
                                 MonthRebuild(m_db->database()).run(3, 2024, [&](int step, int) {
                                     if (step == throwAtStep)
                                         throw std::runtime_error("cancelled");
                                 }));

        QVERIFY(!m_db->database().inTransaction());
        QCOMPARE(ledger(QStringLiteral("true")), before);
    }

    // Another client saves a record of the month while the rebuild runs: it must wait until the
    // rebuilt rows are committed and then write its day into them.
    void saveDuringRebuildIsKept()
    {
        const QDate day(2024, 3, 5);
        addRecord(100, 1, day, 4);
        addRecord(100, 1, day.addDays(1), 3);
        addRecord(101, 2, day, 5);
        MonthRebuild(m_db->database()).run(3, 2024);
        QCOMPARE(ledgerRows(100, 1, march), 1);

        Database watcher(QStringLiteral("watcher"));
        watcher.open(m_db->settings());
        QString secondError;
        bool secondWaited = false;
        std::unique_ptr<QThread> second;
        MonthRebuild(m_db->database()).run(3, 2024, [&](int step, int) {
            if (step != MonthRebuild::Deleted)
                return;
            second.reset(QThread::create([&] {
                try {
                    // A connection belongs to the thread that made it.
                    Database db(QStringLiteral("second-client"));
                    db.open(m_db->settings());
                    Transaction transaction(db);
                    db.execute(
                        QStringLiteral("insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, "
                                       "brak, data, smena, color, time, ok) values (100, 1, 1, 1, 1, 0, "
                                       ":d, 1, 0, 6, 'no')"),
                        {{":d", day}});
                    HoursLedger(db).recomputeAfterSave(100, 1, day);
                    transaction.commit();
                } catch (const std::exception& error) {
                    secondError = QString::fromUtf8(error.what());
                }
            }));
            second->start();
            QElapsedTimer waited;
            waited.start();
            while (!secondWaited && waited.elapsed() < 5000) {
                secondWaited =
                    watcher.readInt(QStringLiteral("select count(*) as n from pg_locks l join "
                                                   "pg_stat_activity a using (pid) where not l.granted "
                                                   "and a.datname = current_database()"),
                                    QStringLiteral("n")) > 0;
                if (!secondWaited)
                    QThread::msleep(20);
            }
        });
        QVERIFY(second);
        QVERIFY(second->wait(10000));

        QVERIFY2(secondError.isEmpty(), qPrintable(secondError));
        QVERIFY2(secondWaited, "the second client never waited for the rebuild");
        QCOMPARE(mismatches(march), QString());
        QCOMPARE(ledgerRows(100, 1, march), 1);
        QCOMPARE(m_db->count(
                     QStringLiteral("select d5 from accounts_dep.h_tabel where w_id = 100 and smena = 1 and "
                                    "month = :m and year = :y"),
                     {{":m", 3}, {":y", 2024}}),
                 4 + 6);
    }
};

QTEST_GUILESS_MAIN(TestMonthRebuild)
#include "TestMonthRebuild.moc"
