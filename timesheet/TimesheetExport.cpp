#include "timesheet/TimesheetExport.h"

#include "spreadsheet/SpreadsheetWriter.h"
#include "timesheet/MonthlySummary.h"
#include "timesheet/TimesheetPrintLayout.h"

#include <QSqlQuery>

namespace tabel {

namespace {
constexpr int sheet = 1;
constexpr int nameColumn = 1;
constexpr int totalColumn = MonthlySummary::days + 2;

int dayColumn(int day)
{
    return day + 1;
}
} // namespace

TimesheetExport::TimesheetExport(Database& database, SpreadsheetWriter& writer)
    : m_database(database), m_writer(writer)
{
}

bool TimesheetExport::run(int month, int year, const Progress& progress)
{
    QSqlQuery rows = MonthlySummary::open(m_database, month, year);
    if (m_writer.open(TimesheetPrintLayout::documentName(monthNames().value(month - 1), year)) ==
        SpreadsheetWriter::Result::Failed)
        return false;
    // Hidden while it fills, so that the spreadsheet program does not redraw every cell.
    m_writer.show(false);
    const int total = rows.size();
    if (progress)
        progress(0, total);

    const CellFormats heading = CellFormat::Text | CellFormat::FitColumn | CellFormat::Bold;
    const CellFormats name = CellFormat::Text | CellFormat::FitColumn;
    const CellFormats hours = CellFormat::FitColumn;
    m_writer.writeFormattedCell(sheet, nameColumn, 1,
                                monthNames().value(month - 1) + QLatin1Char(' ') + QString::number(year),
                                heading);
    // The users' sheet title has no blank between the initials, unlike the window's grid.
    m_writer.writeFormattedCell(sheet, nameColumn, 2, QStringLiteral("Фамилия И.О."), heading);
    for (int day = 1; day <= MonthlySummary::days; ++day)
        m_writer.writeFormattedCell(sheet, dayColumn(day), 2, QString::number(day), hours | CellFormat::Bold);
    m_writer.writeFormattedCell(sheet, totalColumn, 2, QStringLiteral("Итого"), heading);

    int row = 3;
    int written = 0;
    while (rows.next()) {
        m_writer.writeFormattedCell(sheet, nameColumn, row, rows.value(0).toString(), name);
        for (int day = 1; day <= MonthlySummary::days; ++day)
            m_writer.writeFormattedCell(sheet, dayColumn(day), row,
                                        QString::number(MonthlySummary::dayHours(rows, day)), hours);
        m_writer.writeFormattedCell(sheet, totalColumn, row,
                                    QString::number(MonthlySummary::monthHours(rows)), hours);
        ++row;
        if (progress)
            progress(++written, total);
    }
    m_writer.show(true);
    return true;
}

} // namespace tabel
