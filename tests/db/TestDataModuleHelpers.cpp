#include "db/DataModule.h"
#include "db/DbError.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"

#include <QTest>

using namespace tabel;

class TestDataModuleHelpers : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;

private slots:
    void initTestCase() { m_db = std::make_unique<TestDatabase>(QStringLiteral("helpers")); }
    void cleanupTestCase() { m_db.reset(); }

    void duplicateCheck()
    {
        m_db->run(QStringLiteral(
            "insert into accounts_dep.vid_oper (vid) values ('Резка'), ('РЕЗКА '), ('резка')"));
        Database& db = m_db->database();
        DataModule module(db);
        const QString count = QStringLiteral(
            "select count(*) as cnt from accounts_dep.vid_oper where upper(trim(vid)) = upper(trim(:v))");
        const int lastId = db.readInt(QStringLiteral("select max(id) as id from accounts_dep.vid_oper"),
                                      QStringLiteral("id"));

        // No duplicate: the caller's transaction goes on, holding the key until it ends.
        db.begin();
        QVERIFY(!module.isDuplicate(QStringLiteral("vid/Гибка"), count, {{":v", "Гибка"}}));
        QVERIFY(db.inTransaction());
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from pg_locks where locktype = 'advisory' and "
                                            "pid = pg_backend_pid()")),
                 1);
        db.commit();

        // A duplicate: the transaction is given up at once, so nothing stays locked.
        db.begin();
        QVERIFY(module.isDuplicate(QStringLiteral("vid/резка"), count, {{":v", "резка"}}));
        QVERIFY(!db.inTransaction());
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from pg_locks where locktype = 'advisory' and "
                                            "pid = pg_backend_pid()")),
                 0);

        // A changed row is not its own duplicate; another row with its text still is.
        db.begin();
        QVERIFY(module.isDuplicate(QStringLiteral("vid/резка"), count, {{":v", "резка"}}, lastId));
        db.begin();
        QVERIFY(!module.isDuplicate(QStringLiteral("vid/Гибка"), count, {{":v", "Гибка"}}, lastId));
        db.rollback();

        // A failing statement is an error for the caller.
        QVERIFY_THROWS_EXCEPTION(
            DbError, module.isDuplicate(QStringLiteral("x"),
                                        QStringLiteral("select count(*) as cnt from nowhere"), {}));
    }

    void oneValueReadTreatsNothingAsZero()
    {
        Database& db = m_db->database();
        QCOMPARE(db.readInt(QStringLiteral("select 42 as n"), QStringLiteral("n")), 42);
        QCOMPARE(db.readInt(QStringLiteral("select 1 as n where false"), QStringLiteral("n")), 0);
        QCOMPARE(db.readInt(QStringLiteral("select null::int as n"), QStringLiteral("n")), 0);
        QVERIFY_THROWS_EXCEPTION(DbError, db.readInt(QStringLiteral("select 1 as n"), QStringLiteral("m")));
    }
};

QTEST_GUILESS_MAIN(TestDataModuleHelpers)
#include "TestDataModuleHelpers.moc"
