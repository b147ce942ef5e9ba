#include "common/Clock.h"
#include "db/DataModule.h"
#include "db/Transaction.h"
#include "production_log/HoursLedger.h"
#include "production_log/ProductionRecordSaver.h"
#include "production_log/ProductionRecords.h"
#include "production_log/RecordPricing.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTest>
#include <QThread>

#include "db/Database.h"
#include "reference/OperationsBook.h"
#include "reference/WorkersBook.h"

using namespace tabel;

namespace {
const QDate day(2024, 3, 5);

ProductionRecord record(int worker, const QDate& date, int shift, int hours, int colour = 0)
{
    ProductionRecord r;
    r.workerId = worker;
    r.productId = 10;
    r.operationId = 100;
    r.price = 2.5;
    r.quantity = 10;
    r.rejects = 1;
    r.date = date;
    r.shift = shift;
    r.colour = colour;
    r.hours = hours;
    return r;
}

// Every ledger day must equal what the records give, as the month rebuild would make it.
const char* const ledgerMismatches = R"(
with sums as (
  select w_id, smena, extract(month from data)::int m, extract(year from data)::int y,
         extract(day from data)::int d, sum(time) t
  from accounts_dep.smena group by 1, 2, 3, 4, 5),
days as (
  select h.w_id, h.smena, h.month m, h.year y, d.n d, (array[d1,d2,d3,d4,d5,d6,d7,d8,d9,d10,d11,d12,d13,d14,d15,
         d16,d17,d18,d19,d20,d21,d22,d23,d24,d25,d26,d27,d28,d29,d30,d31])[d.n] t
  from accounts_dep.h_tabel h cross join generate_series(1, 31) d(n))
select (select count(*) from days full join sums using (w_id, smena, m, y, d)
        where coalesce(days.t, 0) <> coalesce(sums.t, 0))
     + (select count(*) from (select 1 from accounts_dep.h_tabel group by w_id, smena, month, year
                              having count(*) > 1) dup)
)";
} // namespace

