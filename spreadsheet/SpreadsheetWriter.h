#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFlags>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVector>

#include <optional>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace tabel {

class Messages;
class SpreadsheetViewer;

// How a formatted write styles its cell: as text whatever it reads like (the spreadsheet's "@"),
// its column fitted to its longest text when the workbook is saved, bold.
enum class CellFormat {
    Text = 0x1,
    FitColumn = 0x2,
    Bold = 0x4,
};
Q_DECLARE_FLAGS(CellFormats, CellFormat)
Q_DECLARE_OPERATORS_FOR_FLAGS(CellFormats)

// Builds a workbook in memory cell by cell and hands it, saved to a temporary .xlsx, to the
// desktop's spreadsheet program at show(true). Every failure has been told to the user by the
// time its Result::Failed comes back.
//
// A text is stored as the spreadsheet would read it when typed in under the Russian locale,
// with two exceptions that keep the text exactly: leading zeros ("007") and more than 15
// digits (leading zeros and trailing decimal zeros aside) stay text. A number is an optional
// sign, digits (grouped by threes with a space if at all) and an optional decimal comma with
// digits: "12", "-3", "+5", "12,5", ",5", "1 234,5". A decimal point ("12.5", which the
// spreadsheet would turn into a date), exponents, currency and percent signs and surrounding
// blanks leave the text as text.
//
// Fitted columns get their width when the workbook is saved, from the longest text then in
// the column, since libxlsxwriter cannot fit columns itself.
class SpreadsheetWriter
{
public:
    // folder: where the workbooks are kept, each in a folder of its own ("tabel-XXXXXX") under
    // the name of its document, so that the spreadsheet program proposes that name when the
    // user saves it; empty means the system's temporary folder.
    SpreadsheetWriter(Messages& messages, SpreadsheetViewer& viewer, const QString& folder = QString());
    ~SpreadsheetWriter();
    SpreadsheetWriter(const SpreadsheetWriter&) = delete;
    SpreadsheetWriter& operator=(const SpreadsheetWriter&) = delete;

    enum class Result { Done, Failed };

    // documentName: what the workbook holds ("Табель Декабрь 2026"); empty: "Книга".
    Result open(const QString& documentName = QString());
    Result show(bool visible);
    // Keeps whatever format the cell already has, as typing into it would.
    Result writeCell(int sheet, int column, int row, const QString& text);
    // Sets the cell's boldness; a cell once written as text stays text.
    Result writeFormattedCell(int sheet, int column, int row, const QString& text, CellFormats format);

    static QString sheetName() { return QStringLiteral("Лист1"); }

    // Removes the workbooks, and their folders, that the program made in folder (empty: the
    // system's temporary folder) and last changed before the given time. The count removed.
    static int removeWorkbooksOlderThan(const QDateTime& before, const QString& folder = QString());

private:
    struct CellState
    {
        int width = 0; // characters of the longest line
        bool textFormat = false;
        bool bold = false;
    };
    // Empty for a plain write, which keeps the cell's format.
    using Styling = std::optional<CellFormats>;

    Result write(int sheet, int column, int row, const QString& text, const Styling& styling);
    lxw_format* format(bool textFormat, bool bold);
    bool save();
    void applyColumnWidths();
    void discard();

    Messages& m_messages;
    SpreadsheetViewer& m_viewer;
    QString m_folder;
    QByteArray m_encodedFolder; // libxlsxwriter keeps a pointer to it while the workbook lives

    lxw_workbook* m_workbook = nullptr;
    QString m_path;
    QString m_libraryPath;    // the name libxlsxwriter writes, m_path unless that cannot reach it
    QString m_workbookFolder; // the workbook's own, removed with it unless it was shown
    QVector<lxw_worksheet*> m_sheets;
    lxw_format* m_formats[2][2] = {};
    // Per sheet: the state of each written cell by (row, column), and the columns to fit.
    QVector<QHash<QPair<int, int>, CellState>> m_cells;
    QVector<QSet<int>> m_fittedColumns;
};

} // namespace tabel
