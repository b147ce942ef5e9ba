#include "ReportFixtures.h"

#include "report_engine/ReportPreview.h"

#include <QApplication>
#include <QFile>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace tabel;

namespace {

std::unique_ptr<PreparedReport> longReport(PreviewZoom zoom)
{
    ReportDefinition definition;
    definition.previewZoom = zoom;
    definition.pageHeader = {bandOf(20, {ReportItem::label("Сводка", {0, 0, 300, 20})})};
    definition.detail = {bandOf(20, {ReportItem::fieldText("number", {0, 0, 100, 20})})};
    definition.pageFooter = {bandOf(20, {ReportItem::pageNumber({600, 0, 100, 20})})};
    QList<QVariantList> rows;
    for (int row = 0; row < 5000; ++row)
        rows.append(QVariantList{row});
    return prepare(std::move(definition), {"number"}, rows);
}

} // namespace

class TestReportPreview : public QObject
{
    Q_OBJECT
private slots:
    void showsFirstPageAtOnceThenPagesAndSavesPdf()
    {
        auto report = longReport(PreviewZoom::WholePage);
        ReportPreview preview(*report);
        QCOMPARE(preview.objectName(), QString("ReportPreview"));
        QCOMPARE(preview.windowTitle(), QString("Предварительный просмотр"));
        // Before any event runs the first page is there and the rest is still being counted.
        QCOMPARE(preview.currentPage(), 0);
        QVERIFY(!report->isComplete());
        QCOMPARE(preview.pageStatus(), QString("Страница 1 из 2…"));

        preview.show();
        QVERIFY(preview.windowState() & Qt::WindowMaximized);
        QVERIFY(QTest::qWaitForWindowActive(&preview));
        QTRY_VERIFY(report->isComplete());
        const int pages = report->knownPageCount();
        QCOMPARE(pages, 100); // 50 rows of 20 units a page
        QCOMPARE(preview.pageStatus(), QString("Страница 1 из %1").arg(pages));
        // Whole page: the page fits the window both ways.
        const QWidget* page = preview.findChild<QWidget*>("PreviewPage");
        const QWidget* viewport = page->parentWidget();
        QVERIFY(page->width() <= viewport->width() && page->height() <= viewport->height());
        QVERIFY(page->height() > viewport->height() * 0.9);

        QTest::keyClick(&preview, Qt::Key_PageDown);
        QCOMPARE(preview.currentPage(), 1);
        QTest::keyClick(&preview, Qt::Key_End);
        QCOMPARE(preview.currentPage(), pages - 1);
        QCOMPARE(preview.pageStatus(), QString("Страница %1 из %1").arg(pages));
        QTest::keyClick(&preview, Qt::Key_PageDown);
        QCOMPARE(preview.currentPage(), pages - 1);
        QTest::keyClick(&preview, Qt::Key_PageUp);
        QCOMPARE(preview.currentPage(), pages - 2);
        QTest::keyClick(&preview, Qt::Key_Home);
        QCOMPARE(preview.currentPage(), 0);
        preview.findChild<QSpinBox*>("pageNumberBox")->setValue(7);
        QCOMPARE(preview.currentPage(), 6);

        QTemporaryDir folder;
        QString asked;
        preview.setPdfFileQuestion([&](QWidget*) { return asked = folder.filePath("отчёт"); });
        auto save = preview.findChild<QToolButton*>("saveToPdfButton");
        QCOMPARE(save->text(), QString("Сохранить в PDF"));
        QVERIFY(!save->toolTip().isEmpty());
        save->click();
        QFile written(asked + ".pdf");
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.read(5) == "%PDF-");
        QVERIFY(preview.resultText().contains(asked + ".pdf"));

        QTest::keyClick(&preview, Qt::Key_Escape);
        QVERIFY(!preview.isVisible());
    }

    void opensAtPageWidthWhenTheReportAsks()
    {
        auto report = longReport(PreviewZoom::PageWidth);
        ReportPreview preview(*report, "Сводка");
        QCOMPARE(preview.windowTitle(), QString("Сводка"));
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        const QWidget* page = preview.findChild<QWidget*>("PreviewPage");
        const QWidget* viewport = page->parentWidget();
        QVERIFY(page->width() <= viewport->width());
        QVERIFY(page->width() > viewport->width() * 0.9);
        QVERIFY(page->height() > viewport->height());
        const double fitted = preview.zoom();
        preview.zoomIn();
        QVERIFY(preview.zoom() > fitted);
        preview.fitPageWidth();
        QCOMPARE(preview.zoom(), fitted);
    }
};

QTEST_MAIN(TestReportPreview)
#include "TestReportPreview.moc"
