#include "db/Transaction.h"
#include "production_log/HoursLedger.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

using namespace tabel;

class TestHoursLedger : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;

    void addRecord(int worker, int shift, const QDate& date, int hours)
    {
        m_db->run(QStringLiteral(
                      "insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, "
                      "color, time, ok) values (:w, 1, 1, 1, 1, 0, :d, :s, 0, :t, 'no')"),
                  {{":w", worker}, {":d", date}, {":s", shift}, {":t", hours}});
    }
    void save(int worker, int shift, const QDate& date)
    {
        Transaction transaction(m_db->database());
        HoursLedger(m_db->database()).recomputeAfterSave(worker, shift, date);
        transaction.commit();
    }
    void deleted(int worker, int shift, const QDate& date)
    {
        Transaction transaction(m_db->database());
        HoursLedger(m_db->database()).recomputeAfterDeletion(worker, shift, date);
        transaction.commit();
    }
    int rows(int worker, int shift, int month, int year)
    {
        return m_db->count(
            QStringLiteral("select count(*) from accounts_dep.h_tabel where w_id=:w and smena=:s and "
                           "month=:m and year=:y"),
            {{":w", worker}, {":s", shift}, {":m", month}, {":y", year}});
    }
    // All 31 days of the row, so a write to the wrong column shows.
    QList<int> days(int worker, int shift, int month, int year)
    {
        QSqlQuery query = m_db->database().execute(
            QStringLiteral(
                "select * from accounts_dep.h_tabel where w_id=:w and smena=:s and month=:m and year=:y"),
            {{":w", worker}, {":s", shift}, {":m", month}, {":y", year}});
        QList<int> result;
        if (query.next())
            for (int day = 1; day <= 31; ++day)
                result << query.value(HoursLedger::dayColumn(day)).toInt();
        return result;
    }
    static QList<int> month(std::initializer_list<std::pair<int, int>> hoursByDay)
    {
        QList<int> result(31, 0);
        for (auto [day, hours] : hoursByDay)
            result[day - 1] = hours;
        return result;
    }

private slots:
    void init() { m_db = std::make_unique<TestDatabase>(QStringLiteral("ledger")); }
    void cleanup() { m_db.reset(); }

    void saveCreatesRowThenSumsTheDay()
    {
        const QDate day(2021, 3, 5);
        addRecord(17, 2, day, 4);
        save(17, 2, day);
        QCOMPARE(days(17, 2, 3, 2021), month({{5, 4}}));
        addRecord(17, 2, day, 3);
        addRecord(17, 1, day, 8);            // other shift
        addRecord(17, 2, day.addDays(1), 6); // other day
        save(17, 2, day);
        QCOMPARE(rows(17, 2, 3, 2021), 1);
        QCOMPARE(days(17, 2, 3, 2021), month({{5, 7}}));
    }

    void dayColumns_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::newRow("day 1") << QDate(2024, 1, 1);
        QTest::newRow("day 31") << QDate(2024, 1, 31);
        QTest::newRow("29 February") << QDate(2024, 2, 29);
        QTest::newRow("31 December") << QDate(2023, 12, 31);
    }
    void dayColumns()
    {
        QFETCH(QDate, date);
        addRecord(5, 1, date, 9);
        save(5, 1, date);
        QCOMPARE(days(5, 1, date.month(), date.year()), month({{date.day(), 9}}));
    }

    void zeroHoursStillCreatesRow()
    {
        const QDate day(2024, 6, 10);
        addRecord(8, 3, day, 0);
        save(8, 3, day);
        QCOMPARE(days(8, 3, 6, 2024), month({}));
    }

    void everyShiftHasItsOwnRow()
    {
        const QDate day(2024, 6, 10);
        for (int shift = 1; shift <= 4; ++shift) {
            addRecord(8, shift, day, shift);
            save(8, shift, day);
        }
        for (int shift = 1; shift <= 4; ++shift)
            QCOMPARE(days(8, shift, 6, 2024), month({{10, shift}}));
    }

    void deletionOfLastRecordWritesZeroAndKeepsOtherDays()
    {
        const QDate day(2024, 6, 10);
        addRecord(8, 1, day, 5);
        addRecord(8, 1, day.addDays(1), 6);
        save(8, 1, day);
        save(8, 1, day.addDays(1));
        m_db->run(QStringLiteral("delete from accounts_dep.smena where w_id=8 and data=:d"), {{":d", day}});
        deleted(8, 1, day);
        QCOMPARE(days(8, 1, 6, 2024), month({{11, 6}}));
    }

    void deletionWithoutRowWritesNothing()
    {
        deleted(8, 1, QDate(2024, 6, 10));
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.h_tabel")), 0);
    }

    void refusesToRunOutsideTransaction()
    {
        QVERIFY_THROWS_EXCEPTION(std::exception,
                                 HoursLedger(m_db->database()).recomputeAfterSave(1, 1, QDate(2024, 1, 1)));
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.h_tabel")), 0);
    }

    // Two clients saving a worker's first record of the month at the same moment.
    void concurrentFirstSavesLeaveOneRow()
    {
        const QDate day(2024, 9, 2);
        addRecord(30, 1, day, 4);
        Database& first = m_db->database();
        Transaction firstTransaction(first);
        HoursLedger(first).recomputeAfterSave(30, 1, day); // row inserted, not yet committed

        QString secondError;
        QThread* second = QThread::create([&] {
            try {
                Database db(QStringLiteral("second-client"));
                db.open(m_db->settings());
                Transaction transaction(db);
                HoursLedger(db).recomputeAfterSave(30, 1, day);
                transaction.commit();
            } catch (const std::exception& error) {
                secondError = QString::fromUtf8(error.what());
            }
        });
        second->start();

        // Let the second client reach the point where it must wait for the first.
        Database watcher(QStringLiteral("watcher"));
        watcher.open(m_db->settings());
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 3000 &&
               watcher.readInt(QStringLiteral("select count(*) as n from pg_stat_activity where "
                                              "wait_event_type = 'Lock' and datname = current_database()"),
                               QStringLiteral("n")) == 0)
            QThread::msleep(20);

        firstTransaction.commit();
        QVERIFY(second->wait(10000));
        delete second;
        QVERIFY2(secondError.isEmpty(), qPrintable(secondError));
        QCOMPARE(rows(30, 1, 9, 2024), 1);
        QCOMPARE(days(30, 1, 9, 2024), month({{2, 4}}));
    }
};

QTEST_GUILESS_MAIN(TestHoursLedger)
#include "TestHoursLedger.moc"
