#include "report_engine/PdfExport.h"

#include "report_engine/PagePainter.h"
#include "report_engine/PreparedReport.h"

#include <QFile>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>

namespace tabel {

namespace {

// The pages to do. A range to the end counts the report first, so that progress can say how
// many pages there are; a range with its end given need not wait for the rest to be counted.
PageRange resolved(PreparedReport& report, PageRange pages)
{
    pages.first = std::max(pages.first, 0);
    if (pages.last < 0)
        pages.last = report.pageCount() - 1;
    else if (report.isComplete())
        pages.last = std::min(pages.last, report.knownPageCount() - 1);
    return pages;
}

// Paints the pages one by one on a device the painter is already open on.
OutputResult paintPages(PreparedReport& report, QPainter& painter, QPagedPaintDevice& device, PageRange pages,
                        const PageProgress& progress)
{
    const int total = pages.last - pages.first + 1;
    for (int index = pages.first; index <= pages.last; ++index) {
        const std::shared_ptr<const LaidOutPage> page = report.page(index);
        if (!page)
            break;
        if (index > pages.first && !device.newPage())
            return OutputResult::Failed;
        PagePainter(painter).paint(*page);
        if (progress && !progress(index - pages.first + 1, total))
            return OutputResult::Cancelled;
    }
    return OutputResult::Done;
}

} // namespace

OutputResult writeReportPdf(PreparedReport& report, const QString& fileName, const QString& title,
                            PageRange pages, const PageProgress& progress)
{
    pages = resolved(report, pages);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return OutputResult::Failed;
    OutputResult result = OutputResult::Failed;
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Табель"));
        writer.setTitle(title);
        writer.setPageLayout(report.printerPageLayout());
        QPainter painter;
        if (painter.begin(&writer)) {
            result = paintPages(report, painter, writer, pages, progress);
            if (!painter.end() && result == OutputResult::Done)
                result = OutputResult::Failed;
        }
    }
    if (result != OutputResult::Done) {
        file.cancelWriting();
        return result;
    }
    return file.commit() ? OutputResult::Done : OutputResult::Failed;
}

bool writeReportPdf(PreparedReport& report, const QString& fileName, int firstPage, int lastPage)
{
    return writeReportPdf(report, fileName, QString(), {firstPage, lastPage}) == OutputResult::Done;
}

OutputResult printReport(PreparedReport& report, QPrinter& printer, PageRange pages,
                         const PageProgress& progress)
{
    pages = resolved(report, pages);
    // Printing to a file cannot be aborted: it goes to a file of its own first, like a PDF.
    const QString chosen = printer.outputFileName();
    const QString partial = chosen.isEmpty() ? QString() : chosen + QStringLiteral(".part");
    if (!partial.isEmpty())
        printer.setOutputFileName(partial);
    OutputResult result = OutputResult::Failed;
    QPainter painter;
    if (painter.begin(&printer)) {
        result = paintPages(report, painter, printer, pages, progress);
        if (result == OutputResult::Cancelled)
            printer.abort();
        if (painter.isActive() && !painter.end() && result == OutputResult::Done)
            result = OutputResult::Failed;
    }
    if (!partial.isEmpty()) {
        printer.setOutputFileName(chosen);
        if (result == OutputResult::Done && (!QFile::exists(chosen) || QFile::remove(chosen)) &&
            QFile::rename(partial, chosen))
            return result;
        QFile::remove(partial);
        if (result == OutputResult::Done)
            result = OutputResult::Failed;
    }
    return result;
}

} // namespace tabel
