#include "report_engine/PageLayouter.h"

#include "report_engine/DisplayText.h"

#include <QElapsedTimer>

namespace tabel {

namespace {

constexpr double millimetresPerInch = 25.4;

double bandsHeight(const BandList& bands)
{
    double height = 0;
    for (const ReportBand& band : bands)
        height += band.height;
    return height;
}

} // namespace

PageLayouter::PageLayouter(const ReportDefinition& definition, const RowSource& rows, QSizeF pageSize)
    : m_definition(definition), m_rows(rows), m_pageSize(pageSize)
{
    const QMarginsF& millimetres = definition.page.marginsMillimetres;
    const double unitsPerMillimetre = reportUnitsPerInch / millimetresPerInch;
    m_margins =
        QMarginsF(millimetres.left() * unitsPerMillimetre, millimetres.top() * unitsPerMillimetre,
                  millimetres.right() * unitsPerMillimetre, millimetres.bottom() * unitsPerMillimetre);
    resolveNames();
    StreamCursor start;
    start.sums = QList<double>(m_resolved.sumCounters.size(), 0.0);
    m_pageStarts.append(start);
}

void PageLayouter::resolveNames()
{
    m_resolved.definition = &m_definition;
    m_resolved.rows = &m_rows;
    for (const ReportGroup& group : m_definition.groups)
        m_resolved.groupColumns.append(m_rows.columnIndex(group.field));
    const int innermost = int(m_definition.groups.size()) - 1;
    resolveSums(m_definition.reportHeader, innermost);
    resolveSums(m_definition.pageHeader, innermost);
    for (int level = 0; level <= innermost; ++level) {
        resolveSums(m_definition.groups.at(level).header, level);
        resolveSums(m_definition.groups.at(level).footer, level);
    }
    resolveSums(m_definition.detail, innermost);
    resolveSums(m_definition.reportFooter, innermost);
    resolveSums(m_definition.pageFooter, innermost);
}

void PageLayouter::resolveSums(const BandList& bands, int groupLevel)
{
    for (const ReportBand& band : bands)
        for (const ReportItem& item : band.items) {
            if (item.content == ItemContent::Field)
                m_itemColumns.insert(&item, m_rows.columnIndex(item.field));
            if (item.content != ItemContent::Sum)
                continue;
            const SumCounter wanted{m_rows.columnIndex(item.field),
                                    item.sumScope == SumScope::Report ? -1 : groupLevel};
            int counter = 0;
            while (counter < m_resolved.sumCounters.size() &&
                   (m_resolved.sumCounters.at(counter).column != wanted.column ||
                    m_resolved.sumCounters.at(counter).groupLevel != wanted.groupLevel))
                ++counter;
            if (counter == m_resolved.sumCounters.size())
                m_resolved.sumCounters.append(wanted);
            m_itemSumCounters.insert(&item, counter);
        }
}

bool PageLayouter::countMore(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!m_complete && timer.elapsed() < milliseconds)
        countOnePage();
    return m_complete;
}

void PageLayouter::countOnePage()
{
    const PageEnd end = runPage(m_countedPages, nullptr);
    ++m_countedPages;
    if (end.lastPage)
        m_complete = true;
    else
        m_pageStarts.append(end.nextPageStart);
}

std::shared_ptr<const LaidOutPage> PageLayouter::page(int index)
{
    if (index < 0)
        return {};
    while (index >= m_pageStarts.size() && !m_complete)
        countOnePage();
    if (index >= m_pageStarts.size())
        return {};
    for (int recent = 0; recent < m_recentPages.size(); ++recent)
        if (m_recentPages.at(recent).first == index) {
            auto found = m_recentPages.takeAt(recent);
            m_recentPages.append(found);
            return found.second;
        }
    auto page = std::make_shared<LaidOutPage>();
    const PageEnd end = runPage(index, page.get());
    // Laying out the page counted it too.
    if (index == m_countedPages) {
        ++m_countedPages;
        if (end.lastPage)
            m_complete = true;
        else
            m_pageStarts.append(end.nextPageStart);
    }
    if (m_recentPages.size() == cachedPages)
        m_recentPages.removeFirst();
    m_recentPages.append({index, page});
    return page;
}

PageLayouter::PageEnd PageLayouter::runPage(int index, LaidOutPage* page) const
{
    BandStream stream(m_resolved, m_pageStarts.at(index));
    const int pageNumber = index + 1;
    if (page)
        page->number = pageNumber;
    double top = m_margins.top();
    const double bottom = m_pageSize.height() - m_margins.bottom() - bandsHeight(m_definition.pageFooter);

    const ReportBand* band = stream.next();
    for (const ReportBand& header : m_definition.pageHeader) {
        if (page)
            placeBand(header, top, stream.rowForTexts(), stream.cursor(), *page);
        top += header.height;
    }
    const double contentTop = top;
    PageEnd end;
    for (; band; band = stream.next()) {
        // A band taller than a whole page still prints, overflowing, rather than never.
        if (top + band->height > bottom && top > contentTop)
            break;
        stream.take();
        if (page)
            placeBand(*band, top, stream.rowForTexts(), stream.cursor(), *page);
        top += band->height;
    }
    end.lastPage = band == nullptr;
    end.nextPageStart = stream.cursor();

    if (page) {
        double footerTop = bottom;
        for (const ReportBand& footer : m_definition.pageFooter) {
            placeBand(footer, footerTop, stream.cursor().lastRow, stream.cursor(), *page);
            footerTop += footer.height;
        }
    }
    return end;
}

void PageLayouter::placeBand(const ReportBand& band, double top, int row, const StreamCursor& cursor,
                             LaidOutPage& page) const
{
    const double width =
        band.width > 0 ? band.width : m_pageSize.width() - m_margins.left() - m_margins.right();
    const QRectF bandRect(m_margins.left(), top, width, band.height);
    page.bands.append({bandRect, &band});
    for (const ReportItem& item : band.items)
        page.texts.append(
            {textOf(item, row, cursor, page.number), item.rect.translated(bandRect.topLeft()), &item});
}

QString PageLayouter::textOf(const ReportItem& item, int row, const StreamCursor& cursor,
                             int pageNumber) const
{
    switch (item.content) {
    case ItemContent::Label:
        return item.caption;
    case ItemContent::Field:
        return row < 0 ? QString()
                       : displayText(m_rows.value(row, m_itemColumns.value(&item, -1)), item.mask);
    case ItemContent::Computed:
        return row < 0 || !item.computed ? QString() : item.computed(ReportRow(m_rows, row));
    case ItemContent::Sum:
        return displayText(cursor.sums.at(m_itemSumCounters.value(&item)), item.mask);
    case ItemContent::PageNumber:
        return QString::number(pageNumber);
    }
    return {};
}

} // namespace tabel
