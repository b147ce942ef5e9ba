#include "report_engine/PageLayouter_p.h"

#include "report_engine/DisplayText.h"

#include <QElapsedTimer>

namespace tabel::Internal {

namespace {

double bandsHeight(const BandList& bands)
{
    double height = 0;
    for (const ReportBand& band : bands)
        height += band.height;
    return height;
}

} // namespace

PageLayouter::PageLayouter(const ReportDefinition& definition, const RowSource& rows, QSizeF pageSize)
    : m_definition(definition), m_rows(rows), m_pageSize(pageSize), m_margins(definition.page.margins())
{
    resolveNames();
    double height = bandsHeight(m_definition.detail);
    m_heightFromHeader = QList<double>(m_definition.groups.size(), 0.0);
    for (int level = int(m_definition.groups.size()) - 1; level >= 0; --level) {
        height += bandsHeight(m_definition.groups.at(level).header);
        m_heightFromHeader[level] = height;
    }
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

PageLayouter::PageEnd PageLayouter::runPage(int index, LaidOutPage* page, int bandLimit) const
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
    if (band)
        top += continuedHeaders(stream, top, page);
    const double contentTop = top;

    // The first band of the last row that began on this page: how many bands came before it and
    // where it stands.
    int rowStartBands = -1;
    double rowStartTop = 0;
    int lastRow = -1;
    int taken = 0;
    for (; band && taken != bandLimit; band = stream.next()) {
        const StreamCursor& cursor = stream.cursor();
        const bool ofRow = cursor.stage == StreamStage::OpenForRow || cursor.stage == StreamStage::Detail;
        const double needed =
            cursor.stage == StreamStage::OpenForRow ? heightDownToFirstRow(cursor) : band->height;
        // A band taller than a whole page still prints, overflowing, rather than never.
        if (top + needed > bottom && top > contentTop) {
            const bool footer =
                cursor.stage == StreamStage::CloseForRow || cursor.stage == StreamStage::CloseAtEnd;
            if (footer && rowStartBands >= 0 && rowStartTop > contentTop) {
                if (page) {
                    page->bands.clear();
                    page->texts.clear();
                }
                return runPage(index, page, rowStartBands);
            }
            break;
        }
        if (ofRow && cursor.pendingRow != lastRow) {
            rowStartBands = taken;
            rowStartTop = top;
        }
        lastRow = ofRow ? cursor.pendingRow : -1;
        stream.take();
        ++taken;
        if (page)
            placeBand(*band, top, stream.rowForTexts(), stream.cursor(), *page);
        top += band->height;
    }
    PageEnd end;
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

double PageLayouter::continuedHeaders(const BandStream& stream, double top, LaidOutPage* page) const
{
    const StreamCursor& cursor = stream.cursor();
    int continuing = 0;
    switch (cursor.stage) {
    case StreamStage::OpenForRow:
        continuing = cursor.level;
        break;
    case StreamStage::Detail:
    case StreamStage::CloseForRow:
    case StreamStage::CloseAtEnd:
        continuing = int(cursor.openGroupValues.size());
        break;
    default:
        return 0;
    }
    static const QString continued = QStringLiteral(" (продолжение)");
    const double headersTop = top;
    for (int level = 0; level < continuing; ++level)
        for (const ReportBand& header : m_definition.groups.at(level).header) {
            if (page)
                placeBand(header, top, stream.rowForTexts(), cursor, *page, continued);
            top += header.height;
        }
    return top - headersTop;
}

double PageLayouter::heightDownToFirstRow(const StreamCursor& cursor) const
{
    double height = m_heightFromHeader.at(cursor.level);
    const BandList& header = m_definition.groups.at(cursor.level).header;
    for (int band = 0; band < cursor.bandIndex && band < header.size(); ++band)
        height -= header.at(band).height;
    return height;
}

void PageLayouter::placeBand(const ReportBand& band, double top, int row, const StreamCursor& cursor,
                             LaidOutPage& page, const QString& suffix) const
{
    const double width =
        band.width > 0 ? band.width : m_pageSize.width() - m_margins.left() - m_margins.right();
    const QRectF bandRect(m_margins.left(), top, width, band.height);
    page.bands.append({bandRect, &band});
    for (const ReportItem& item : band.items) {
        QString text = textOf(item, row, cursor, page.number);
        if (!suffix.isEmpty() && !text.isEmpty() &&
            (item.content == ItemContent::Field || item.content == ItemContent::Computed))
            text += suffix;
        // A number too wide even in the smallest size may reach up to the next item, not over it.
        auto spareRoom = [&] {
            SpareRoom spare{item.rect.left(), width - item.rect.right()};
            for (const ReportItem& other : band.items) {
                if (&other == &item || other.rect.bottom() <= item.rect.top() ||
                    other.rect.top() >= item.rect.bottom())
                    continue;
                if (other.rect.center().x() < item.rect.center().x())
                    spare.left = std::min(spare.left, std::max(0.0, item.rect.left() - other.rect.right()));
                else
                    spare.right = std::min(spare.right, std::max(0.0, other.rect.left() - item.rect.right()));
            }
            return spare;
        };
        FittedText fitted = m_fitter.fit(text, item, item.rect, spareRoom);
        page.texts.append({fitted.text, fitted.rect.translated(bandRect.topLeft()), &item, fitted.pointSize});
    }
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

} // namespace tabel::Internal
