#pragma once

#include "db/Database.h"

#include <QDate>
#include <QString>

namespace tabel {

// The period of the summaries: from its first day up to, not including, its last.
struct ReportPeriod
{
    QDate from;
    QDate to;
};

// The whole month before today's: from its 1st to the 1st of today's month.
ReportPeriod previousMonth(const QDate& today);

// The title of a summary: its prefix, then both dates as DD.MM.YYYY.
QString periodTitle(const QString& prefix, const ReportPeriod& period);

// What a document of the period is called, for its preview and its files:
// "Отчет по рабочим 01.11.2026-01.12.2026".
QString periodDocumentName(const QString& caption, const ReportPeriod& period);

// The two dates as the summaries' statements name them.
SqlParams periodParameters(const ReportPeriod& period);

} // namespace tabel
