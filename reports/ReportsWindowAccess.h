#pragma once

#include <optional>

namespace tabel {

// What the summary reports window leaves enabled. A forced product kind (index of the kind choice:
// 0 all, 1 finished products, 2 blanks) is selected and the choice is switched off.
struct ReportsWindowAccess
{
    bool detailedByWorkers = true;
    bool byProducts = true;
    bool byWorkers = true;
    bool spreadsheetExport = true;
    bool detailedByProducts = true;
    bool productKindChoice = true;
    std::optional<int> forcedProductKind;
};

} // namespace tabel
