#pragma once

#include <QStringList>

namespace tabel {

class Database;
class Messages;

// Opens the one connection from the command line (database, server). When that fails the
// user is told once and the answer is false: the process then ends without a login window.
bool connectAtStartUp(Database& database, Messages& messages, const QStringList& arguments);

} // namespace tabel
