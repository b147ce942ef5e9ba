#pragma once

#include "report_engine/ReportDefinition.h"

#include <QList>
#include <QVariantList>

// Not part of the engine's interface: the layout pass's own bookkeeping.
namespace tabel::Internal {

// A running total kept while the rows go by: a field added up over one group level, or over
// the whole report (level -1).
struct SumCounter
{
    int column = -1;
    int groupLevel = -1;
};

// The report's definition with field names resolved against the rows once.
struct ResolvedReport
{
    const ReportDefinition* definition = nullptr;
    const RowSource* rows = nullptr;
    QList<int> groupColumns;
    QList<SumCounter> sumCounters;
};

enum class StreamStage {
    ReportHeader,
    NextRow,
    CloseForRow,
    OpenForRow,
    Detail,
    CloseAtEnd,
    ReportFooter,
    End,
};

// Where the stream of bands stands: everything needed to go on from here, so that a page
// can be laid out again from the cursor it started with. Small on purpose: a report keeps
// one per page.
struct StreamCursor
{
    StreamStage stage = StreamStage::ReportHeader;
    int bandIndex = 0;   // within the band list of the stage
    int level = 0;       // the group level of a closing or opening stage
    int changeLevel = 0; // the outermost group the pending row closes
    int nextRow = 0;     // the first row not looked at yet
    int pendingRow = -1; // the row whose footers, headers and detail are printing
    int lastRow = -1;    // the last row printed in a detail
    QVariantList openGroupValues;
    QList<double> sums; // one per SumCounter
};

// The bands of the report in printing order. Changes of state (groups opening and closing,
// sums) happen when the stream moves from one band list to the next, never while a band
// waits for a page, so a cursor taken before any band is a sound place to resume.
class BandStream
{
public:
    BandStream(const ResolvedReport& report, StreamCursor cursor);

    // The band that prints next, or nullptr when the report is done.
    const ReportBand* next();
    // The band from next() is printed.
    void take() { ++m_cursor.bandIndex; }

    const StreamCursor& cursor() const { return m_cursor; }
    // The row whose fields the band from next() shows, or -1.
    int rowForTexts() const;

private:
    const BandList* bandsOfStage() const;
    void findNextRow();
    void enterOpening(int level);
    void enterDetail();

    const ResolvedReport& m_report;
    StreamCursor m_cursor;
};

} // namespace tabel::Internal
