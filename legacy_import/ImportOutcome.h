#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace tabel {

// Why a step stopped, in the terms the administrator can act on.
enum class ImportFailureReason {
    NotConnected,       // a data source is not configured or does not answer
    SourceTableMissing, // the source offers no such table
    TextTooLong,
    DateRefused,
    NumberOutOfRange,
    ValueRefused, // a value of the wrong form for its field
    DuplicateId,
    ConnectionLost,
    NoPermission,       // the role lacks a right on the target (see db/sql/grants.sql)
    SourceFieldMissing, // the source table has no such field
    Other,
};

struct ImportFailure
{
    int step = 0; // 1..7; 0 before the first step
    QString sourceTable;
    QString targetTable;
    QString dataSource; // for NotConnected
    ImportFailureReason reason = ImportFailureReason::Other;
    QString detail;         // the server's or driver's own text
    QString sourceRow = {}; // the refused row of the source: "id 205", or "№ 3" for a table without ids
};

struct ImportedTable
{
    QString targetTable;
    int rows = 0;
};

struct ImportOutcome
{
    QList<ImportedTable> done; // committed steps, in order
    std::optional<ImportFailure> failure;
    // The user cancelled during this step (1..7); it was rolled back.
    std::optional<int> cancelledAt;

    bool finished() const { return !failure && !cancelledAt; }
};

// The message texts the user reads after an import.
QString importSummaryText(const ImportOutcome& outcome);
QString importFailureText(const ImportFailure& failure);
// The confirmation asked before anything is touched.
QString importQuestionText();

} // namespace tabel
