#include "common/ActionGuard.h"
#include "db/DataModule.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"

#include <QTest>

using namespace tabel;

// What a user reads when an action fails, and what the program does about a connection the
// server has ended or a table another session keeps locked.
class TestConnectionFailures : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;

    int backendOf(Database& database)
    {
        return database.readInt(QStringLiteral("select pg_backend_pid() as pid"), QStringLiteral("pid"));
    }
    void kill(Database& database)
    {
        const int pid = backendOf(database);
        m_db->run(QStringLiteral("select pg_terminate_backend(:pid)"), {{":pid", pid}});
        // The server ends the session asynchronously.
        QTRY_COMPARE(m_db->count(QStringLiteral("select count(*) from pg_stat_activity where pid=:pid"),
                                 {{":pid", pid}}),
                     0);
    }

private slots:
    void init() { m_db = std::make_unique<TestDatabase>(QStringLiteral("failures")); }
    void cleanup() { m_db.reset(); }

    // Each kind of failure a user can meet gets its own sentence; the server's words are the detail.
    void failureKinds_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("sentence");
        QTest::newRow("number out of range")
            << QStringList{"select 40000::smallint"} << int(FailureKind::NumberOutOfRange)
            << "Число слишком велико для базы данных. Действие не выполнено.";
        QTest::newRow("value too long")
            << QStringList{"insert into accounts_dep.vid_oper (vid) values (repeat('ы', 51))"}
            << int(FailureKind::TextTooLong)
            << "Текст длиннее, чем допускает база данных. Действие не выполнено.";
        QTest::newRow("unique violation")
            << QStringList{"create temp table t (id int primary key)", "insert into t values (1), (1)"}
            << int(FailureKind::Duplicate) << "Такая запись в базе данных уже есть. Действие не выполнено.";
        QTest::newRow("check violation")
            << QStringList{"create temp table t (n int check (n > 0))", "insert into t values (0)"}
            << int(FailureKind::CheckFailed)
            << "База данных не приняла значение: оно не прошло её проверку. Действие не выполнено.";
        QTest::newRow("permission denied")
            << QStringList{"do $$ begin create role tabel_no_rights; exception when duplicate_object then "
                           "null; "
                           "end $$",
                           "set local role tabel_no_rights", "select count(*) from accounts_dep.smena"}
            << int(FailureKind::NoPermission)
            << "Недостаточно прав в базе данных для этого действия. Обратитесь к администратору.";
        QTest::newRow("deadlock")
            << QStringList{"do $$ begin raise exception 'deadlock' using errcode = '40P01'; end $$"}
            << int(FailureKind::Conflict)
            << "Действие совпало с действием другого пользователя и не выполнено. Повторите его.";
        QTest::newRow("serialization failure")
            << QStringList{"do $$ begin raise exception 'serialization' using errcode = '40001'; end $$"}
            << int(FailureKind::Conflict)
            << "Действие совпало с действием другого пользователя и не выполнено. Повторите его.";
        QTest::newRow("anything else")
            << QStringList{"select no_such_column from accounts_dep.smena"} << int(FailureKind::General)
            << "Ошибка базы данных. Действие не выполнено.";
    }
    void failureKinds()
    {
        QFETCH(QStringList, statements);
        QFETCH(int, kind);
        QFETCH(QString, sentence);
        Database& db = m_db->database();
        ScriptedMessages messages;
        const ActionGuard guard(messages, db);
        QVERIFY(!guard.run([&] {
            db.begin();
            for (const QString& part : statements)
                db.execute(part);
        }));
        QCOMPARE(messages.shown().size(), 1);
        const Message& shown = messages.shown().first();
        QCOMPARE(shown.caption, QStringLiteral("Ошибка"));
        QCOMPARE(shown.text, sentence);
        QVERIFY(!shown.detail.isEmpty());
        QVERIFY(!shown.detail.contains(QStringLiteral("qpsqlpstmt")));
        QVERIFY(!db.inTransaction());
        // The kind itself, for the callers that decide by it.
        try {
            db.begin();
            for (const QString& part : statements)
                db.execute(part);
            QFAIL("the statement did not fail");
        } catch (const DbError& error) {
            db.rollback();
            QCOMPARE(int(error.kind()), kind);
        }
    }

    // A session the server ended: the action that meets it says so once, in Russian, and the
    // next one connects again by itself, lists included.
    void killedSessionIsReconnectedByTheNextAction()
    {
        Database program(QStringLiteral("program"));
        program.open(m_db->settings());
        DataModule module(program);
        StaticQuery& workers = module.workers();
        workers.open();
        const int before = backendOf(program);
        kill(program);

        ScriptedMessages messages;
        const ActionGuard guard(messages, program);
        QVERIFY(!guard.run([&] { workers.reopen(); }));
        QCOMPARE(messages.shown().size(), 1);
        QCOMPARE(messages.shown().first().text,
                 QStringLiteral("Нет связи с сервером базы данных. Действие не выполнено."));
        QVERIFY(program.isLost());

        messages.clear();
        QVERIFY(guard.run([&] { workers.reopen(); }));
        QVERIFY(messages.shown().isEmpty());
        QVERIFY(!program.isLost());
        QVERIFY(backendOf(program) != before);
        QVERIFY(workers.isOpen());

        // Work that nobody asked for, such as a timer's, stays silent while the server is away.
        kill(program);
        QVERIFY(!guard.run([&] { program.execute(QStringLiteral("select 1")); },
                           ActionGuard::WhenOffline::StaySilent));
        QVERIFY(messages.shown().isEmpty());
        QVERIFY(guard.run([&] { program.execute(QStringLiteral("select 1")); }));
    }

    // A table that another session keeps locked stops the action after the lock timeout
    // instead of freezing the window; nothing of the action is left behind.
    void lockedTableGivesUpAfterTheTimeout()
    {
        ConnectionSettings settings = m_db->settings();
        settings.lockTimeoutMs = 300;
        Database program(QStringLiteral("program"));
        program.open(settings);
        Database other(QStringLiteral("other"));
        other.open(m_db->settings());
        other.begin();
        other.execute(QStringLiteral("lock table accounts_dep.vid_oper in access exclusive mode"));

        ScriptedMessages messages;
        const ActionGuard guard(messages, program);
        QVERIFY(!guard.run([&] {
            program.begin();
            program.execute(QStringLiteral("insert into accounts_dep.oper (vid, naimen, i_id, cena_new) "
                                           "values (1, 0, 1, 0)"));
            program.execute(QStringLiteral("select count(*) from accounts_dep.vid_oper"));
            program.commit();
        }));
        QCOMPARE(messages.texts(), QStringList{QStringLiteral(
                                       "Данные заняты другим пользователем. Повторите действие позже.")});
        other.rollback();
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.oper")), 0);
        QVERIFY(guard.run(
            [&] { program.execute(QStringLiteral("select count(*) from accounts_dep.vid_oper")); }));
    }
};

QTEST_GUILESS_MAIN(TestConnectionFailures)
#include "TestConnectionFailures.moc"
