#include "db/ConnectionSettings.h"
#include "db/Database.h"
#include "shell/StartUp.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QTest>

using namespace tabel;

class TestConnectionSettings : public QObject
{
    Q_OBJECT
private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("database");
        // The server the build was configured with, so the test also catches a build that
        // ignores the configured value.
        const QString builtIn = QStringLiteral(TABEL_DEFAULT_SERVER);
        QTest::newRow("none: built-in") << QStringList{} << builtIn << "kelvo_erp";
        QTest::newRow("database alone is ignored") << QStringList{"other"} << builtIn << "kelvo_erp";
        QTest::newRow("both") << QStringList{"other", "db.plant"} << "db.plant"
                              << "other";
        QTest::newRow("empty database with server") << QStringList{"", "db.plant"} << "db.plant"
                                                    << "";
        QTest::newRow("empty server: built-in") << QStringList{"other", ""} << builtIn << "kelvo_erp";
        QTest::newRow("extra arguments ignored") << QStringList{"a", "b", "c"} << "b"
                                                 << "a";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, host);
        QFETCH(QString, database);
        const ConnectionSettings settings = ConnectionSettings::fromCommandLine(arguments);
        QCOMPARE(settings.host, host);
        QCOMPARE(settings.database, database);
        // Everything after the server is fixed, whatever the command line says.
        QCOMPARE(settings.port, 5432);
        QCOMPARE(settings.user, QStringLiteral("sys"));
        QCOMPARE(settings.password, QStringLiteral("mwtalpe"));
        QVERIFY(settings.connectOptions().contains(QStringLiteral("sslmode=allow")));
    }

    void connectsThroughSocketFolder()
    {
        TestDatabase fixture(QStringLiteral("connect"));
        const ConnectionSettings fixtureSettings = fixture.settings();
        Database database(QStringLiteral("startup"));
        ScriptedMessages messages;
        QVERIFY(connectAtStartUp(database, messages, {fixtureSettings.database, fixtureSettings.host}));
        QVERIFY(messages.shown().isEmpty());
        QCOMPARE(database.readInt(QStringLiteral("select current_database() = :name as same"),
                                  QStringLiteral("same"), {{":name", fixtureSettings.database}}),
                 1);
    }

    // A socket folder given relative to the working folder, as "pg" or "./pg", connects too.
    void connectsThroughRelativeSocketFolder()
    {
        TestDatabase fixture(QStringLiteral("relative"));
        const ConnectionSettings fixtureSettings = fixture.settings();
        // Under Wine the test server is reached over TCP (scripts/test-windows).
        if (!QDir::isAbsolutePath(fixtureSettings.host))
            QSKIP("the test server has no socket folder");
        const QDir folder(fixtureSettings.host);
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.absolutePath() + QStringLiteral("/..")));
        for (const QString& relative : {folder.dirName(), QStringLiteral("./") + folder.dirName()}) {
            Database database(QStringLiteral("relative"));
            ScriptedMessages messages;
            const bool connected = connectAtStartUp(database, messages, {fixtureSettings.database, relative});
            QVERIFY2(connected, qPrintable(relative));
            QVERIFY(messages.shown().isEmpty());
        }
        QDir::setCurrent(previous);
    }

    void failedConnectionShowsOneMessage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        const QString folder = qEnvironmentVariable("TABEL_TEST_PGHOST");
        QTest::newRow("unreachable server") << QStringList{"kelvo_erp", "/nonexistent/socket/folder"};
        QTest::newRow("unknown database") << QStringList{"no_such_database", folder};
        QTest::newRow("empty database name") << QStringList{"", folder};
    }
    void failedConnectionShowsOneMessage()
    {
        QFETCH(QStringList, arguments);
        Database database(QStringLiteral("failing"));
        ScriptedMessages messages;
        QVERIFY(!connectAtStartUp(database, messages, arguments));
        QCOMPARE(messages.shown().size(), 1);
        QCOMPARE(messages.shown().first().text, QStringLiteral("Подключение к БД отсутсвует!!!"));
        QCOMPARE(messages.shown().first().caption, QStringLiteral("Ошибка!"));
        QCOMPARE(messages.shown().first().icon, MessageIcon::Error);
        QVERIFY(!database.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestConnectionSettings)
#include "TestConnectionSettings.moc"
