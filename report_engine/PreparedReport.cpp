#include "report_engine/PreparedReport.h"

#include "report_engine/PageLayouter_p.h"
#include "report_engine/PagePainter.h"

#include <QPageSize>
#include <cmath>

namespace tabel {

PreparedReport::PreparedReport(ReportDefinition definition, std::shared_ptr<const RowSource> rows)
    : m_definition(std::move(definition)), m_rows(std::move(rows)),
      m_layouter(std::make_unique<Internal::PageLayouter>(m_definition, *m_rows, pageSize()))
{
}

PreparedReport::~PreparedReport() = default;

QSizeF PreparedReport::pageSize() const
{
    return m_definition.page.paperSize();
}

QPageLayout PreparedReport::printerPageLayout() const
{
    return QPageLayout(QPageSize(QPageSize::A4), m_definition.page.orientation, QMarginsF(0, 0, 0, 0));
}

bool PreparedReport::layoutMore(int milliseconds)
{
    return m_layouter->countMore(milliseconds);
}

void PreparedReport::layoutAll()
{
    while (!m_layouter->countMore(1000)) {
    }
}

bool PreparedReport::isComplete() const
{
    return m_layouter->isComplete();
}

int PreparedReport::knownPageCount() const
{
    return m_layouter->knownPageCount();
}

int PreparedReport::pageCount()
{
    layoutAll();
    return knownPageCount();
}

std::shared_ptr<const LaidOutPage> PreparedReport::page(int index)
{
    return m_layouter->page(index);
}

void PreparedReport::paintPage(int index, QPainter& painter)
{
    if (const std::shared_ptr<const LaidOutPage> laidOut = page(index))
        PagePainter(painter).paint(*laidOut);
}

} // namespace tabel
