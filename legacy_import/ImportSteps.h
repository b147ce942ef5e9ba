#pragma once

#include <QList>
#include <QString>

namespace tabel {

// How a field travels from the legacy row to the target row.
enum class FieldKind {
    Integer,
    // Carried as its decimal text, exactly as the source holds it: a double would turn 0.0274
    // into 0.027400000000000001 and lose the last digits of a 19-digit number.
    Decimal,
    Text,
    // Turned into text by the source and parsed by the target column (a date, a number, a
    // date with time), so that the target's own type decides what it accepts.
    ThroughText,
};

struct ImportField
{
    QString name;
    FieldKind kind;
};

enum class SourceConnection { Legacy, Main };

// One table pair of the import.
struct ImportStep
{
    // Written into the import's statements as they stand, since a table name cannot be a bound
    // parameter: they are the fixed names of legacyImportSteps(), never a user's or a source's text.
    QString sourceTable;
    QString targetTable;
    SourceConnection source;
    // Target rows take the source row's id; otherwise the database numbers them and the
    // source is read in the order it delivers.
    bool keepsIds;
    QList<ImportField> fields;
};

// The seven steps, in the order they run.
const QList<ImportStep>& legacyImportSteps();

} // namespace tabel
