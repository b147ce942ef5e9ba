#pragma once

#include "production_log/MainWindowAccess.h"

#include <QString>
#include <optional>

namespace tabel {

enum class AccessLevel { Econom, Masters, Sklad, Full };

// The one login word: a role name or one of the two full-access passwords. Blanks around
// the word are ignored; letter case is not.
std::optional<AccessLevel> accessForLoginWord(const QString& typed);

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

MainWindowAccess mainWindowAccess(AccessLevel level);
ReportsWindowAccess reportsWindowAccess(AccessLevel level);

} // namespace tabel
