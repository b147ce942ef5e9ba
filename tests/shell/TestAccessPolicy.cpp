#include "shell/AccessPolicy.h"

#include <QTest>

using namespace tabel;

Q_DECLARE_METATYPE(std::optional<tabel::AccessLevel>)

// The reports window reads its part of the role table from here when it is built.
class TestAccessPolicy : public QObject
{
    Q_OBJECT
private slots:
    void loginWords_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::optional<AccessLevel>>("level");
        QTest::newRow("econom") << "econom" << std::optional(AccessLevel::Econom);
        QTest::newRow("masters with blanks") << "  masters\t" << std::optional(AccessLevel::Masters);
        QTest::newRow("sklad") << "sklad" << std::optional(AccessLevel::Sklad);
        QTest::newRow("eight-digit password") << "73516280" << std::optional(AccessLevel::Full);
        QTest::newRow("four-digit password") << "4826" << std::optional(AccessLevel::Full);
        QTest::newRow("capital letter") << "Sklad" << std::optional<AccessLevel>();
        QTest::newRow("empty") << "" << std::optional<AccessLevel>();
        QTest::newRow("password with a digit missing") << "7351628" << std::optional<AccessLevel>();
    }
    void loginWords()
    {
        QFETCH(QString, typed);
        QFETCH(std::optional<AccessLevel>, level);
        QCOMPARE(accessForLoginWord(typed), level);
    }

    void reportsWindow_data()
    {
        QTest::addColumn<AccessLevel>("level");
        // detailed by workers, by products, by workers, spreadsheet, detailed by products, kind choice
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<int>("forcedKind");
        QTest::newRow("econom") << AccessLevel::Econom << "111111" << -1;
        QTest::newRow("masters") << AccessLevel::Masters << "000011" << -1;
        QTest::newRow("sklad") << AccessLevel::Sklad << "000010" << 1;
        QTest::newRow("full access") << AccessLevel::Full << "111111" << -1;
    }
    void reportsWindow()
    {
        QFETCH(AccessLevel, level);
        QFETCH(QString, enabled);
        QFETCH(int, forcedKind);
        const ReportsWindowAccess access = reportsWindowAccess(level);
        QString flags;
        for (bool on : {access.detailedByWorkers, access.byProducts, access.byWorkers,
                        access.spreadsheetExport, access.detailedByProducts, access.productKindChoice})
            flags += on ? '1' : '0';
        QCOMPARE(flags, enabled);
        QCOMPARE(access.forcedProductKind.value_or(-1), forcedKind);
    }
};

QTEST_GUILESS_MAIN(TestAccessPolicy)
#include "TestAccessPolicy.moc"
