#include "db/Transaction.h"
#include "production_log/HoursLedger.h"
#include "support/TestDatabase.h"
#include "timesheet/LedgerCheck.h"
#include "timesheet/MonthRebuild.h"

#include <QTest>

using namespace tabel;

namespace {
// March 2024. Workers: 1 Иванов (number 1), 2 Петров (number 2), 3 Сидоров, whose code is
// blank-padded, 4 Кузнецова, whom only her id finds, since no one has the number 4; number 30
// is a person other than the one with id 30; and a person's code is no number at all. Records of every closed
// mark, shifts 1 to 4.
const char* const fixture = R"(
insert into cmn_contractor.person (id, s_caption, s_code) values
  (1, 'Иванов И.И.', '1'), (2, 'Петров П.П.', '2'), (30, 'Сидоров С.С.', ' 3 '), (4, 'Кузнецова А.А.', '40'),
  (50, 'Чужой', 'Т-17'), (51, 'Номер тридцать', '30');
insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok) values
  (1, 1, 1, 1, 1, 0, '2024-03-05', 1, 0, 4, 'no'), (1, 1, 1, 1, 1, 0, '2024-03-05', 1, 0, 3, 'ok'),
  (1, 1, 1, 1, 1, 0, '2024-03-06', 1, 0, 8, 'да'), (1, 1, 1, 1, 1, 0, '2024-03-06', 4, 0, 2, 'ta'),
  (2, 1, 1, 1, 1, 0, '2024-03-01', 2, 0, 9, 'no'), (2, 1, 1, 1, 1, 0, '2024-03-31', 2, 0, 5, null),
  (3, 1, 1, 1, 1, 0, '2024-03-11', 3, 0, 6, 'no'), (4, 1, 1, 1, 1, 0, '2024-03-12', 1, 0, 7, 'no'),
  (1, 1, 1, 1, 1, 0, '2024-02-29', 1, 0, 1, 'no'), (1, 1, 1, 1, 1, 0, '2024-04-01', 1, 0, 1, 'no');
)";

QStringList lines(const LedgerCheckResult& result)
{
    QStringList lines;
    for (const LedgerDifference& difference : result.differences)
        lines << difference.texts().join(QLatin1Char('|'));
    return lines;
}
} // namespace

class TestLedgerCheck : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;

    LedgerCheckResult check(int month = 3, int year = 2024)
    {
        return LedgerCheck(m_db->database()).run(month, year);
    }
    void addRecord(int worker, int shift, const QString& date, const QVariant& hours)
    {
        m_db->run(QStringLiteral(
                      "insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, "
                      "color, time, ok) values (:w, 1, 1, 1, 1, 0, :d::date, :s, 0, :t, 'no')"),
                  {{":w", worker}, {":d", date}, {":s", shift}, {":t", hours}});
    }

