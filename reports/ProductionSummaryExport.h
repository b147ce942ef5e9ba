#pragma once

#include "reports/ReportPeriod.h"

#include <QString>
#include <QVariant>
#include <functional>

namespace tabel {

class Database;
class SpreadsheetWriter;

// The production summary ("Excel" of the reports window): per product, operation, finish and
// kind, the boxes and good pieces of the period, written to sheet 1 and shown. Runs on the
// calling thread from start to end; the caller sets and restores the mouse pointer.
class ProductionSummaryExport
{
public:
    // Called once before the first row (written 0) and after each row.
    using Progress = std::function<void(int written, int total)>;

    ProductionSummaryExport(Database& database, SpreadsheetWriter& writer);

    void setProgress(Progress progress) { m_progress = std::move(progress); }
    // Throws DbError when the statement fails. Stops without writing when the writer cannot
    // open (it has told the user why); single cell writes are not checked, the writer reports
    // each failure itself.
    void run(const ReportPeriod& period, int productKindChoice);

    static QString statement();
    // The operation with its finish: " (грунт)" for primer, " (цвет: n)" for a colour.
    static QString operationText(const QString& operation, const QVariant& colour);

private:
    Database& m_database;
    SpreadsheetWriter& m_writer;
    Progress m_progress;
};

} // namespace tabel
