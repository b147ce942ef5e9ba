#include "report_engine/BandStream_p.h"

namespace tabel::Internal {

BandStream::BandStream(const ResolvedReport& report, StreamCursor cursor)
    : m_report(report), m_cursor(std::move(cursor))
{
}

const BandList* BandStream::bandsOfStage() const
{
    const ReportDefinition& definition = *m_report.definition;
    switch (m_cursor.stage) {
    case StreamStage::ReportHeader:
        return &definition.reportHeader;
    case StreamStage::CloseForRow:
    case StreamStage::CloseAtEnd:
        return &definition.groups.at(m_cursor.level).footer;
    case StreamStage::OpenForRow:
        return &definition.groups.at(m_cursor.level).header;
    case StreamStage::Detail:
        return &definition.detail;
    case StreamStage::ReportFooter:
        return &definition.reportFooter;
    case StreamStage::NextRow:
    case StreamStage::End:
        break;
    }
    return nullptr;
}

const ReportBand* BandStream::next()
{
    StreamCursor& cursor = m_cursor;
    for (;;) {
        if (const BandList* bands = bandsOfStage(); bands && cursor.bandIndex < bands->size())
            return &bands->at(cursor.bandIndex);
        cursor.bandIndex = 0;
        switch (cursor.stage) {
        case StreamStage::ReportHeader:
            cursor.stage = StreamStage::NextRow;
            break;
        case StreamStage::NextRow:
            findNextRow();
            break;
        case StreamStage::CloseForRow:
            cursor.openGroupValues.removeLast();
            --cursor.level;
            if (cursor.level < cursor.changeLevel)
                enterOpening(cursor.changeLevel);
            break;
        case StreamStage::OpenForRow:
            enterOpening(cursor.level + 1);
            break;
        case StreamStage::Detail:
            cursor.nextRow = cursor.pendingRow + 1;
            cursor.pendingRow = -1;
            cursor.stage = StreamStage::NextRow;
            break;
        case StreamStage::CloseAtEnd:
            cursor.openGroupValues.removeLast();
            if (--cursor.level < 0)
                cursor.stage = StreamStage::ReportFooter;
            break;
        case StreamStage::ReportFooter:
            cursor.stage = StreamStage::End;
            break;
        case StreamStage::End:
            return nullptr;
        }
    }
}

void BandStream::findNextRow()
{
    StreamCursor& cursor = m_cursor;
    const RowSource& rows = *m_report.rows;
    const RowFilter& filter = m_report.definition->rowFilter;
    const int rowCount = rows.rowCount();
    int row = cursor.nextRow;
    while (row < rowCount && filter && !filter(ReportRow(rows, row)))
        ++row;
    cursor.nextRow = row;
    const int openGroups = int(cursor.openGroupValues.size());
    if (row >= rowCount) {
        cursor.level = openGroups - 1;
        cursor.stage = openGroups > 0 ? StreamStage::CloseAtEnd : StreamStage::ReportFooter;
        return;
    }
    cursor.pendingRow = row;
    int changeLevel = openGroups;
    for (int level = 0; level < openGroups; ++level)
        if (rows.value(row, m_report.groupColumns.at(level)) != cursor.openGroupValues.at(level)) {
            changeLevel = level;
            break;
        }
    cursor.changeLevel = changeLevel;
    if (changeLevel < openGroups) {
        cursor.stage = StreamStage::CloseForRow;
        cursor.level = openGroups - 1;
    } else {
        enterOpening(changeLevel);
    }
}

void BandStream::enterOpening(int level)
{
    StreamCursor& cursor = m_cursor;
    if (level >= m_report.groupColumns.size()) {
        enterDetail();
        return;
    }
    cursor.openGroupValues.append(m_report.rows->value(cursor.pendingRow, m_report.groupColumns.at(level)));
    for (int counter = 0; counter < m_report.sumCounters.size(); ++counter)
        if (m_report.sumCounters.at(counter).groupLevel == level)
            cursor.sums[counter] = 0;
    cursor.stage = StreamStage::OpenForRow;
    cursor.level = level;
}

void BandStream::enterDetail()
{
    StreamCursor& cursor = m_cursor;
    for (int counter = 0; counter < m_report.sumCounters.size(); ++counter) {
        const int column = m_report.sumCounters.at(counter).column;
        if (column >= 0)
            cursor.sums[counter] += m_report.rows->value(cursor.pendingRow, column).toDouble();
    }
    cursor.lastRow = cursor.pendingRow;
    cursor.stage = StreamStage::Detail;
}

int BandStream::rowForTexts() const
{
    switch (m_cursor.stage) {
    case StreamStage::OpenForRow:
    case StreamStage::Detail:
        return m_cursor.pendingRow;
    default:
        return m_cursor.lastRow;
    }
}

} // namespace tabel::Internal
