#include "support/TestDatabase.h"
#include "timesheet/MonthRebuild.h"

#include <QProcess>
#include <QTest>

using namespace tabel;

// The nightly check as cron runs it: the installed program, no display, the exit status read.
class TestLedgerCheckCommand : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;

    struct Run
    {
        int status = -1;
        QString out;
        QString errors;
    };
    Run runProgram(const QStringList& arguments)
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(TABEL_PROGRAM), arguments);
        if (!program.waitForFinished(60000))
            program.kill();
        Run run;
        run.status = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
        run.out = QString::fromUtf8(program.readAllStandardOutput());
        run.errors = QString::fromUtf8(program.readAllStandardError());
#ifdef Q_OS_WIN
        // Windows' C library ends a written line with CR LF, as its tools expect.
        run.out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        run.errors.replace(QLatin1String("\r\n"), QLatin1String("\n"));
#endif
        return run;
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("ledger_command"));
        // A tab in a name, as another application may write it, must not shift the columns.
        m_db->run(QStringLiteral(
            "insert into cmn_contractor.person (id, s_caption, s_code) values (1, E'Иванов\\tИ.И.', '1');"
            "insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, "
            "ok) values (1, 1, 1, 1, 1, 0, '2024-03-05', 1, 0, 7, 'no'), (1, 1, 1, 1, 1, 0, '2024-04-05', 1, "
            "0, 7, 'no')"));
        MonthRebuild(m_db->database()).run(3, 2024);
        MonthRebuild(m_db->database()).run(4, 2024);
        m_db->run(QStringLiteral("update accounts_dep.h_tabel set d5 = 6 where month = 4"));
    }
    void cleanupTestCase()
    {
        m_db.reset();
    }

    void exitStatus_data()
    {
        const QString database = m_db->settings().database;
        const QString server = m_db->settings().host;
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("errorsStartWith");
        QTest::newRow("agrees") << QStringList{"--check-ledger", "2024-03", database, server} << 0
                                << "Табель сходится с записями: 1 строк, 31 дней проверено.\n"
                                << "";
        QTest::newRow("differs")
            << QStringList{"--check-ledger", "2024-4", database, server} << 1
            << "Табель не сходится с записями: расхождений — 1 (1 строк, 30 дней проверено).\n"
               "Иванов И.И.\t1\t5\t6\t7\tрасходится\n"
            << "";
        QTest::newRow("no server") << QStringList{"--check-ledger", "2024-03", database, "/nonexistent/tabel"}
                                   << 2 << ""
                                   << "tabel: ";
        QTest::newRow("no such database")
            << QStringList{"--check-ledger", "2024-03", database + "_gone", server} << 2 << ""
            << "tabel: ";
        QTest::newRow("no such month")
            << QStringList{"--check-ledger", "2024-13", database, server} << 2 << ""
            << "Использование: tabel --check-ledger";
        QTest::newRow("no month") << QStringList{"--check-ledger"} << 2 << ""
                                  << "Использование: tabel --check-ledger";
    }
    void exitStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, errorsStartWith);
        const Run run = runProgram(arguments);
        QCOMPARE(run.out, out);
        QVERIFY2(errorsStartWith.isEmpty() ? run.errors.isEmpty() : run.errors.startsWith(errorsStartWith),
                 qPrintable(run.errors));
        QCOMPARE(run.status, status);
    }
};

QTEST_GUILESS_MAIN(TestLedgerCheckCommand)
#include "TestLedgerCheckCommand.moc"
