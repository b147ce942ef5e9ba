#include "common/Numbers.h"

#include <QTest>

#include <limits>

using namespace tabel;

// The rules by which numbers become text, side by side on the same kinds of value: halves,
// negative numbers, the 15 significant digits a double keeps, tiny and huge values.
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
        QTest::newRow("large, not a half") << 100000.12346 << 100000.1235;
        QTest::newRow("large, below a half") << 987654.32104 << 987654.321;
    }
    void roundsHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(double, expected);
        QCOMPARE(roundHalfEven(value, 4), expected);
    }

    // One row per value; the columns are the rules. Decimals: halfEvenText and maskText at
    // minDecimals..maxDecimals; shortestText takes none.
    void rules_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("minDecimals");
        QTest::addColumn<int>("maxDecimals");
        QTest::addColumn<QString>("halfEven");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("shortest");
        // halves
        QTest::newRow("half to even, down") << 1.03125 << 0 << 4 << "1,0312"
                                            << "1,0313"
                                            << "1,03125";
        QTest::newRow("half to even, up") << 1.03135 << 0 << 4 << "1,0314"
                                          << "1,0314"
                                          << "1,03135";
        QTest::newRow("whole half") << 2.5 << 0 << 0 << "2"
                                    << "3"
                                    << "2,5";
        QTest::newRow("2.675 is a hair below in binary") << 2.675 << 2 << 2 << "2,68"
                                                         << "2,68"
                                                         << "2,675";
        QTest::newRow("2.665 is not rounded to even by masks") << 2.665 << 2 << 2 << "2,66"
                                                               << "2,67"
                                                               << "2,665";
        // negative numbers
        QTest::newRow("negative half") << -2.5 << 0 << 0 << "-2"
                                       << "-3"
                                       << "-2,5";
        QTest::newRow("negative price") << -1.25 << 2 << 3 << "-1,25"
                                        << "-1,25"
                                        << "-1,25";
        QTest::newRow("tiny negative is zero") << -0.0001 << 2 << 3 << "0,00"
                                               << "0,00"
                                               << "-0,0001";
        QTest::newRow("negative zero") << -0.0 << 0 << 2 << "0"
                                       << "0"
                                       << "0";
        // 15 significant digits
        QTest::newRow("drifted sum") << 0.1 + 0.2 << 0 << 3 << "0,3"
                                     << "0,3"
                                     << "0,3";
        // The double next to 1: its own shortest text, "1.0000000000000002", has 17 digits.
        QTest::newRow("17th digit dropped") << 1.0000000000000002 << 0 << 4 << "1"
                                            << "1"
                                            << "1";
        QTest::newRow("15 digits kept") << 12345678901.2345 << 0 << 4 << "12345678901,2345"
                                        << "12345678901,2345"
                                        << "12345678901,2345";
        // tiny and huge values
        QTest::newRow("tiny, never an exponent") << 0.000005 << 0 << 6 << "0,000005"
                                                 << "0,000005"
                                                 << "0,000005";
        QTest::newRow("tiny below the decimals") << 0.0000001 << 0 << 3 << "0"
                                                 << "0"
                                                 << "0,0000001";
        QTest::newRow("huge") << 1e20 << 0 << 2 << "100000000000000000000"
                              << "100000000000000000000"
                              << "100000000000000000000";
        QTest::newRow("large with a fraction") << 123456789012.5 << 0 << 2 << "123456789012,5"
                                               << "123456789012,5"
                                               << "123456789012,5";
        // the decimal comma, no group separator, trailing zeros down to the least decimals
        QTest::newRow("price mask #0.00#") << 2.5 << 2 << 3 << "2,50"
                                           << "2,50"
                                           << "2,5";
        QTest::newRow("third decimal shown") << 2.125 << 2 << 3 << "2,125"
                                             << "2,125"
                                             << "2,125";
        QTest::newRow("whole") << 7.0 << 2 << 3 << "7,00"
                               << "7,00"
                               << "7";
        QTest::newRow("whole without decimals") << 100.0 << 0 << 4 << "100"
                                                << "100"
                                                << "100";
        QTest::newRow("carry into integer") << 9.995 << 2 << 2 << "10,00"
                                            << "10,00"
                                            << "9,995";
    }
    void rules()
    {
        QFETCH(double, value);
        QFETCH(int, minDecimals);
        QFETCH(int, maxDecimals);
        QFETCH(QString, halfEven);
        QFETCH(QString, mask);
        QFETCH(QString, shortest);
        QCOMPARE(halfEvenText(value, minDecimals, maxDecimals), halfEven);
        QCOMPARE(maskText(value, minDecimals, maxDecimals), mask);
        QCOMPARE(shortestText(value), shortest);
    }

    void boxesMayAskForAPoint()
    {
        QCOMPARE(shortestText(12.5, DecimalMark::Point), QStringLiteral("12.5"));
        QCOMPARE(shortestText(0.000005, DecimalMark::Point), QStringLiteral("0.000005"));
    }

    void notANumberIsNotAnException()
    {
        const double infinity = std::numeric_limits<double>::infinity();
        QCOMPARE(shortestText(infinity), QStringLiteral("inf"));
        QCOMPARE(maskText(-infinity, 0, 2), QStringLiteral("-inf"));
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "TestNumbers.moc"
