#include "common/ActionGuard.h"
#include "db/DataModule.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "support/ScriptedMessages.h"
#ifndef _WIN32
#include "support/TcpRelay.h"
#endif
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QSqlDriver>
#include <QTest>

#include <libpq-fe.h>
#ifndef _WIN32
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

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
    void kill(Database& database) { m_db->endSessionOf(database); }

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

    // A session the server ended, as a restart ends every session: the next action finds it
    // dead before sending anything and runs on a new connection, lists included, without a word.
    // An action that had sent something fails and is not run on; the timer's check never
    // connects again, only the user's next action does.
    void endedSessionIsReconnectedOnlyBeforeTheActionSentAnything()
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
        QVERIFY(guard.run([&] { workers.reopen(); }));
        QCOMPARE(messages.texts(), QStringList());
        QVERIFY(!program.isLost());
        QVERIFY(backendOf(program) != before);
        QVERIFY(workers.isOpen());

        QVERIFY(!guard.run([&] {
            program.execute(QStringLiteral("insert into accounts_dep.vid_oper (vid) values ('Резка')"));
            kill(program);
            program.execute(QStringLiteral("select count(*) from accounts_dep.vid_oper"));
        }));
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral("Нет связи с сервером базы данных. Действие не выполнено.")});
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.vid_oper")), 1);
        QVERIFY(program.isLost());
        messages.clear();
        QVERIFY(guard.run([&] { program.execute(QStringLiteral("select 1")); }));

        const QString sessions =
            QStringLiteral("select count(*) from pg_stat_activity where datname = :name");
        const SqlParams database = {{":name", m_db->settings().database}};
        const int withProgram = m_db->count(sessions, database);
        kill(program);
        QVERIFY(!guard.run([&] { program.execute(QStringLiteral("select 1")); },
                           ActionGuard::WhenOffline::StaySilent));
        QVERIFY(!guard.run([&] { program.execute(QStringLiteral("select 1")); },
                           ActionGuard::WhenOffline::StaySilent));
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(m_db->count(sessions, database), withProgram - 1);
        QVERIFY(guard.run([&] { program.execute(QStringLiteral("select 1")); }));
        QCOMPARE(m_db->count(sessions, database), withProgram);
    }

    // Over TCP the kernel watches the connection for us: libpq's options reach the socket.
    void tcpConnectionIsWatchedByTheKernel()
    {
#ifdef _WIN32
        QSKIP("libpq sets Windows' keepalives through an ioctl that cannot be read back, and has no user "
              "timeout there");
#else
        TcpRelay relay(m_db->settings().host + QStringLiteral("/.s.PGSQL.5432"));
        ConnectionSettings settings = m_db->settings();
        settings.host = QStringLiteral("127.0.0.1");
        settings.port = relay.port();
        Database program(QStringLiteral("program"));
        program.open(settings);
        const int socket =
            PQsocket(*static_cast<PGconn* const*>(program.connection().driver()->handle().constData()));
        int value = 0;
        socklen_t length = sizeof value;
        QCOMPARE(getsockopt(socket, SOL_SOCKET, SO_KEEPALIVE, &value, &length), 0);
        QCOMPARE(value, 1);
        QCOMPARE(getsockopt(socket, IPPROTO_TCP, TCP_KEEPIDLE, &value, &length), 0);
        QCOMPARE(value, settings.keepaliveIdleS);
        QCOMPARE(getsockopt(socket, IPPROTO_TCP, TCP_KEEPINTVL, &value, &length), 0);
        QCOMPARE(value, settings.keepaliveIntervalS);
        unsigned timeout = 0;
        length = sizeof timeout;
        QCOMPARE(getsockopt(socket, IPPROTO_TCP, TCP_USER_TIMEOUT, &timeout, &length), 0);
        QCOMPARE(int(timeout), settings.tcpUserTimeoutMs);
#endif
    }

    // A server that stops taking what the program sends: the action fails once the user
    // timeout has passed, with the driver's words readable below the sentence, and the next
    // action connects again. A server that takes everything and never answers cannot be shown
    // on 127.0.0.1: the relay's kernel acknowledges what it is sent and answers keepalive
    // probes, so the connection looks alive; that is what keepalives find on a real network.
    void serverThatStopsTakingDataIsReportedWithinTheTimeout()
    {
#ifdef _WIN32
        QSKIP("libpq has no TCP user timeout on Windows, so a server that stops taking data is found by "
              "keepalives alone");
#else
        TcpRelay relay(m_db->settings().host + QStringLiteral("/.s.PGSQL.5432"));
        ConnectionSettings settings = m_db->settings();
        settings.host = QStringLiteral("127.0.0.1");
        settings.port = relay.port();
        settings.tcpUserTimeoutMs = 1500;
        Database program(QStringLiteral("program"));
        program.open(settings);
        ScriptedMessages messages;
        const ActionGuard guard(messages, program);
        // Prepared while the server still answers: preparing waits for the server's answer, and
        // a server that takes data but never answers holds it for ever (see the note above).
        QSqlQuery query = program.prepare(QStringLiteral("select length(:text) as n"));
        QVERIFY(guard.run([&] { program.execute(query, {{":text", QString(1000, QLatin1Char('x'))}}); }));

        relay.setForwarding(false);
        QElapsedTimer clock;
        clock.start();
        // More than the buffers of both ends hold, so the sending blocks.
        QVERIFY(!guard.run([&] {
            program.execute(query, {{":text", QString(32 << 20, QLatin1Char('x'))}});
        }));
        QVERIFY2(clock.elapsed() < 15000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(messages.texts(),
                 QStringList{QStringLiteral("Нет связи с сервером базы данных. Действие не выполнено.")});
        const QString detail = messages.shown().first().detail;
        QVERIFY2(!detail.isEmpty() && !detail.contains(QLatin1String("()")) &&
                     !detail.contains(QLatin1Char('\t')),
                 qPrintable(detail));

        relay.setForwarding(true);
        messages.clear();
        QVERIFY(guard.run([&] { program.execute(QStringLiteral("select 1")); }));
        QCOMPARE(messages.texts(), QStringList());
#endif
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
