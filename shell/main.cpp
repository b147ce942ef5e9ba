#include "common/DialogMessages.h"
#include "db/Database.h"
#include "shell/StartUp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    tabel::DialogMessages messages;
    tabel::Database database;
    if (!tabel::connectAtStartUp(database, messages, app.arguments().mid(1)))
        return 0;
    return 0;
}
