#include "shell/StartUp.h"

#include "common/BusyCursor.h"
#include "common/Messages.h"
#include "db/ConnectionSettings.h"
#include "db/Database.h"
#include "db/DbError.h"

namespace tabel {

bool connectAtStartUp(Database& database, Messages& messages, const QStringList& arguments)
{
    try {
        // A server that accepts and never answers keeps the start-up waiting up to the connect
        // timeout; the cursor shows that the program is at work meanwhile.
        BusyCursor busy;
        database.open(ConnectionSettings::fromCommandLine(arguments));
        return true;
    } catch (const DbError&) {
        // The misspelling is the users' own text, as they know it: it must stay.
        messages.error(QStringLiteral("Подключение к БД отсутсвует!!!"), QStringLiteral("Ошибка!"));
        return false;
    }
}

} // namespace tabel
