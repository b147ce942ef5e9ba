#pragma once

namespace tabel {

struct LedgerCheckResult;
class SpreadsheetWriter;

// Writes a ledger check into a new workbook: the caption, the summary line, the column
// titles, then one row per difference.
class LedgerCheckExport
{
public:
    explicit LedgerCheckExport(SpreadsheetWriter& writer);

    // False when the writer could not open a workbook (it has told the user).
    bool run(const LedgerCheckResult& result);

private:
    SpreadsheetWriter& m_writer;
};

} // namespace tabel
