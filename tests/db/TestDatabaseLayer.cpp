#include "db/DbError.h"
#include "db/Transaction.h"
#include "support/TestDatabase.h"

#include <QSqlQuery>
#include <QTest>

using namespace tabel;

class TestDatabaseLayer : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_fixture;

private slots:
    void init() { m_fixture = std::make_unique<TestDatabase>(QStringLiteral("dblayer")); }
    void cleanup() { m_fixture.reset(); }

    void textsRoundTripExactly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("apostrophe") << QStringLiteral("О'Брайен Патрик");
        QTest::newRow("quotes") << QStringLiteral("\"Стандарт\" 'М-1'");
        QTest::newRow("backslash") << QStringLiteral("Резка\\гибка \\' \\\\");
        QTest::newRow("statement fragment") << QStringLiteral("x'); delete from accounts_dep.smena; --");
        QTest::newRow("placeholder look-alike") << QStringLiteral(":data ? $1 %1");
    }
    void textsRoundTripExactly()
    {
        QFETCH(QString, text);
        Database& db = m_fixture->database();
        db.execute(QStringLiteral("insert into accounts_dep.person (fio, s_staffpos_hl) values (:fio, :pos)"),
                   {{":fio", text}, {":pos", text}});
        QSqlQuery query =
            db.execute(QStringLiteral("select fio, s_staffpos_hl from accounts_dep.person where fio = :fio"),
                       {{":fio", text}});
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), text);
        QCOMPARE(query.value(1).toString(), text);
        QVERIFY(!query.next());
        // and the person is the one the production lists read
        QCOMPARE(m_fixture->count(
                     QStringLiteral("select count(*) from cmn_contractor.person where s_caption = :t"),
                     {{":t", text}}),
                 1);
    }

    void rejectedStatementCarriesServerText()
    {
        try {
            m_fixture->database().execute(QStringLiteral("select no_such_column from accounts_dep.smena"));
            QFAIL("no error raised");
        } catch (const DbError& error) {
            QVERIFY2(error.text().contains(QStringLiteral("no_such_column")), qPrintable(error.text()));
        }
    }

    void tooLongTextIsRefusedNotCut()
    {
        const QString name(300, QChar(u'Ж'));
        QVERIFY_THROWS_EXCEPTION(DbError,
                                 m_fixture->database().execute(
                                     QStringLiteral("insert into accounts_dep.person (fio, s_staffpos_hl) "
                                                    "values (:fio, '')"),
                                     {{":fio", name}}));
        QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from accounts_dep.person")), 0);
    }

    void unfinishedTransactionLeavesNothing()
    {
        Database& db = m_fixture->database();
        try {
            Transaction transaction(db);
            db.execute(QStringLiteral("insert into accounts_dep.vid_oper (vid) values (:v)"),
                       {{":v", "Резка"}});
            db.execute(QStringLiteral("select 1/0"));
            transaction.commit();
            QFAIL("no error raised");
        } catch (const DbError&) {
        }
        QVERIFY(!db.inTransaction());
        QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from accounts_dep.vid_oper")), 0);
    }

    void killedSessionLeavesNothingHalfWritten()
    {
        Database client(QStringLiteral("client"));
        client.open(m_fixture->settings());
        const int pid =
            client.readInt(QStringLiteral("select pg_backend_pid() as pid"), QStringLiteral("pid"));
        bool raised = false;
        try {
            Transaction transaction(client);
            client.execute(QStringLiteral("insert into accounts_dep.vid_oper (vid) values (:v)"),
                           {{":v", "Гибка"}});
            m_fixture->run(QStringLiteral("select pg_terminate_backend(:pid)"), {{":pid", pid}});
            client.execute(QStringLiteral("insert into accounts_dep.vid_oper (vid) values (:v)"),
                           {{":v", "Сварка"}});
            transaction.commit();
        } catch (const DbError&) {
            raised = true;
        }
        QVERIFY(raised);
        QVERIFY(!client.inTransaction());
        QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from accounts_dep.vid_oper")), 0);
    }

    void innerTransactionJoinsOuter()
    {
        Database& db = m_fixture->database();
        try {
            Transaction outer(db);
            {
                Transaction inner(db);
                db.execute(QStringLiteral("insert into accounts_dep.vid_oper (vid) values ('Сборка')"));
                inner.commit();
            }
            QVERIFY(db.inTransaction());
            throw DbError(QStringLiteral("later step failed"));
        } catch (const DbError&) {
        }
        QCOMPARE(m_fixture->count(QStringLiteral("select count(*) from accounts_dep.vid_oper")), 0);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseLayer)
#include "TestDatabaseLayer.moc"
