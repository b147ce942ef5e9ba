#include "timesheet/LedgerCheckExport.h"

#include "spreadsheet/SpreadsheetWriter.h"
#include "timesheet/LedgerCheck.h"

namespace tabel {

namespace {
constexpr int sheet = 1;
constexpr int nameColumn = 1;
constexpr int kindColumn = 6;
constexpr int firstDifferenceRow = 4;
} // namespace

LedgerCheckExport::LedgerCheckExport(SpreadsheetWriter& writer) : m_writer(writer) {}

bool LedgerCheckExport::run(const LedgerCheckResult& result)
{
    if (m_writer.open(result.caption()) == SpreadsheetWriter::Result::Failed)
        return false;
    m_writer.show(false);
    // The caption and the summary are not fitted: the name column would grow to the width of a
    // sentence.
    m_writer.writeFormattedCell(sheet, nameColumn, 1, result.caption(), CellFormat::Text | CellFormat::Bold);
    m_writer.writeFormattedCell(sheet, nameColumn, 2, result.summary(), CellFormat::Text);
    const QStringList titles = LedgerCheckResult::columnTitles();
    for (int column = 1; column <= titles.size(); ++column)
        m_writer.writeFormattedCell(sheet, column, 3, titles.at(column - 1),
                                    CellFormat::Text | CellFormat::FitColumn | CellFormat::Bold);
    int row = firstDifferenceRow;
    for (const LedgerDifference& difference : result.differences) {
        const QStringList texts = difference.texts();
        for (int column = 1; column <= texts.size(); ++column) {
            // Names and kinds stay text; an empty cell is left unwritten.
            CellFormats format = CellFormat::FitColumn;
            format.setFlag(CellFormat::Text, column == nameColumn || column == kindColumn);
            if (!texts.at(column - 1).isEmpty())
                m_writer.writeFormattedCell(sheet, column, row, texts.at(column - 1), format);
        }
        ++row;
    }
    m_writer.show(true);
    return true;
}

} // namespace tabel
