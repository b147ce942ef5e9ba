#pragma once

#include "report_engine/BandStream_p.h"
#include "report_engine/LaidOutPage.h"
#include "report_engine/TextFit_p.h"

#include <QHash>
#include <QList>
#include <QSizeF>
#include <memory>
#include <utility>

// Not part of the engine's interface: PreparedReport is.
namespace tabel::Internal {

// Cuts the stream of bands into pages. Counting and laying out run the same code from the
// same cursors, so a page laid out on demand is exactly the page that was counted.
//
// Where a page breaks: a band that does not fit goes to the next page; a group header goes
// there together with everything down to its group's first row, so it never ends a page; a
// group footer that does not fit takes the last row before it along, so it never opens a
// page; and a group that goes on from the page before has its header printed again at the top,
// its texts followed by " (продолжение)".
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
    // bandLimit: the page ends after this many bands of the stream; -1: where they stop fitting.
    PageEnd runPage(int index, LaidOutPage* page, int bandLimit = -1) const;
    double continuedHeaders(const BandStream& stream, double top, LaidOutPage* page) const;
    double heightDownToFirstRow(const StreamCursor& cursor) const;
    void placeBand(const ReportBand& band, double top, int row, const StreamCursor& cursor, LaidOutPage& page,
                   const QString& suffix = QString()) const;
    QString textOf(const ReportItem& item, int row, const StreamCursor& cursor, int pageNumber) const;

    const ReportDefinition& m_definition;
    const RowSource& m_rows;
    QSizeF m_pageSize;
    QMarginsF m_margins; // in units
    ResolvedReport m_resolved;
    QHash<const ReportItem*, int> m_itemColumns;
    QHash<const ReportItem*, int> m_itemSumCounters;
    QList<double> m_heightFromHeader; // per group level: its headers, the inner ones and the detail
    mutable TextFitter m_fitter;

    QList<StreamCursor> m_pageStarts;
    int m_countedPages = 0;
    bool m_complete = false;

    static constexpr int cachedPages = 8;
    QList<std::pair<int, std::shared_ptr<const LaidOutPage>>> m_recentPages; // most recent last
};

} // namespace tabel::Internal
