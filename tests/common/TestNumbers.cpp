#include "common/Numbers.h"

#include <QTest>

using namespace tabel;

class TestNumbers : public QObject
{
    Q_OBJECT
private slots:
    void roundsHalvesToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("half down to even") << 1.03125 << 1.0312;
        QTest::newRow("half up to even") << 1.03135 << 1.0314;
        QTest::newRow("below half") << 1.03124 << 1.0312;
        QTest::newRow("above half") << 1.03126 << 1.0313;
        QTest::newRow("product a hair above a half") << 0.0015 * 1.5 << 0.0022;
        QTest::newRow("product a hair below a half") << 0.0017 * 1.5 << 0.0026;
        QTest::newRow("already short") << 2.5 << 2.5;
        QTest::newRow("negative half") << -1.03125 << -1.0312;
        QTest::newRow("large") << 123456.78905 << 123456.789;
    }
    void roundsHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(double, expected);
        QCOMPARE(roundHalfEven(value, 4), expected);
    }

    void formatsWithRussianComma_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("minDecimals");
        QTest::addColumn<int>("maxDecimals");
        QTest::addColumn<QString>("expected");
        // "#0.00#": two decimals at least, three at most
        QTest::newRow("2.5 as price") << 2.5 << 2 << 3 << "2,50";
        QTest::newRow("2.125 as price") << 2.125 << 2 << 3 << "2,125";
        QTest::newRow("2.1256 as price") << 2.1256 << 2 << 3 << "2,126";
        QTest::newRow("whole as price") << 7.0 << 2 << 3 << "7,00";
        QTest::newRow("final price 4 decimals") << 1.03125 << 0 << 4 << "1,0312";
        QTest::newRow("whole, no decimals") << 12.0 << 0 << 4 << "12";
        QTest::newRow("tiny negative is zero") << -0.0001 << 2 << 3 << "0,00";
        QTest::newRow("no group separator") << 1234567.5 << 0 << 2 << "1234567,5";
    }
    void formatsWithRussianComma()
    {
        QFETCH(double, value);
        QFETCH(int, minDecimals);
        QFETCH(int, maxDecimals);
        QFETCH(QString, expected);
        QCOMPARE(formatDecimal(value, minDecimals, maxDecimals), expected);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "TestNumbers.moc"
