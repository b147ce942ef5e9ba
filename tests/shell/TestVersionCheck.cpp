#include "db/DataModule.h"
#include "db/DbError.h"
#include "shell/VersionCheck.h"
#include "shell/VersionWatch.h"
#include "support/ScriptedMessages.h"
#include "support/TestDatabase.h"

#include <QEventLoop>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

using namespace tabel;

namespace {
const QString mismatchText =
    QStringLiteral("Версия программы не соответсвует БД! Запустите программу через 5 мин.");

// A message box that stays open until something ends its event loop, as a real one does when
// nobody is at the machine. A guard closes it after a long while so that a fault fails the
// test instead of hanging it.
class OpenBoxMessages : public Messages
{
public:
    MessageAnswer show(const Message& message) override
    {
        m_shown.append(message);
        QEventLoop loop;
        m_loop = &loop;
        if (whileOpen)
            whileOpen();
        QTimer::singleShot(20000, &loop, [&] {
            closedByGuard = true;
            loop.quit();
        });
        loop.exec();
        m_loop = nullptr;
        return MessageAnswer::Ok;
    }
    bool isOpen() const { return m_loop != nullptr; }
    void close()
    {
        if (m_loop)
            m_loop->quit();
    }
    const QList<Message>& shown() const { return m_shown; }

    std::function<void()> whileOpen;
    bool closedByGuard = false;

private:
    QList<Message> m_shown;
    QEventLoop* m_loop = nullptr;
};
} // namespace

