#include "report_engine/DisplayText.h"

#include <QDate>
#include <QTest>

using namespace tabel;

class TestDisplayText : public QObject
{
    Q_OBJECT
private slots:
    void masksRoundHalvesAwayFromZero_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("expected");
        QTest::newRow("half up") << QVariant(2.5) << "#0"
                                 << "3";
        QTest::newRow("half up from even") << QVariant(0.5) << "#0"
                                           << "1";
        QTest::newRow("negative half away from zero") << QVariant(-2.5) << "#0"
                                                      << "-3";
        QTest::newRow("2.675 is a hair below in binary") << QVariant(2.675) << "#0.00"
                                                         << "2,68";
        QTest::newRow("1.005 is a hair below in binary") << QVariant(1.005) << "#0.00"
                                                         << "1,01";
        QTest::newRow("2.665 is not rounded to even") << QVariant(2.665) << "#0.00"
                                                      << "2,67";
        QTest::newRow("drifted sum") << QVariant(0.1 + 0.2) << "#0.000"
                                     << "0,300";
        QTest::newRow("below half") << QVariant(2.6749) << "#0.00"
                                    << "2,67";
        QTest::newRow("carry into integer") << QVariant(9.995) << "#0.00"
                                            << "10,00";
        QTest::newRow("negative carry") << QVariant(-99.9996) << "#0.000"
                                        << "-100,000";
        QTest::newRow("small negative is zero") << QVariant(-0.004) << "#0.00"
                                                << "0,00";
        QTest::newRow("zero") << QVariant(0.0) << "#0.000"
                              << "0,000";
        QTest::newRow("leading zero kept") << QVariant(0.125) << "#0.00"
                                           << "0,13";
        QTest::newRow("large, no separator") << QVariant(123456789.125) << "#0.00"
                                             << "123456789,13";
        QTest::newRow("year of amounts") << QVariant(98765432.1) << "#0.000"
                                         << "98765432,100";
        QTest::newRow("integer field under decimals") << QVariant(42) << "#0.00"
                                                      << "42,00";
        QTest::newRow("integer mask") << QVariant(1234.49) << "#0"
                                      << "1234";
        QTest::newRow("tiny") << QVariant(0.0000001) << "#0.000"
                              << "0,000";
        QTest::newRow("optional decimals") << QVariant(2.5) << "#0.00#"
                                           << "2,50";
        QTest::newRow("optional decimal used") << QVariant(2.125) << "#0.00#"
                                               << "2,125";
        QTest::newRow("numeric text") << QVariant("3.14159") << "#0.00"
                                      << "3,14";
        QTest::newRow("null stays empty") << QVariant() << "#0.00"
                                          << "";
    }
    void masksRoundHalvesAwayFromZero()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, mask);
        QFETCH(QString, expected);
        QCOMPARE(displayText(value, mask), expected);
    }

    void valuesWithoutMaskPrintTheirOwnText_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("integer") << QVariant(31) << "31";
        QTest::newRow("negative long") << QVariant(qlonglong(-9000000000)) << "-9000000000";
        QTest::newRow("double with decimals") << QVariant(2.5) << "2,5";
        QTest::newRow("whole double") << QVariant(7.0) << "7";
        QTest::newRow("drifted double") << QVariant(0.1 + 0.2) << "0,3";
        QTest::newRow("large double") << QVariant(1e20) << "100000000000000000000";
        QTest::newRow("text") << QVariant("Иванов И. И.") << "Иванов И. И.";
        QTest::newRow("date") << QVariant(QDate(2021, 3, 6)) << "06.03.2021";
    }
    void valuesWithoutMaskPrintTheirOwnText()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        QCOMPARE(displayText(value), expected);
    }
};

QTEST_GUILESS_MAIN(TestDisplayText)
#include "TestDisplayText.moc"
