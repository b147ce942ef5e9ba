#pragma once

#include "production_log/MainWindowAccess.h"
#include "reports/ReportsWindowAccess.h"

#include <QString>
#include <optional>

namespace tabel {

enum class AccessLevel { Econom, Masters, Sklad, Full };

// The one login word: a role name or one of the two full-access passwords. Blanks around
// the word are ignored; letter case is not.
std::optional<AccessLevel> accessForLoginWord(const QString& typed);

MainWindowAccess mainWindowAccess(AccessLevel level);
ReportsWindowAccess reportsWindowAccess(AccessLevel level);

} // namespace tabel
