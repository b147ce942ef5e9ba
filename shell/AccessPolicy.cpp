#include "shell/AccessPolicy.h"

#include <QCryptographicHash>

namespace tabel {

namespace {
// SHA-256 of the two full-access passwords, so that neither can be read out of the binary.
constexpr const char* passwordDigests[] = {
    "21be4898436908a4e8c845362dbcf6e5d9a740bee09f4ac66bf3a709c00c69f0",
    "0a4e3e70597a358b9447fa8a647aadf5b76dde95c8e4ab02e5f8cee6caa1cd28",
};

bool isFullAccessPassword(const QString& word)
{
    const QByteArray digest = QCryptographicHash::hash(word.toUtf8(), QCryptographicHash::Sha256).toHex();
    for (const char* known : passwordDigests)
        if (digest == known)
            return true;
    return false;
}
} // namespace

std::optional<AccessLevel> accessForLoginWord(const QString& typed)
{
    const QString word = typed.trimmed();
    if (word == QLatin1String("econom"))
        return AccessLevel::Econom;
    if (word == QLatin1String("masters"))
        return AccessLevel::Masters;
    if (word == QLatin1String("sklad"))
        return AccessLevel::Sklad;
    if (isFullAccessPassword(word))
        return AccessLevel::Full;
    return std::nullopt;
}

MainWindowAccess mainWindowAccess(AccessLevel level)
{
    MainWindowAccess access;
    switch (level) {
    case AccessLevel::Econom:
        access = {false, false, false, false, false, false, false, false, false, false, false};
        break;
    case AccessLevel::Masters:
    case AccessLevel::Sklad:
        access.add = level == AccessLevel::Masters;
        access.change = access.remove = false;
        access.referenceMenu = access.timesheetMenu = false;
        break;
    case AccessLevel::Full:
        access.legacyImport = true;
        break;
    }
    return access;
}

ReportsWindowAccess reportsWindowAccess(AccessLevel level)
{
    ReportsWindowAccess access;
    if (level == AccessLevel::Masters || level == AccessLevel::Sklad)
        access.detailedByWorkers = access.byProducts = access.byWorkers = access.spreadsheetExport = false;
    if (level == AccessLevel::Sklad) {
        access.productKindChoice = false;
        access.forcedProductKind = 1;
    }
    return access;
}

} // namespace tabel
