#include "spreadsheet/SpreadsheetWriter.h"

#include "common/DocumentFileName.h"
#include "common/Messages.h"
#include "spreadsheet/SpreadsheetViewer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <optional>

namespace tabel {

namespace {

// QTemporaryDir's pattern; removeWorkbooksOlderThan matches what it makes.
QString workbookFolderPattern()
{
    return QStringLiteral("tabel-XXXXXX");
}

const QString kCannotOpen = QStringLiteral("Невозможно открыть Microsoft Excel.");
const QString kCannotAddWorkbook = QStringLiteral("Ошибка открытия файла Microsoft Excel.");
const QString kWrongSheetCaption = QStringLiteral("Ошибочный номер листа Microsoft Excel");
const QString kCellCaption = QStringLiteral("Ошибка Microsoft Excel");

// Beyond this the spreadsheet keeps only the leading digits; such texts (account and card
// numbers) are kept whole as text instead.
constexpr int kMaximumSignificantDigits = 15;

std::optional<double> numberFromText(const QString& text)
{
    // Group separators: the space a user types and the no-break spaces the Russian locale writes.
    static const QRegularExpression pattern(QStringLiteral(
        "^([+-]?)(0|[1-9][0-9]{0,2}(?:[ \\x{00A0}\\x{202F}][0-9]{3})+|[1-9][0-9]*)?(?:,([0-9]+))?$"));
    const auto match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    QString integerPart = match.captured(2);
    const QString fraction = match.captured(3);
    if (integerPart.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    static const QRegularExpression groupSeparators(QStringLiteral("[^0-9]"));
    static const QRegularExpression leadingZeros(QStringLiteral("^0+"));
    static const QRegularExpression trailingZeros(QStringLiteral("0+$"));
    integerPart.remove(groupSeparators);

    QString significant = integerPart + fraction;
    significant.remove(leadingZeros);
    if (!fraction.isEmpty())
        significant.remove(trailingZeros);
    if (significant.size() > kMaximumSignificantDigits)
        return std::nullopt;

    bool ok = false;
    const QString plain = match.captured(1) + (integerPart.isEmpty() ? QStringLiteral("0") : integerPart) +
                          QLatin1Char('.') + (fraction.isEmpty() ? QStringLiteral("0") : fraction);
    const double value = plain.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value == 0.0 ? 0.0 : value; // "-0" is plain 0 in a cell
}

int longestLine(const QString& text)
{
    int longest = 0;
    for (const auto& line : text.split(QLatin1Char('\n')))
        longest = std::max(longest, int(line.size()));
    return longest;
}

QString locationText(int sheet, int column, int row)
{
    return QStringLiteral("Ошибка при записи: лист %1, столбец %2, строка %3")
        .arg(sheet)
        .arg(column)
        .arg(row);
}

// libxlsxwriter opens its files by narrow names, which Windows reads in the ANSI code page: a
// Russian document name cannot pass on a workstation set to another language. An existing
// path that does not survive that code page goes by its short name, which is plain ASCII.
QByteArray narrowPath(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
#ifdef _WIN32
    if (QFile::decodeName(encoded) != path) {
        const std::wstring wide = QDir::toNativeSeparators(path).toStdWString();
        std::wstring shortPath(MAX_PATH, L'\0');
        const DWORD length = GetShortPathNameW(wide.c_str(), shortPath.data(), DWORD(shortPath.size()));
        if (length > 0 && length < shortPath.size()) {
            shortPath.resize(length);
            return QFile::encodeName(QString::fromStdWString(shortPath));
        }
    }
#endif
    return encoded;
}

} // namespace

SpreadsheetWriter::SpreadsheetWriter(Messages& messages, SpreadsheetViewer& viewer, const QString& folder)
    : m_messages(messages), m_viewer(viewer), m_folder(folder)
{
}

SpreadsheetWriter::~SpreadsheetWriter()
{
    discard();
}

SpreadsheetWriter::Result SpreadsheetWriter::open(const QString& documentName)
{
    discard();

    const QString folder = m_folder.isEmpty() ? QDir::tempPath() : m_folder;
    // The file is claimed now, so that an unusable folder is found before any cell is written.
    QTemporaryDir own(QDir(folder).filePath(workbookFolderPattern()));
    own.setAutoRemove(false);
    if (!own.isValid()) {
        m_messages.error(kCannotOpen);
        return Result::Failed;
    }
    m_workbookFolder = own.path();
    m_path = own.filePath(documentFileName(documentName.isEmpty() ? QStringLiteral("Книга") : documentName,
                                           QStringLiteral("xlsx")));
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        QDir(m_workbookFolder).removeRecursively();
        m_workbookFolder.clear();
        m_messages.error(kCannotOpen);
        return Result::Failed;
    }
    file.close();

