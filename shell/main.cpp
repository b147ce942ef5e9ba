#include "common/Clock.h"
#include "common/DialogMessages.h"
#include "shell/ApplicationShell.h"
#include "shell/LedgerCheckCommand.h"
#include "shell/TabelApplication.h"

int main(int argc, char* argv[])
{
    // Before any window application exists: the check runs from cron, without a display.
    if (tabel::LedgerCheckCommand::isRequested(argc, argv))
        return tabel::LedgerCheckCommand::run(argc, argv);
    tabel::TabelApplication app(argc, argv);
    app.useRussian();
    app.loadOwnFonts();
    app.setQuitOnLastWindowClosed(false);

    tabel::DialogMessages messages;
    tabel::SystemClock clock;
    tabel::ApplicationShell shell(messages, clock, tabel::BuildStamp::current(), {});
    app.setErrorReport(&messages, &shell.database());
    QObject::connect(&shell, &tabel::ApplicationShell::finished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (!shell.start(app.arguments().mid(1)))
        return 0;
    return app.exec();
}
