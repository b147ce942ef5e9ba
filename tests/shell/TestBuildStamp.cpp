#include "shell/BuildStamp.h"

#include <QDateTime>
#include <QTest>

using namespace tabel;

class TestBuildStamp : public QObject
{
    Q_OBJECT
private slots:
    void dateNumber_data()
    {
        QTest::addColumn<QString>("dateText");
        QTest::addColumn<int>("date");
        QTest::newRow("day below ten is blank-padded") << "Mar  9 2024" << 20240309;
        QTest::newRow("Aug 29 2023") << "Aug 29 2023" << 20230829;
        QTest::newRow("first of the month") << "Feb  1 2024" << 20240201;
        QTest::newRow("leap day") << "Feb 29 2024" << 20240229;
        QTest::newRow("unknown date") << "??? ?? ????" << 19000101;
        QTest::newRow("unknown month only") << "??? 15 2024" << 20240115;
        QTest::newRow("unknown day only") << "Jul ?? 2024" << 20240701;
        QTest::newRow("unknown year only") << "Oct 31 ????" << 19001031;
        // Every month on the same day, so that only the month table decides.
        const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        for (int month = 1; month <= 12; ++month) {
            const QString text = QString::fromLatin1(months[month - 1]) + QStringLiteral(" 10 2000");
            QTest::newRow(qPrintable(text)) << text << 20000010 + month * 100;
        }
    }
    void dateNumber()
    {
        QFETCH(QString, dateText);
        QFETCH(int, date);
        QCOMPARE(BuildStamp::parse(dateText, QStringLiteral("00:00:00")).date, date);
    }

    void timeNumber_data()
    {
        QTest::addColumn<QString>("timeText");
        QTest::addColumn<int>("time");
        QTest::newRow("midnight") << "00:00:00" << 0;
        QTest::newRow("seconds") << "00:00:07" << 7;
        QTest::newRow("tens of seconds") << "00:00:50" << 50;
        QTest::newRow("minutes") << "00:09:00" << 540;
        QTest::newRow("tens of minutes") << "00:10:00" << 600;
        QTest::newRow("hours") << "09:00:00" << 32400;
        QTest::newRow("tens of hours") << "10:00:00" << 36000;
        QTest::newRow("11:12:13") << "11:12:13" << 40333;
        QTest::newRow("last second of the day") << "23:59:59" << 86399;
    }
    void timeNumber()
    {
        QFETCH(QString, timeText);
        QFETCH(int, time);
        const BuildStamp stamp = BuildStamp::parse(QStringLiteral("Aug 29 2023"), timeText);
        QCOMPARE(stamp.time, time);
        QCOMPARE(stamp.date, 20230829);
    }

    void text_data()
    {
        QTest::addColumn<int>("date");
        QTest::addColumn<int>("time");
        QTest::addColumn<QString>("text");
        QTest::newRow("as in the caption") << 20230829 << 40333 << "20230829.40333";
        QTest::newRow("time not padded") << 20240309 << 7 << "20240309.7";
        QTest::newRow("midnight") << 19000101 << 0 << "19000101.0";
    }
    void text()
    {
        QFETCH(int, date);
        QFETCH(int, time);
        QFETCH(QString, text);
        QCOMPARE((BuildStamp{date, time}.text()), text);
    }

    void order_data()
    {
        QTest::addColumn<int>("date");
        QTest::addColumn<int>("time");
        QTest::addColumn<int>("otherDate");
        QTest::addColumn<int>("otherTime");
        QTest::addColumn<bool>("older");
        QTest::addColumn<bool>("newer");
        QTest::newRow("equal") << 20230829 << 40333 << 20230829 << 40333 << false << false;
        QTest::newRow("a second earlier") << 20230829 << 40333 << 20230829 << 40334 << true << false;
        QTest::newRow("a second later") << 20230829 << 40334 << 20230829 << 40333 << false << true;
        QTest::newRow("earlier day, later time") << 20230829 << 86000 << 20230830 << 100 << true << false;
        QTest::newRow("later day, earlier time") << 20230830 << 100 << 20230829 << 86000 << false << true;
    }
    void order()
    {
        QFETCH(int, date);
        QFETCH(int, time);
        QFETCH(int, otherDate);
        QFETCH(int, otherTime);
        QFETCH(bool, older);
        QFETCH(bool, newer);
        const BuildStamp stamp{date, time};
        const BuildStamp other{otherDate, otherTime};
        QCOMPARE(stamp.isOlderThan(other), older);
        QCOMPARE(stamp.isNewerThan(other), newer);
        QCOMPARE(stamp == other, !older && !newer);
    }

    // The stamp's source is compiled at every build, so the stamp is a real moment no later
    // than now and no earlier than this code was written.
    void currentIsThisBuild()
    {
        const BuildStamp stamp = BuildStamp::current();
        const QDate date = QDate::fromString(QString::number(stamp.date), QStringLiteral("yyyyMMdd"));
        QVERIFY2(date.isValid(), qPrintable(QString::number(stamp.date)));
        QVERIFY(stamp.time >= 0 && stamp.time < 86400);
        const QDateTime built(date, QTime(0, 0).addSecs(stamp.time));
        QVERIFY2(built <= QDateTime::currentDateTime(), qPrintable(built.toString(Qt::ISODate)));
        QVERIFY2(built >= QDateTime(QDate(2024, 1, 1), QTime(0, 0)), qPrintable(built.toString(Qt::ISODate)));
        QCOMPARE(BuildStamp::current(), stamp);
    }
};

QTEST_GUILESS_MAIN(TestBuildStamp)
#include "TestBuildStamp.moc"