    m_encodedFolder = narrowPath(folder);
    // Where a narrow name cannot reach the document, the library writes a plain name beside it
    // and the document takes its place once the workbook is whole.
    m_libraryPath = m_path;
    if (QFile::decodeName(QFile::encodeName(m_path)) != m_path)
        m_libraryPath = own.filePath(QStringLiteral("workbook.xlsx"));
    lxw_workbook_options options = {};
    options.tmpdir = m_encodedFolder.data();
    m_workbook = workbook_new_opt(
        (narrowPath(m_workbookFolder) + '/' + QFile::encodeName(QFileInfo(m_libraryPath).fileName()))
            .constData(),
        &options);
    if (!m_workbook) {
        discard();
        m_messages.error(kCannotOpen);
        return Result::Failed;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(m_workbook, sheetName().toUtf8().constData());
    if (!sheet) {
        discard();
        m_messages.error(kCannotAddWorkbook);
        return Result::Failed;
    }
    m_sheets = {sheet};
    m_cells.resize(1);
    m_fittedColumns.resize(1);
    return Result::Done;
}

SpreadsheetWriter::Result SpreadsheetWriter::show(bool visible)
{
    // Hiding has no meaning for a workbook that lives in memory until it is shown.
    if (!visible || !m_workbook)
        return Result::Done;
    const QString path = m_path;
    if (save())
        m_viewer.open(path);
    return Result::Done;
}

SpreadsheetWriter::Result SpreadsheetWriter::writeCell(int sheet, int column, int row, const QString& text)
{
    return write(sheet, column, row, text, std::nullopt);
}

SpreadsheetWriter::Result SpreadsheetWriter::writeFormattedCell(int sheet, int column, int row,
                                                                const QString& text, CellFormats format)
{
    return write(sheet, column, row, text, format);
}

SpreadsheetWriter::Result SpreadsheetWriter::write(int sheet, int column, int row, const QString& text,
                                                   const Styling& styling)
{
    if (text.isEmpty())
        return Result::Done;
    const QString location = locationText(sheet, column, row);
    if (!m_workbook) {
        m_messages.error(location, kCellCaption);
        return Result::Failed;
    }
    if (sheet < 1 || sheet > m_sheets.size()) {
        m_messages.error(location, kWrongSheetCaption);
        return Result::Failed;
    }
    if (column < 1 || column > LXW_COL_MAX || row < 1 || row > LXW_ROW_MAX) {
        m_messages.error(location, kCellCaption);
        return Result::Failed;
    }

    auto& cells = m_cells[sheet - 1];
    const QPair<int, int> key(row, column);
    CellState state = cells.value(key);
    if (styling) {
        state.textFormat = state.textFormat || styling->testFlag(CellFormat::Text);
        state.bold = styling->testFlag(CellFormat::Bold);
    }
    lxw_format* cellFormat = format(state.textFormat, state.bold);
    const auto number = state.textFormat ? std::nullopt : numberFromText(text);
    lxw_worksheet* worksheet = m_sheets[sheet - 1];
    const auto result = number ? worksheet_write_number(worksheet, lxw_row_t(row - 1), lxw_col_t(column - 1),
                                                        *number, cellFormat)
                               : worksheet_write_string(worksheet, lxw_row_t(row - 1), lxw_col_t(column - 1),
                                                        text.toUtf8().constData(), cellFormat);
    if (result != LXW_NO_ERROR) {
        m_messages.error(location, kCellCaption);
        return Result::Failed;
    }
    state.width = longestLine(text);
    cells.insert(key, state);
    if (styling && styling->testFlag(CellFormat::FitColumn))
        m_fittedColumns[sheet - 1].insert(column);
    return Result::Done;
}

lxw_format* SpreadsheetWriter::format(bool textFormat, bool bold)
{
    if (!textFormat && !bold)
        return nullptr;
    lxw_format*& cached = m_formats[textFormat][bold];
    if (!cached) {
        cached = workbook_add_format(m_workbook);
        if (textFormat)
            format_set_num_format_index(cached, 49); // the spreadsheet's own "Text" format, "@"
        if (bold)
            format_set_bold(cached);
    }
    return cached;
}

void SpreadsheetWriter::applyColumnWidths()
{
    // libxlsxwriter cannot measure text, so a fitted column gets its longest text in characters,
    // bold a tenth wider, plus one character of margin.
    for (int index = 0; index < m_sheets.size(); ++index) {
        QHash<int, double> widths;
        for (auto cell = m_cells[index].cbegin(); cell != m_cells[index].cend(); ++cell) {
            const int column = cell.key().second;
            if (!m_fittedColumns[index].contains(column))
                continue;
            const double width = cell->width * (cell->bold ? 1.1 : 1.0) + 1.0;
            widths[column] = std::max(widths.value(column), width);
        }
        for (auto width = widths.cbegin(); width != widths.cend(); ++width) {
            const auto column = lxw_col_t(width.key() - 1);
            worksheet_set_column(m_sheets[index], column, column, std::min(width.value(), 255.0), nullptr);
        }
    }
}

bool SpreadsheetWriter::save()
{
    applyColumnWidths();
    const lxw_error result = workbook_close(m_workbook); // frees the workbook whatever the result
    m_workbook = nullptr;
    const QString path = m_path;
    const bool saved =
        result == LXW_NO_ERROR &&
        (m_libraryPath == m_path || (QFile::remove(m_path) && QFile::rename(m_libraryPath, m_path)));
    if (saved)
        m_workbookFolder.clear(); // the spreadsheet program has it now
    discard();
    if (!saved) {
        m_messages.error(
            QStringLiteral("Не удалось сохранить таблицу в файл %1.").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    return true;
}

void SpreadsheetWriter::discard()
{
    if (m_workbook) {
        lxw_workbook_free(m_workbook);
        m_workbook = nullptr;
    }
    if (!m_workbookFolder.isEmpty())
        QDir(m_workbookFolder).removeRecursively();
    m_workbookFolder.clear();
    m_path.clear();
    m_libraryPath.clear();
    m_sheets.clear();
    m_cells.clear();
    m_fittedColumns.clear();
    for (auto& row : m_formats)
        for (auto& cached : row)
            cached = nullptr;
}

int SpreadsheetWriter::removeWorkbooksOlderThan(const QDateTime& before, const QString& folder)
{
    QDir dir(folder.isEmpty() ? QDir::tempPath() : folder);
    int removed = 0;
    // Folders of today's naming, and the single files of an earlier one.
    const QFileInfoList entries =
        dir.entryInfoList({QStringLiteral("tabel-??????"), QStringLiteral("tabel-??????.xlsx")},
                          QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QFileInfo& entry : entries) {
        if (entry.lastModified() >= before)
            continue;
        const bool gone =
            entry.isDir() ? QDir(entry.filePath()).removeRecursively() : QFile::remove(entry.filePath());
        if (gone)
            ++removed;
    }
    return removed;
}

} // namespace tabel
