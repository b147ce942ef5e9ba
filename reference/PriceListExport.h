#pragma once

#include <QString>
#include <functional>

namespace tabel {

class Database;
class SpreadsheetWriter;

// The operations price list ("Excel" of the operations list): every operation, with norm
// entries or not, at its cena_new, written to sheet 1 and shown. Runs on the calling thread
// from start to end; the caller sets and restores the mouse pointer.
class PriceListExport
{
public:
    // Called after each operation row: rows written so far and the number of operations.
    using Progress = std::function<void(int written, int total)>;

    PriceListExport(Database& database, SpreadsheetWriter& writer);

    void setProgress(Progress progress) { m_progress = std::move(progress); }
    // Stops without writing when the writer cannot open (it has told the user why). The
    // results of single cell writes are not looked at: the writer reports each failure.
    void run();

    static QString statement();
    // A price as the spreadsheet reads a typed number: shortest form, decimal comma, never an
    // exponent (which would make the cell text).
    static QString priceText(double price);

private:
    Database& m_database;
    SpreadsheetWriter& m_writer;
    Progress m_progress;
};

} // namespace tabel
