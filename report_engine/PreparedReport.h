#pragma once

#include "report_engine/LaidOutPage.h"
#include "report_engine/ReportDefinition.h"
#include "report_engine/RowSource.h"

#include <QPageLayout>
#include <QSizeF>
#include <memory>

class QPainter;

namespace tabel {

namespace Internal {
class PageLayouter;
}

// A report definition applied to rows: pages counted and laid out. The whole report is never
// held at once: the count pass keeps per page only the cursor it starts from, and a page's
// texts are laid out when someone asks for the page (a few recent ones are kept). So a year
// of rows costs a few bytes a page, and the first page is ready before the rows are counted.
// Laying out measures texts in their fonts (see TextFitter), so it needs a QGuiApplication.
class PreparedReport
{
public:
    PreparedReport(ReportDefinition definition, std::shared_ptr<const RowSource> rows);
    ~PreparedReport();
    PreparedReport(const PreparedReport&) = delete;
    PreparedReport& operator=(const PreparedReport&) = delete;

    const ReportDefinition& definition() const { return m_definition; }
    const RowSource& rows() const { return *m_rows; }
    // The paper in report units: A4, 794 x 1123 or 1123 x 794.
    QSizeF pageSize() const;
    // The paper for a printer or PDF writer that draws from the paper's corner.
    QPageLayout printerPageLayout() const;

    // Counts pages for about this long; true once every page is known.
    bool layoutMore(int milliseconds);
    void layoutAll();
    bool isComplete() const;
    // The pages known so far: all of them once isComplete().
    int knownPageCount() const;
    // Counts every page first.
    int pageCount();

    // Page index from 0. Counts on as far as needed; null past the last page.
    std::shared_ptr<const LaidOutPage> page(int index);
    // Draws the page on any device: screen, printer, PDF, image.
    void paintPage(int index, QPainter& painter);

private:
    const ReportDefinition m_definition;
    const std::shared_ptr<const RowSource> m_rows;
    std::unique_ptr<Internal::PageLayouter> m_layouter;
};

} // namespace tabel
