#include "ReportFixtures.h"

#include "report_engine/PdfExport.h"
#include "report_engine/ReportPreview.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

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

// What pdfinfo says of a file: "Pages", "Title", ...
QString pdfInfo(const QString& file, const QString& key)
{
    QProcess process;
    process.start("pdfinfo", {file});
    process.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split('\n'))
        if (line.startsWith(key + ":"))
            return line.mid(key.size() + 1).trimmed();
    return "<no " + key + ">";
}

// The page numbers a PDF's text holds, one a page.
QString pageNumbersOf(const QString& file)
{
    QProcess process;
    process.start("pdftotext", {file, "-"});
    process.waitForFinished(30000);
    QStringList numbers;
    for (const QString& page :
         QString::fromUtf8(process.readAllStandardOutput()).split('\f', Qt::SkipEmptyParts))
        numbers.append(page.trimmed().split('\n').last().trimmed());
    return numbers.join(',');
}

void wheel(QWidget* viewport, int delta)
{
    QWheelEvent event(QPointF(10, 10), viewport->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
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
        QString suggested;
        preview.setPdfFileQuestion([&](QWidget*, const QString& name) {
            suggested = name;
            return asked = folder.filePath("отчёт");
        });
        auto save = preview.findChild<QToolButton*>("saveToPdfButton");
        QCOMPARE(save->text(), QString("Сохранить в PDF"));
        QVERIFY(!save->toolTip().isEmpty());
        save->click();
        QFile written(asked + ".pdf");
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.read(5) == "%PDF-");
        QVERIFY(preview.resultText().contains(asked + ".pdf"));
        QCOMPARE(suggested, QString("Отчет.pdf"));

        QTest::keyClick(&preview, Qt::Key_Escape);
        QVERIFY(!preview.isVisible());
    }

    void documentNameTitlesTheWindowTheFileAndThePdf()
    {
        auto report = longReport(PreviewZoom::WholePage);
        ReportPreview preview(*report, "Отчет по рабочим 01.11.2026-01.12.2026");
        QCOMPARE(preview.windowTitle(), QString("Отчет по рабочим 01.11.2026-01.12.2026"));
        QCOMPARE(preview.suggestedPdfName(), QString("Отчет по рабочим 01.11.2026-01.12.2026.pdf"));
        ReportPreview slashed(*report, "Табель 1/2");
        QCOMPARE(slashed.suggestedPdfName(), QString("Табель 1_2.pdf"));

        QTemporaryDir folder;
        preview.setPdfFileQuestion([&](QWidget*, const QString& name) { return folder.filePath(name); });
        preview.saveToPdf();
        const QString file = folder.filePath(preview.suggestedPdfName());
        QCOMPARE(pdfInfo(file, "Title"), preview.windowTitle());
        QCOMPARE(pdfInfo(file, "Pages"), QString("100"));
    }

    // A range prints only its pages; a run stopped halfway leaves no file under the name asked
    // for, and an older file of that name as it was.
    void printingAndSavingPrintTheRangeAndStopCleanly_data()
    {
        QTest::addColumn<bool>("pdfWriter"); // else a printer writing a PDF file
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("stopAfter"); // 0: never
        QTest::addColumn<QString>("numbers");
        QTest::newRow("printer, pages 3 to 5") << false << 2 << 4 << 0 << "3,4,5";
        QTest::newRow("printer, from page 99") << false << 98 << -1 << 0 << "99,100";
        QTest::newRow("printer, past the end") << false << 97 << 150 << 0 << "98,99,100";
        QTest::newRow("printer stopped") << false << 0 << -1 << 2 << "";
        QTest::newRow("PDF, pages 3 to 5") << true << 2 << 4 << 0 << "3,4,5";
        QTest::newRow("PDF stopped") << true << 0 << -1 << 2 << "";
    }
    void printingAndSavingPrintTheRangeAndStopCleanly()
    {
        QFETCH(bool, pdfWriter);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, stopAfter);
        QFETCH(QString, numbers);
        auto report = longReport(PreviewZoom::WholePage);
        QTemporaryDir folder;
        const QString file = folder.filePath("Сводка.pdf");
        {
            QFile older(file);
            QVERIFY(older.open(QIODevice::WriteOnly));
            older.write("older");
        }
        QList<int> told;
        const PageProgress progress = [&](int done, int total) {
            told.append(done);
            Q_UNUSED(total);
            return stopAfter == 0 || done < stopAfter;
        };
        OutputResult result = OutputResult::Failed;
        if (pdfWriter) {
            result = writeReportPdf(*report, file, "Сводка", {first, last}, progress);
        } else {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            printer.setPageLayout(report->printerPageLayout());
            printer.setFullPage(true);
            result = printReport(*report, printer, {first, last}, progress);
        }
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"Сводка.pdf"});
        if (stopAfter > 0) {
            QCOMPARE(result, OutputResult::Cancelled);
            QCOMPARE(told, QList<int>({1, 2}));
            QFile older(file);
            QVERIFY(older.open(QIODevice::ReadOnly));
            QCOMPARE(older.readAll(), QByteArray("older"));
        } else {
            QCOMPARE(result, OutputResult::Done);
            QCOMPARE(told.size(), numbers.count(',') + 1);
            QCOMPARE(pageNumbersOf(file), numbers);
        }
    }

    void wheelGoesOnToTheNextPageAtTheEndOfOne()
    {
        auto report = longReport(PreviewZoom::PageWidth);
        ReportPreview preview(*report, "Сводка");
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        auto* area = preview.findChild<QScrollArea*>("PreviewScrollArea");
        QScrollBar* bar = area->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        wheel(area->viewport(), -120); // within the page: it scrolls
        QCOMPARE(preview.currentPage(), 0);
        QVERIFY(bar->value() > 0);
        bar->setValue(bar->maximum());
        wheel(area->viewport(), -120);
        QCOMPARE(preview.currentPage(), 1);
        QCOMPARE(bar->value(), 0);
        wheel(area->viewport(), 120); // at the top of page 2: back to the end of page 1
        QCOMPARE(preview.currentPage(), 0);
        QCOMPARE(bar->value(), bar->maximum());
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
