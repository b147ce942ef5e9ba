#include "report_engine/PdfExport.h"

#include "report_engine/PagePainter.h"
#include "report_engine/PreparedReport.h"

#include <QPainter>
#include <QPdfWriter>

namespace tabel {

bool writeReportPdf(PreparedReport& report, const QString& fileName, int firstPage, int lastPage)
{
    QPdfWriter writer(fileName);
    writer.setCreator(QStringLiteral("Табель"));
    writer.setPageLayout(report.printerPageLayout());
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    // Pages are asked for one by one: writing the first pages of a long report need not wait
    // for the rest to be counted.
    const int first = std::max(firstPage, 0);
    for (int index = first; lastPage < 0 || index <= lastPage; ++index) {
        const std::shared_ptr<const LaidOutPage> page = report.page(index);
        if (!page)
            break;
        if (index > first)
            writer.newPage();
        PagePainter(painter).paint(*page);
    }
    return painter.end();
}

} // namespace tabel