class TestProductionRecordSaver : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    ScriptedMessages m_messages;
    FixedClock m_clock{QDate(2024, 3, 6)};
    std::unique_ptr<DataModule> m_module;

    int ledgerDay(int worker, int shift, const QDate& date)
    {
        // No row reads as 0 here, as it does for the program's own one-value read.
        return m_db->database().readInt(
            QStringLiteral("select * from accounts_dep.h_tabel where w_id=:w and smena=:s "
                           "and month=:m and year=:y"),
            HoursLedger::dayColumn(date.day()),
            {{":w", worker}, {":s", shift}, {":m", date.month()}, {":y", date.year()}});
    }
    int records() { return m_db->count(QStringLiteral("select count(*) from accounts_dep.smena")); }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("saver"));
        // What the records refer to; worker 4 and operation 102 have no records yet.
        m_db->run(QStringLiteral(
            "insert into cmn_contractor.person (id, s_caption, s_code) select n, 'Рабочий ' || n, n::text "
            "from generate_series(1, 4) n;"
            "insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa) "
            "values (10, 'А-100', '', 6, 1);"
            "insert into accounts_dep.vid_oper (id, vid) values (1, 'Резка');"
            "insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) "
            "select n, 1, 0, 10, 0 from generate_series(100, 102) n;"));
        m_messages.clear();
        m_module = std::make_unique<DataModule>(m_db->database());
    }
    void cleanup()
    {
        m_module.reset();
        m_db.reset();
    }

    void finalPrice_data()
    {
        QTest::addColumn<double>("base");
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<int>("shift");
        QTest::addColumn<double>("expected");
        QTest::addColumn<QString>("shown"); // also what the record stores, with a point
        QTest::addColumn<double>("stored");
        QTest::newRow("shift 1") << 2.5 << false << 1 << 2.5 << "2,5" << 2.5;
        QTest::newRow("shift 2") << 2.5 << false << 2 << 2.5 << "2,5" << 2.5;
        QTest::newRow("day off") << 2.5 << true << 1 << 5.0 << "5" << 5.0;
        QTest::newRow("shift 3") << 2.5 << false << 3 << 3.0 << "3" << 3.0;
        QTest::newRow("overtime") << 2.5 << false << 4 << 3.75 << "3,75" << 3.75;
        QTest::newRow("day off, shift 3") << 2.5 << true << 3 << 6.0 << "6" << 6.0;
        QTest::newRow("day off, overtime") << 2.5 << true << 4 << 7.5 << "7,5" << 7.5;
        // The price keeps its fifth decimal for the amount; only showing and storing round it.
        QTest::newRow("half to even") << 1.03125 << false << 1 << 1.03125 << "1,0312" << 1.0312;
        QTest::newRow("half to even after factor") << 0.6875 << false << 4 << 1.03125 << "1,0312" << 1.0312;
        QTest::newRow("above half after factors") << 0.3457 << true << 3 << 0.82968 << "0,8297" << 0.8297;
    }
    void finalPrice()
    {
        QFETCH(double, base);
        QFETCH(bool, dayOff);
        QFETCH(int, shift);
        QFETCH(double, expected);
        QFETCH(QString, shown);
        QFETCH(double, stored);
        const double price = tabel::finalPrice(base, dayOff, shift);
        QCOMPARE(price, expected);
        QCOMPARE(displayPrice(price), shown);
        QCOMPARE(storedPrice(price), stored);
    }

    void priceIsStoredWithFourDecimals()
    {
        ProductionRecordSaver saver(*m_module, m_messages, m_clock);
        ProductionRecord r = record(1, day, 1, 8);
        r.price = storedPrice(tabel::finalPrice(1.03125, false, 1));
        QVERIFY(saver.add(r));
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.smena where cena = 1.0312 and "
                                            "vvod = '2024-03-06' and ok = 'no' and prize = 0")),
                 1);
        QCOMPARE(ledgerDay(1, 1, day), 8);
    }

    void duplicatesAreRefused()
    {
        ProductionRecordSaver saver(*m_module, m_messages, m_clock);
        QVERIFY(saver.add(record(1, day, 1, 8)));
        ProductionRecord same = record(1, day, 1, 2);
        same.quantity = 99;
        QVERIFY(!saver.add(same));
        QCOMPARE(m_messages.texts(), QStringList{"Позиция с такими параметрами уже заведена!"});
        QVERIFY(saver.add(record(1, day, 1, 2, 7))); // another colour is another record
        QCOMPARE(records(), 2);
        QCOMPARE(ledgerDay(1, 1, day), 10);

        // A change does not count the record itself, but does count the others.
        const int first = m_db->count(QStringLiteral("select id from accounts_dep.smena where color = 0"));
        m_messages.clear();
        QVERIFY(saver.change(first, record(1, day, 1, 5)));
        QVERIFY(!saver.change(first, record(1, day, 1, 5, 7)));
        QCOMPARE(m_messages.texts(), QStringList{"Позиция с такими параметрами уже заведена!"});
        QCOMPARE(ledgerDay(1, 1, day), 7);
    }

    // Codes that other applications wrote: no number, a number in blanks, one too long.
    void oddCodesNeitherFailNorLoseAWorker()
    {
        try {
            m_db->run(
                QStringLiteral("insert into cmn_contractor.person (id, s_caption, s_code) values "
                               "(5, 'Т', 'Т-17'), (6, 'Пробелы', ' 7 '), (8, 'Длинный', '99999999999')"));
            ProductionRecordSaver saver(*m_module, m_messages, m_clock);
            QVERIFY(saver.add(record(1, day, 1, 8)));
            QVERIFY(saver.add(record(7, day, 1, 8))); // Пробелы by number
            QVERIFY(!saver.add(record(17, day, 1, 8)));
            QCOMPARE(m_messages.texts(),
                     QStringList{"Рабочий удалён из списка, запись не сохранена. Выберите рабочего заново."});
            WorkersBook workers(m_db->database());
            QVERIFY(!workers.remove(6)); // record 7 is his
            QVERIFY(workers.remove(8));
            QVERIFY(workers.remove(5));
            QCOMPARE(records(), 2);
        } catch (const DbError& error) {
            QFAIL(qPrintable(error.text()));
        }
    }

    // While the user reads why a save was refused, no other client may be kept waiting.
    void refusalMessageHoldsNoLock()
    {
        ProductionRecordSaver(*m_module, m_messages, m_clock).add(record(1, day, 1, 8));
        struct LockCountingMessages : Messages
        {
            Database* watcher = nullptr;
            int pid = 0;
            QList<int> locksHeld;
            MessageAnswer show(const Message&) override
            {
                locksHeld << watcher->readInt(QStringLiteral("select count(*) as n from pg_locks where "
                                                             "locktype = 'advisory' and pid = :pid"),
                                              QStringLiteral("n"), {{":pid", pid}});
                return MessageAnswer::Ok;
            }
        } messages;
        Database watcher(QStringLiteral("watcher"));
        watcher.open(m_db->settings());
        messages.watcher = &watcher;
        messages.pid =
            m_db->database().readInt(QStringLiteral("select pg_backend_pid() as pid"), QStringLiteral("pid"));
        DataModule module(m_db->database());
        ProductionRecordSaver saver(module, messages, m_clock);
        QVERIFY(!saver.add(record(1, day, 1, 2)));
        const int id = m_db->count(QStringLiteral("select id from accounts_dep.smena"));
        m_db->run(QStringLiteral("delete from accounts_dep.smena"));
        QVERIFY(!saver.change(id, record(1, day, 1, 2)));
        QCOMPARE(messages.locksHeld, (QList<int>{0, 0}));
        QVERIFY(!m_db->database().inTransaction());
    }

    void rejectsAboveQuantityAreRefused()
    {
        ProductionRecordSaver saver(*m_module, m_messages, m_clock);
        ProductionRecord r = record(1, day, 1, 8);
        r.rejects = 11;
        QVERIFY(!saver.add(r));
        QCOMPARE(m_messages.texts(), QStringList{"Брак не может быть больше количества!"});
        QCOMPARE(records(), 0);
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.h_tabel")), 0);
    }

    void movedRecordRecomputesBothDays()
    {
        ProductionRecordSaver saver(*m_module, m_messages, m_clock);
        QVERIFY(saver.add(record(1, day, 1, 8)));
        QVERIFY(saver.add(record(1, day, 1, 3, 5)));
        const int first = m_db->count(QStringLiteral("select id from accounts_dep.smena where color = 0"));
        QVERIFY(saver.change(first, record(2, day.addDays(1), 2, 8)));
        QCOMPARE(ledgerDay(1, 1, day), 3);
        QCOMPARE(ledgerDay(2, 2, day.addDays(1)), 8);
        QCOMPARE(m_db->count(QString::fromUtf8(ledgerMismatches)), 0);
    }

    void changeOfDeletedRecordWritesNothing()
    {
        ProductionRecordSaver saver(*m_module, m_messages, m_clock);
        QVERIFY(saver.add(record(1, day, 1, 8)));
        const int id = m_db->count(QStringLiteral("select id from accounts_dep.smena"));
        ProductionRecords(m_db->database()).deleteRecord(id);
        QCOMPARE(ledgerDay(1, 1, day), 0);
        QVERIFY(!saver.change(id, record(1, day, 1, 5)));
        QCOMPARE(m_messages.texts(), QStringList{"Позиция не найдена: её уже удалили."});
        QCOMPARE(ledgerDay(1, 1, day), 0);
    }

    void concurrentSavesOfSameRecordStoreOne()
    {
        ProductionRecordSaver saver(*m_module, m_messages, m_clock);
        Transaction firstClient(m_db->database());
        QVERIFY(saver.add(record(1, day, 1, 8))); // inside the open transaction: not yet visible

        bool secondSaved = true;
        QStringList secondMessages;
        QThread* second = QThread::create([&] {
            Database db(QStringLiteral("second-client"));
            db.open(m_db->settings());
            ScriptedMessages messages;
            DataModule module(db);
            secondSaved = ProductionRecordSaver(module, messages, m_clock).add(record(1, day, 1, 4));
            secondMessages = messages.texts();
        });
        second->start();
        Database watcher(QStringLiteral("watcher"));
        watcher.open(m_db->settings());
        for (int i = 0;
             i < 150 && watcher.readInt(QStringLiteral("select count(*) as n from pg_stat_activity "
                                                       "where wait_event_type = 'Lock' and "
                                                       "datname = current_database()"),
                                        QStringLiteral("n")) == 0;
             ++i)
            QThread::msleep(20);
        firstClient.commit();
        QVERIFY(second->wait(10000));
        delete second;
        QVERIFY(!secondSaved);
        QCOMPARE(secondMessages, QStringList{"Позиция с такими параметрами уже заведена!"});
        QCOMPARE(records(), 1);
        QCOMPARE(ledgerDay(1, 1, day), 8);
    }

    // Two clients add, change, move and delete records of the same few workers and days at
    // once; afterwards the ledger must be exactly what the records give.
    void ledgerFollowsRandomWorkFromTwoClients()
    {
        auto work = [this](quint32 seed, QString* failure) {
            try {
                Database db(QStringLiteral("client-%1").arg(seed));
                db.open(m_db->settings());
                ScriptedMessages messages;
                FixedClock clock(QDate(2024, 3, 6));
                DataModule module(db);
                ProductionRecordSaver saver(module, messages, clock);
                ProductionRecords records(db);
                QRandomGenerator random(seed);
                auto randomRecord = [&] {
                    ProductionRecord r = record(1 + random.bounded(3), day.addDays(random.bounded(3)),
                                                1 + random.bounded(2), random.bounded(9), random.bounded(3));
                    r.operationId = 100 + random.bounded(2);
                    return r;
                };
                auto randomId = [&] {
                    QSqlQuery ids =
                        db.execute(QStringLiteral("select id from accounts_dep.smena order by random() "
                                                  "limit 1"));
                    return ids.next() ? ids.value(0).toInt() : 0;
                };
                for (int step = 0; step < 150; ++step) {
                    const int action = random.bounded(10);
                    if (action < 5) {
                        saver.add(randomRecord());
                    } else if (action < 8) {
                        if (const int id = randomId())
                            saver.change(id, randomRecord());
                    } else if (const int id = randomId()) {
                        records.deleteRecord(id);
                    }
                }
            } catch (const std::exception& error) {
                *failure = QString::fromUtf8(error.what());
            }
        };
        QString firstFailure, secondFailure;
        QThread* first = QThread::create(work, 1u, &firstFailure);
        QThread* second = QThread::create(work, 2u, &secondFailure);
        first->start();
        second->start();
        QVERIFY(first->wait(120000));
        QVERIFY(second->wait(120000));
        delete first;
        delete second;
        QVERIFY2(firstFailure.isEmpty(), qPrintable(firstFailure));
        QVERIFY2(secondFailure.isEmpty(), qPrintable(secondFailure));
        QVERIFY(records() > 0);
        QCOMPARE(m_db->count(QString::fromUtf8(ledgerMismatches)), 0);
        // No two records with the same worker, operation, product, date, shift and colour.
        QCOMPARE(m_db->count(
                     QStringLiteral("select count(*) from (select 1 from accounts_dep.smena group by w_id, "
                                    "o_id, i_id, data, smena, color having count(*) > 1) d")),
                 0);
    }

    // A working day has 24 hours: for one record, and for all of a worker's records of a shift
    // and day together; a changed record does not count against itself.
    void hoursOfADayAreAtMost24()
    {
        ProductionRecordSaver saver(*m_module, m_messages, m_clock);
        QVERIFY(!saver.add(record(1, day, 1, 25)));
        QCOMPARE(m_messages.texts(), QStringList{"Время не может быть больше 24 часов!"});
        m_messages.clear();
        QVERIFY(saver.add(record(1, day, 1, 20)));
        QVERIFY(!saver.add(record(1, day, 1, 5, 1)));
        QCOMPARE(m_messages.texts().size(), 1);
        QVERIFY(m_messages.texts().first().contains(QStringLiteral("больше 24 часов")));
        QVERIFY(!m_db->database().inTransaction());
        QVERIFY(saver.add(record(1, day, 1, 4, 1)));
        QVERIFY(saver.add(record(1, day, 2, 24))); // another shift
        QVERIFY(saver.add(record(2, day, 1, 24))); // another worker
        const int first =
            m_db->count(QStringLiteral("select id from accounts_dep.smena where w_id=1 and smena=1 "
                                       "and color=0"));
        QVERIFY(saver.change(first, record(1, day, 1, 19)));
        QVERIFY(!saver.change(first, record(1, day, 1, 21)));
        QCOMPARE(ledgerDay(1, 1, day), 23);
    }

    // A save and the deletion of the worker or operation it uses exclude each other, whichever
    // starts first: no record is ever stored for something deleted a moment earlier.
    void deletionAgainstSave_data()
    {
        QTest::addColumn<bool>("worker");
        QTest::addColumn<bool>("deletionFirst");
        QTest::newRow("worker deleted, then saved") << true << true;
        QTest::newRow("worker saved, then deleted") << true << false;
        QTest::newRow("operation deleted, then saved") << false << true;
        QTest::newRow("operation saved, then deleted") << false << false;
    }
    void deletionAgainstSave()
    {
        QFETCH(bool, worker);
        QFETCH(bool, deletionFirst);
        ProductionRecord r = record(4, day, 1, 8);
        r.operationId = 102;
        auto remove = [&](Database& db) {
            DataModule module(db);
            return worker ? WorkersBook(db).remove(4) : OperationsBook(module).remove(102);
        };
        // The first client's transaction stays open until the second is seen waiting for it.
        Database& first = m_db->database();
        first.begin();
        bool firstDone =
            deletionFirst ? remove(first) : ProductionRecordSaver(*m_module, m_messages, m_clock).add(r);
        QVERIFY(firstDone);
        bool secondDone = true;
        QStringList secondMessages;
        QString secondError;
        std::unique_ptr<QThread> second(QThread::create([&] {
            try {
                Database db(QStringLiteral("second-client"));
                db.open(m_db->settings());
                if (deletionFirst) {
                    ScriptedMessages messages;
                    DataModule module(db);
                    secondDone = ProductionRecordSaver(module, messages, m_clock).add(r);
                    secondMessages = messages.texts();
                } else {
                    secondDone = remove(db);
                }
            } catch (const std::exception& error) {
                secondError = QString::fromUtf8(error.what());
            }
        }));
        second->start();
        Database watcher(QStringLiteral("watcher"));
        watcher.open(m_db->settings());
        bool waited = false;
        QElapsedTimer clock;
        clock.start();
        while (!waited && clock.elapsed() < 5000) {
            waited =
                watcher.readInt(QStringLiteral("select count(*) as n from pg_locks where not granted and "
                                               "locktype = 'advisory'"),
                                QStringLiteral("n")) > 0;
            if (!waited)
                QThread::msleep(20);
        }
        first.commit();
        QVERIFY(second->wait(10000));
        QVERIFY2(secondError.isEmpty(), qPrintable(secondError));
        QVERIFY2(waited, "the second client never waited for the first");
        QVERIFY(!secondDone);
        const int stored = records();
        const int workers =
            m_db->count(QStringLiteral("select count(*) from cmn_contractor.person where id=4"));
        const int operations =
            m_db->count(QStringLiteral("select count(*) from accounts_dep.oper where id=102"));
        if (deletionFirst) {
            QCOMPARE(stored, 0);
            QCOMPARE(worker ? workers : operations, 0);
            QCOMPARE(secondMessages.size(), 1);
            QVERIFY(secondMessages.first().contains(worker ? QStringLiteral("Рабочий удалён")
                                                           : QStringLiteral("Операция удалена")));
        } else {
            QCOMPARE(stored, 1);
            QCOMPARE(workers, 1);
            QCOMPARE(operations, 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestProductionRecordSaver)
#include "TestProductionRecordSaver.moc"
