#pragma once

#include <QString>

namespace tabel {

class Database;
class SpreadsheetWriter;

// The operations price list ("Excel" of the operations list): every operation, with norm
// entries or not, at its cena_new, written to sheet 1 and shown. Runs on the calling thread
// from start to end; the caller sets and restores the mouse pointer.
class PriceListExport
{
public:
    PriceListExport(Database& database, SpreadsheetWriter& writer);

    // Stops without writing when the writer cannot open (it has told the user why). The
    // results of single cell writes are not looked at: the writer reports each failure.
    void run();

    static QString statement();

private:
    Database& m_database;
    SpreadsheetWriter& m_writer;
};

} // namespace tabel
