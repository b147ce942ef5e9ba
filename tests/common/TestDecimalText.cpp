#include "common/DecimalText.h"

#include <QTest>

using namespace tabel;

class TestDecimalText : public QObject
{
    Q_OBJECT
private slots:
    void readsEitherMarkAndRefusesAnythingElse_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<double>("value"); // when taken
        // clang-format off
        QTest::newRow("comma")                  << "12,5"       << true  << 12.5;
        QTest::newRow("point")                  << "12.5"       << true  << 12.5;
        QTest::newRow("whole number")           << "7"          << true  << 7.0;
        QTest::newRow("blanks around")          << " \t2,75 "   << true  << 2.75;
        QTest::newRow("mark first")             << ",5"         << true  << 0.5;
        QTest::newRow("mark last")              << "5."         << true  << 5.0;
        QTest::newRow("leading zeros")          << "007,250"    << true  << 7.25;
        QTest::newRow("zero")                   << "0,0"        << true  << 0.0;
        QTest::newRow("many decimals")          << "2.125600"   << true  << 2.1256;
        QTest::newRow("empty")                  << ""           << false << 0.0;
        QTest::newRow("blanks only")            << "   "        << false << 0.0;
        QTest::newRow("lone comma")             << ","          << false << 0.0;
        QTest::newRow("lone point")             << " . "        << false << 0.0;
        QTest::newRow("two points")             << "1.2.3"      << false << 0.0;
        QTest::newRow("comma and point")        << "1,2.3"      << false << 0.0;
        QTest::newRow("two marks side by side") << "1,,5"       << false << 0.0;
        QTest::newRow("minus")                  << "-3"         << false << 0.0;
        QTest::newRow("plus")                   << "+3"         << false << 0.0;
        QTest::newRow("exponent")               << "1e3"        << false << 0.0;
        QTest::newRow("letters")                << "4a,2"       << false << 0.0;
        QTest::newRow("blank inside")           << "1 000,5"    << false << 0.0;
        QTest::newRow("digits of another script") << "\u0663,5" << false << 0.0;
        QTest::newRow("beyond a double")        << QString(400, QLatin1Char('9')) << false << 0.0;
        // clang-format on
    }
    void readsEitherMarkAndRefusesAnythingElse()
    {
        QFETCH(QString, typed);
        QFETCH(bool, taken);
        QFETCH(double, value);
        const std::optional<double> parsed = parseDecimal(typed);
        QCOMPARE(parsed.has_value(), taken);
        if (taken)
            QCOMPARE(*parsed, value);
    }
};

QTEST_GUILESS_MAIN(TestDecimalText)
#include "TestDecimalText.moc"
