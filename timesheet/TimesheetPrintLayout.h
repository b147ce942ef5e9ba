#pragma once

#include "report_engine/ReportDefinition.h"

namespace tabel {

// The printed time sheet: A4 landscape, one line per worker of the monthly summary with the
// hours of days 1 to 31 and their total, under a header repeated on every page.
class TimesheetPrintLayout
{
public:
    static const QString titleLabel;
    // Where the columns stand, in report units from the left margin.
    static constexpr double nameWidth = 304;
    static constexpr double dayWidth = 20;
    static constexpr double totalWidth = 50;
    static double dayLeft(int day) { return nameWidth + (day - 1) * dayWidth; }
    static double totalLeft() { return dayLeft(32); }

    // title: "Март 2021 г.", set as the title label's caption.
    static ReportDefinition definition(const QString& title);
    static QString title(const QString& monthName, int year);
    // What the printed or exported time sheet is called: "Табель Декабрь 2026".
    static QString documentName(const QString& monthName, int year);
};

} // namespace tabel