class TestVersionCheck : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    ScriptedMessages m_messages;
    std::unique_ptr<DataModule> m_module;

    // Rows as "d/t/delim", with "null" for a NULL separator.
    void setRows(const QStringList& rows)
    {
        m_db->run(QStringLiteral("delete from accounts_dep.ver"));
        for (const QString& row : rows) {
            const QStringList parts = row.split(QLatin1Char('/'));
            const QVariant delim = parts[2] == QLatin1String("null")
                                       ? QVariant(QMetaType::fromType<QString>())
                                       : QVariant(parts[2]);
            m_db->run(QStringLiteral("insert into accounts_dep.ver (d, t, delim) values (:d, :t, :delim)"),
                      {{":d", parts[0].toInt()}, {":t", parts[1].toInt()}, {":delim", delim}});
        }
    }
    QStringList rows()
    {
        QSqlQuery query = m_db->database().execute(QStringLiteral(
            "select d || '/' || t || '/' || coalesce(delim, 'null') from accounts_dep.ver order by 1"));
        QStringList result;
        while (query.next())
            result << query.value(0).toString();
        return result;
    }
    // Where the rows lie: any update, even to the same values, moves a row.
    QStringList locations()
    {
        QSqlQuery query =
            m_db->database().execute(QStringLiteral("select ctid::text from accounts_dep.ver order by ctid"));
        QStringList result;
        while (query.next())
            result << query.value(0).toString();
        return result;
    }
    void refuseWrites(bool refuse)
    {
        if (refuse)
            m_db->run(QStringLiteral("create trigger refuse before insert or update on accounts_dep.ver "
                                     "for each row execute function public.refuse_version_write()"));
        else
            m_db->run(QStringLiteral("drop trigger refuse on accounts_dep.ver"));
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("version"));
        m_db->run(
            QStringLiteral("create function public.refuse_version_write() returns trigger language plpgsql "
                           "as $$ begin raise exception 'version row refused'; end $$"));
        m_module = std::make_unique<DataModule>(m_db->database());
    }
    void cleanupTestCase()
    {
        m_module.reset();
        m_db.reset();
    }
    void init() { m_module->setDatabaseDecimalSeparator(QStringLiteral("#")); }

    void check_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<int>("buildDate");
        QTest::addColumn<int>("buildTime");
        QTest::addColumn<bool>("mismatch");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<bool>("written");

        QTest::newRow("a second older: moved forward")
            << QStringList{"20230829/40333/."} << 20230829 << 40334 << false
            << QStringList{"20230829/40334/."} << "." << true;
        QTest::newRow("older day, later time: moved forward")
            << QStringList{"20230828/86000/,"} << 20230829 << 100 << false << QStringList{"20230829/100/,"}
            << "," << true;
        QTest::newRow("never claimed") << QStringList{"0/0/."} << 20230829 << 40333 << false
                                       << QStringList{"20230829/40333/."} << "." << true;
        QTest::newRow("equal: nothing changes") << QStringList{"20230829/40333/."} << 20230829 << 40333
                                                << false << QStringList{"20230829/40333/."} << "." << false;
        QTest::newRow("newer day, earlier time") << QStringList{"20230830/100/."} << 20230829 << 86000 << true
                                                 << QStringList{"20230830/100/."} << "." << false;
        QTest::newRow("newer by a second") << QStringList{"20230829/40334/,"} << 20230829 << 40333 << true
                                           << QStringList{"20230829/40334/,"} << "," << false;
        QTest::newRow("empty table: row inserted, no separator")
            << QStringList{} << 20230829 << 40333 << false << QStringList{"20230829/40333/"} << "" << true;
        QTest::newRow("NULL separator reads as empty")
            << QStringList{"20230101/1/null"} << 20230829 << 40333 << false
            << QStringList{"20230829/40333/null"} << "" << true;
        QTest::newRow("two rows: only the first is ours")
            << QStringList{"20230101/1/.", "20230101/1/,"} << 20230829 << 40333 << false
            << QStringList{"20230101/1/,", "20230829/40333/."} << "." << true;
    }
    void check()
    {
        QFETCH(QStringList, before);
        QFETCH(int, buildDate);
        QFETCH(int, buildTime);
        QFETCH(bool, mismatch);
        QFETCH(QStringList, after);
        QFETCH(QString, separator);
        QFETCH(bool, written);
        setRows(before);
        const QStringList locationsBefore = locations();

        VersionCheck check(m_db->database(), *m_module, {buildDate, buildTime});
        QCOMPARE(check.run(), mismatch);
        QCOMPARE(rows(), after);
        QCOMPARE(m_module->databaseDecimalSeparator(), separator);
        if (!written)
            QCOMPARE(locations(), locationsBefore);
        QVERIFY(!m_db->database().inTransaction());

        // The next tick finds the row as this run left it and has nothing more to do. (With two
        // rows the updated one now lies behind the other, which is then the first.)
        if (after.size() > 1)
            return;
        const QStringList locationsAfter = locations();
        QCOMPARE(check.run(), mismatch);
        QCOMPARE(locations(), locationsAfter);
    }

    void separatorFollowsTheRowAtEachCheck()
    {
        setRows({"20230829/40333/."});
        VersionCheck check(m_db->database(), *m_module, {20230829, 40333});
        QVERIFY(!check.run());
        QCOMPARE(m_module->databaseDecimalSeparator(), QStringLiteral("."));
        m_db->run(QStringLiteral("update accounts_dep.ver set delim = ','"));
        QVERIFY(!check.run());
        QCOMPARE(m_module->databaseDecimalSeparator(), QStringLiteral(","));
        m_db->run(QStringLiteral("update accounts_dep.ver set delim = null"));
        QVERIFY(!check.run());
        QCOMPARE(m_module->databaseDecimalSeparator(), QString());
    }

    // Two copies on one database: once the newer one has connected, the older one must stop,
    // and the newer one goes on.
    void newerCopyStopsOlderCopy()
    {
        setRows({"20230829/40333/."});
        VersionCheck older(m_db->database(), *m_module, {20230829, 40333});
        VersionCheck newer(m_db->database(), *m_module, {20230901, 10});
        QVERIFY(!older.run());
        QVERIFY(!newer.run());
        QVERIFY(older.run());
        QVERIFY(!newer.run());
        QCOMPARE(rows(), QStringList{"20230901/10/."});
    }

    void refusedWriteChangesNothing_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::newRow("update") << QStringList{"20230829/40333/."};
        QTest::newRow("insert") << QStringList{};
    }
    void refusedWriteChangesNothing()
    {
        QFETCH(QStringList, before);
        setRows(before);
        refuseWrites(true);
        VersionCheck check(m_db->database(), *m_module, {20230901, 10});
        QVERIFY_THROWS_EXCEPTION(DbError, check.run());
        QVERIFY(!m_db->database().inTransaction());
        QCOMPARE(rows(), before);
        refuseWrites(false);
        QVERIFY(!check.run());
        QCOMPARE(rows(), QStringList{QStringLiteral("20230901/10/") + (before.isEmpty() ? "" : ".")});
    }

    void mismatchEndsProcessEvenWithMessageOpen()
    {
        setRows({"20230830/100/."});
        VersionCheck check(m_db->database(), *m_module, {20230829, 86000});
        OpenBoxMessages messages;
        int terminations = 0;
        bool terminatedWhileOpen = false;
        VersionWatch watch(check, messages, m_db->database(), 200, [&] {
            ++terminations;
            terminatedWhileOpen = messages.isOpen();
            messages.close();
        });
        // The main log window's 30-second timer may tick while the message is open.
        messages.whileOpen = [&] { watch.check(); };

        watch.check();
        QVERIFY(!messages.closedByGuard);
        QCOMPARE(terminations, 1);
        QVERIFY(terminatedWhileOpen);
        QCOMPARE(messages.shown().size(), 1);
        const Message& shown = messages.shown().first();
        QCOMPARE(shown.text, mismatchText);
        QCOMPARE(shown.caption, QStringLiteral("Ошибка"));
        QCOMPARE(shown.icon, MessageIcon::Error);
        QCOMPARE(shown.buttons, MessageButtons::Ok);
        QVERIFY(watch.mismatchFound());

        watch.check();
        QCOMPARE(messages.shown().size(), 1);
        QCOMPARE(terminations, 1);
        QCOMPARE(rows(), QStringList{"20230830/100/."});
    }

    void mismatchClosedByUserEndsProcessOnce()
    {
        setRows({"20230830/100/."});
        VersionCheck check(m_db->database(), *m_module, {20230829, 86000});
        ScriptedMessages messages;
        int terminations = 0;
        VersionWatch watch(check, messages, m_db->database(), 5000, [&] { ++terminations; });
        watch.check();
        QCOMPARE(messages.texts(), QStringList{mismatchText});
        QCOMPARE(terminations, 1);
        auto* timer = watch.findChild<QTimer*>(QStringLiteral("terminateTimer"));
        QVERIFY(timer);
        QVERIFY2(!timer->isActive(), "the process already ended; the timer must not request it again");
    }

    void noMismatchNoReaction_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::newRow("older row") << QStringList{"20230829/40333/."};
        QTest::newRow("equal row") << QStringList{"20230829/86000/."};
        QTest::newRow("empty table") << QStringList{};
    }
    void noMismatchNoReaction()
    {
        QFETCH(QStringList, before);
        setRows(before);
        VersionCheck check(m_db->database(), *m_module, {20230829, 86000});
        ScriptedMessages messages;
        int terminations = 0;
        VersionWatch defaults(check, messages, m_db->database());
        VersionWatch counted(check, messages, m_db->database(), 5000, [&] { ++terminations; });
        counted.check();
        QVERIFY(messages.shown().isEmpty());
        QCOMPARE(terminations, 0);
        QVERIFY(!counted.mismatchFound());
        auto* timer = counted.findChild<QTimer*>(QStringLiteral("terminateTimer"));
        QVERIFY(timer);
        QVERIFY(!timer->isActive());
        QCOMPARE(rows(), QStringList{"20230829/86000/" + QString(before.isEmpty() ? "" : ".")});
        // Five seconds unless told otherwise, as users are told in the message.
        QCOMPARE(defaults.findChild<QTimer*>(QStringLiteral("terminateTimer"))->interval(), 5000);
    }

    // A tick of the timer is an action of its own: a failure is reported once through the
    // general error report, its transaction is given up, and the next tick works again.
    void databaseErrorIsReportedOnceAndTheWatchGoesOn()
    {
        setRows({"20230829/40333/."});
        VersionCheck check(m_db->database(), *m_module, {20230901, 10});
        ScriptedMessages messages;
        int terminations = 0;
        VersionWatch watch(check, messages, m_db->database(), 5000, [&] { ++terminations; });
        refuseWrites(true);
        watch.check();
        refuseWrites(false);
        QCOMPARE(messages.shown().size(), 1);
        QCOMPARE(messages.shown().first().caption, QStringLiteral("Ошибка"));
        QVERIFY(!messages.shown().first().text.isEmpty());
        QVERIFY(!m_db->database().inTransaction());
        QCOMPARE(terminations, 0);
        messages.clear();
        watch.check();
        QCOMPARE(rows(), QStringList{"20230901/10/."});
        QVERIFY(messages.shown().isEmpty());
        QCOMPARE(terminations, 0);
    }
};

QTEST_GUILESS_MAIN(TestVersionCheck)
#include "TestVersionCheck.moc"