private slots:
    void init() { m_db = std::make_unique<TestDatabase>(QStringLiteral("ledger_check")); }
    void cleanup() { m_db.reset(); }

    void rebuiltMonthAgrees()
    {
        m_db->run(QString::fromUtf8(fixture));
        MonthRebuild(m_db->database()).run(3, 2024);
        const LedgerCheckResult result = check();
        QCOMPARE(lines(result), QStringList());
        QCOMPARE(result.ledgerRows, 5);
        QCOMPARE(result.summary(), QStringLiteral("Табель сходится с записями: 5 строк, 31 дней проверено."));
        QCOMPARE(result.caption(), QStringLiteral("Сверка табеля — Март 2024"));
        QCOMPARE(check(2, 2024).summary(), QStringLiteral("Табель не сходится с записями: расхождений — 1 "
                                                          "(0 строк, 29 дней проверено)."));
        // The time sheet adds all 31 day columns into its total, so hours on a day the month
        // lacks count too.
        m_db->run(QStringLiteral("insert into accounts_dep.h_tabel (w_id, smena, month, year, d29, d30) "
                                 "values (1, 1, 2, 2024, 1, 4)"));
        QCOMPARE(lines(check(2, 2024)), QStringList{"Иванов И.И.|1|30|4||нет записей"});
    }

    // Each kind made by writing the ledger as others do: the legacy import, another
    // application, a restored table.
    void findsEveryKind_data()
    {
        QTest::addColumn<QString>("spoil");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("other hours") << "update accounts_dep.h_tabel set d5 = 6 where w_id = 1 and smena = 1"
                                     << QStringList{"Иванов И.И.|1|5|6|7|расходится"};
        QTest::newRow("hours on a day of no records")
            << "update accounts_dep.h_tabel set d7 = 5 where w_id = 2; "
               "insert into accounts_dep.h_tabel (w_id, smena, month, year, d2) values (30, 1, 3, 2024, 8), "
               "(999, 1, 3, 2024, 8)"
            << QStringList{"Номер тридцать|1|2|8||нет записей", "Петров П.П.|2|7|5||нет записей",
                           "№ 999 (нет в справочнике)|1|2|8||нет записей"};
        QTest::newRow("no row") << "delete from accounts_dep.h_tabel where w_id = 2"
                                << QStringList{"Петров П.П.|2|1||9|нет в табеле",
                                               "Петров П.П.|2|31||5|нет в табеле"};
        QTest::newRow("no value on the day") << "update accounts_dep.h_tabel set d6 = null where smena = 4"
                                             << QStringList{"Иванов И.И.|4|6||2|нет в табеле"};
        QTest::newRow("second row") << "insert into accounts_dep.h_tabel (w_id, smena, month, year, {days}) "
                                       "select w_id, smena, month, "
                                       "year, {days} from accounts_dep.h_tabel where w_id = 3"
                                    << QStringList{"Сидоров С.С.|3||12|6|лишняя строка табеля"};
        QTest::newRow("second row that differs")
            << "insert into accounts_dep.h_tabel (w_id, smena, month, year, d12) values (4, 1, 3, 2024, 3)"
            << QStringList{"Кузнецова А.А.|1||10|7|лишняя строка табеля",
                           "Кузнецова А.А.|1|12|3|7|расходится"};
    }
    void findsEveryKind()
    {
        const QString days =
            QStringLiteral("d1, d2, d3, d4, d5, d6, d7, d8, d9, d10, d11, d12, d13, d14, d15, "
                           "d16, d17, d18, d19, d20, d21, d22, d23, d24, d25, d26, d27, d28, "
                           "d29, d30, d31");
        QFETCH(QString, spoil);
        QFETCH(QStringList, expected);
        m_db->run(QString::fromUtf8(fixture));
        MonthRebuild(m_db->database()).run(3, 2024);
        m_db->run(QString(spoil).replace(QStringLiteral("{days}"), days));
        const LedgerCheckResult result = check();
        QCOMPARE(lines(result), expected);
        QVERIFY(!result.agrees());
        QVERIFY(result.summary().startsWith(
            QStringLiteral("Табель не сходится с записями: расхождений — %1 ").arg(expected.size())));
        // Other months' rows are not this month's business.
        QCOMPARE(check(2, 2024).differences.size(), 1);
    }

    // A rebuild or a save under way elsewhere holds the month's lock and row locks: the check
    // reads the ledger as last committed instead of waiting (a wait would end in the lock
    // timeout's error).
    void readsPastWritersUnderWay()
    {
        m_db->run(QString::fromUtf8(fixture));
        MonthRebuild(m_db->database()).run(3, 2024);
        Database other(QStringLiteral("other-client"));
        other.open(m_db->settings());
        Transaction transaction(other);
        other.lockKey(HoursLedger::monthLockKey(3, 2024));
        other.execute(QStringLiteral("update accounts_dep.h_tabel set d5 = 1 where month = 3"));
        other.execute(QStringLiteral("delete from accounts_dep.smena where w_id = 2"));
        QCOMPARE(lines(check()), QStringList());
    }

    // Overtime has no tab, but the ledger counts it and so does the check.
    void monthOfShiftFourOnly()
    {
        m_db->run(QStringLiteral(
            "insert into cmn_contractor.person (id, s_caption, s_code) values (7, 'Орлов', '7')"));
        addRecord(7, 4, QStringLiteral("2024-03-09"), 5);
        addRecord(7, 4, QStringLiteral("2024-03-10"), 2);
        QCOMPARE(lines(check()), (QStringList{"Орлов|4|9||5|нет в табеле", "Орлов|4|10||2|нет в табеле"}));
        MonthRebuild(m_db->database()).run(3, 2024);
        QCOMPARE(check().summary(),
                 QStringLiteral("Табель сходится с записями: 1 строк, 31 дней проверено."));
        m_db->run(QStringLiteral("update accounts_dep.h_tabel set d10 = 3"));
        QCOMPARE(lines(check()), QStringList{"Орлов|4|10|3|2|расходится"});
    }

    // A record without hours counts as 0 hours: its day is 0 in the ledger, and its worker
    // still needs a row.
    void recordWithoutHours()
    {
        m_db->run(QStringLiteral(
            "insert into cmn_contractor.person (id, s_caption, s_code) values (7, 'Орлов', '7')"));
        addRecord(7, 1, QStringLiteral("2024-03-09"), QVariant());
        addRecord(7, 1, QStringLiteral("2024-03-10"), QVariant());
        addRecord(7, 1, QStringLiteral("2024-03-10"), 3);
        QCOMPARE(lines(check()), (QStringList{"Орлов|1|9||0|нет в табеле", "Орлов|1|10||3|нет в табеле"}));
        MonthRebuild(m_db->database()).run(3, 2024);
        QVERIFY(check().agrees());
        m_db->run(QStringLiteral("update accounts_dep.h_tabel set d9 = 1"));
        QCOMPARE(lines(check()), QStringList{"Орлов|1|9|1|0|расходится"});
        // An empty cell is not the 0 hours of the records, though both add up to nothing.
        m_db->run(QStringLiteral("update accounts_dep.h_tabel set d9 = null"));
        QCOMPARE(lines(check()), QStringList{"Орлов|1|9||0|нет в табеле"});
    }
};

QTEST_GUILESS_MAIN(TestLedgerCheck)
#include "TestLedgerCheck.moc"
