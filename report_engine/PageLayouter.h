#pragma once

#include "report_engine/BandStream.h"
#include "report_engine/LaidOutPage.h"

#include <QHash>
#include <QList>
#include <QSizeF>
#include <memory>
#include <utility>

namespace tabel {

// Cuts the stream of bands into pages. Counting and laying out run the same code from the
// same cursors, so a page laid out on demand is exactly the page that was counted.
class PageLayouter
{
public:
    PageLayouter(const ReportDefinition& definition, const RowSource& rows, QSizeF pageSize);

    bool countMore(int milliseconds);
    bool isComplete() const { return m_complete; }
    int knownPageCount() const { return int(m_pageStarts.size()); }
    std::shared_ptr<const LaidOutPage> page(int index);

private:
    struct PageEnd
    {
        StreamCursor nextPageStart;
        bool lastPage = false;
    };

    void resolveNames();
    void resolveSums(const BandList& bands, int groupLevel);
    void countOnePage();
    PageEnd runPage(int index, LaidOutPage* page) const;
    void placeBand(const ReportBand& band, double top, int row, const StreamCursor& cursor,
                   LaidOutPage& page) const;
    QString textOf(const ReportItem& item, int row, const StreamCursor& cursor, int pageNumber) const;

    const ReportDefinition& m_definition;
    const RowSource& m_rows;
    QSizeF m_pageSize;
    QMarginsF m_margins; // in units
    ResolvedReport m_resolved;
    QHash<const ReportItem*, int> m_itemColumns;
    QHash<const ReportItem*, int> m_itemSumCounters;

    QList<StreamCursor> m_pageStarts;
    int m_countedPages = 0;
    bool m_complete = false;

    static constexpr int cachedPages = 8;
    QList<std::pair<int, std::shared_ptr<const LaidOutPage>>> m_recentPages; // most recent last
};

} // namespace tabel
