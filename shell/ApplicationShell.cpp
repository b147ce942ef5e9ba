#include "shell/ApplicationShell.h"

#include "production_log/MainLogWindow.h"
#include "reference/WorkerEditor.h"
#include "reference/WorkersListWindow.h"
#include "shell/LoginWindow.h"
#include "shell/StartUp.h"
#include "shell/VersionCheck.h"
#include "shell/VersionWatch.h"

namespace tabel {

ApplicationShell::ApplicationShell(Messages& messages, const Clock& clock, BuildStamp build, Timing timing)
    : m_messages(messages), m_clock(clock), m_build(build), m_timing(timing)
{
}

ApplicationShell::~ApplicationShell() = default;

bool ApplicationShell::start(const QStringList& arguments)
{
    m_dataModule = std::make_unique<DataModule>(m_database, m_messages);
    if (!connectAtStartUp(m_database, m_messages, arguments))
        return false;
    m_versionCheck = std::make_unique<VersionCheck>(m_database, *m_dataModule, m_build);
    m_versionWatch = std::make_unique<VersionWatch>(*m_versionCheck, m_messages, m_timing.terminateDelayMs);

    m_mainWindow = std::make_unique<MainLogWindow>(*m_dataModule, m_clock, m_messages,
                                                   m_timing.versionCheckIntervalMs);
    connect(m_mainWindow.get(), &MainLogWindow::versionCheckDue, m_versionWatch.get(), &VersionWatch::check);

    m_loginWindow = std::make_unique<LoginWindow>(m_messages);
    m_loginWindow->followVersion(*m_versionWatch);
    connect(m_loginWindow.get(), &LoginWindow::loggedIn, this, &ApplicationShell::logIn);
    connect(m_loginWindow.get(), &QDialog::finished, this, &ApplicationShell::finished);
    m_loginWindow->show();
    createWindows();
    return true;
}

void ApplicationShell::createWindows()
{
    // Created once, hidden, in the order the program has always created them, and kept
    // until the end so that each keeps its state between openings.
    QWidget* main = m_mainWindow.get();
    m_workerEditor = std::make_unique<WorkerEditor>(m_database, m_messages, main);
    m_workersList = std::make_unique<WorkersListWindow>(*m_dataModule, m_messages, *m_workerEditor, main);

    connect(m_mainWindow.get(), &MainLogWindow::workersRequested, m_workersList.get(),
            &WorkersListWindow::openForEdit);
}

void ApplicationShell::logIn(AccessLevel level, const QString& loginName)
{
    m_dataModule->setDailyListExcludedMark(QStringLiteral("ta"));
    m_mainWindow->logIn(loginName, mainWindowAccess(level));
    m_reportsAccess = reportsWindowAccess(level);
    m_loginWindow->hide();
    m_mainWindow->exec();
    // close() would not finish a hidden dialog
    m_loginWindow->accept();
}

} // namespace tabel
