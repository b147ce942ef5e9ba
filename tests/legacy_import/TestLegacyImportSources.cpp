#include "legacy_import/ImportSteps.h"
#include "legacy_import/LegacyFixture.h"
#include "legacy_import/LegacyImport.h"

#include <QTest>
#include <memory>

using namespace tabel;

namespace {
struct SilentProgress : ImportProgress
{
    void showProgress(const QString&) override {}
    bool cancelRequested() override { return false; }
};
} // namespace

// Apart from TestLegacyImport, and one row per process (see tests/CMakeLists.txt): the driver
// manager remembers a data source it has looked up, found or not, even after it is removed.
class TestLegacyImportSources : public QObject
{
    Q_OBJECT

private slots:
    void missingDataSourceTouchesNothing_data()
    {
        QTest::addColumn<QString>("dataSource");
        QTest::newRow("legacy") << "Tabel";
        QTest::newRow("target") << "Tabel_PgSQL";
    }
    void missingDataSourceTouchesNothing()
    {
        QFETCH(QString, dataSource);
        TestDatabase db(QStringLiteral("legacysources"));
        LegacyFixture fixture(db, LegacyFixture::Legacy::WithoutLegacyFile);
        fixture.seedTargets();
        fixture.forgetDataSource(dataSource);
        SilentProgress progress;
        const ImportOutcome outcome = LegacyImport(db.database()).run(progress);
        QVERIFY(outcome.failure);
        QCOMPARE(outcome.failure->step, 0);
        QCOMPARE(importFailureText(*outcome.failure),
                 QStringLiteral(
                     "Импорт не выполнен: не удалось подключиться к источнику данных ODBC «%1». Ни одна "
                     "таблица не изменена.")
                     .arg(dataSource));
        QVERIFY(outcome.failure->detail.contains(QLatin1String("Data source name not found")));
        for (const ImportStep& step : legacyImportSteps())
            QCOMPARE(fixture.targetIds(step.targetTable), (QList<int>{-3, 0, 5}));
    }
};

QTEST_GUILESS_MAIN(TestLegacyImportSources)
#include "TestLegacyImportSources.moc"
