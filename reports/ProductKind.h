#pragma once

#include "report_engine/ReportDefinition.h"

#include <QString>
#include <QVariant>

namespace tabel {

// The entries of the reports window's product kind choice, by index.
enum ProductKindChoice {
    AllProducts = 0,
    FinishedProducts = 1,
    Blanks = 2,
};

// Whether a row of kind code naimen shows under the choice. The choice picks one code exactly,
// so a code other than 0 and 1 (and a missing one) shows only under "Все".
bool productKindShown(int choice, const QVariant& naimen);
// The choice as a report's row filter; empty (every row) for "Все".
RowFilter productKindFilter(int choice);

// The finish as the printed summaries write it after the operation: " (грунт)" for primer,
// " (RAL: n)" for a colour, a blank for none.
QString reportColourText(const QVariant& colour);

} // namespace tabel
