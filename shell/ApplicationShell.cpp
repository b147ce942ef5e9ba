#include "shell/ApplicationShell.h"

#include "common/Clock.h"
#include "legacy_import/LegacyImportCommand.h"

#include "production_log/MainLogWindow.h"
#include "production_log/ProductionRecordEditor.h"
#include "production_log/ShiftEntryWindow.h"
#include "reference/NormsWindow.h"
#include "reference/OperationEditor.h"
#include "reference/OperationTypeEditor.h"
#include "reference/OperationTypesListWindow.h"
#include "reference/OperationsListWindow.h"
#include "reference/ProductEditor.h"
#include "reference/ProductsListWindow.h"
#include "reference/WorkerEditor.h"
#include "reference/WorkersListWindow.h"
#include "reports/ReportsWindow.h"
#include "shell/LoginWindow.h"
#include "shell/StartUp.h"
#include "shell/VersionCheck.h"
#include "shell/VersionWatch.h"
#include "spreadsheet/SpreadsheetViewer.h"
#include "spreadsheet/SpreadsheetWriter.h"
#include "timesheet/TimesheetWindow.h"

#include <QDateTime>

namespace tabel {

ApplicationShell::ApplicationShell(Messages& messages, const Clock& clock, BuildStamp build, Timing timing)
    : m_messages(messages), m_clock(clock), m_build(build), m_timing(timing)
{
}

ApplicationShell::~ApplicationShell() = default;

bool ApplicationShell::start(const QStringList& arguments)
{
    m_dataModule = std::make_unique<DataModule>(m_database);
    if (!connectAtStartUp(m_database, m_messages, arguments))
        return false;
    m_versionCheck = std::make_unique<VersionCheck>(m_database, *m_dataModule, m_build);
    m_versionWatch =
        std::make_unique<VersionWatch>(*m_versionCheck, m_messages, m_database, m_timing.terminateDelayMs);

    m_mainWindow =
        std::make_unique<MainLogWindow>(*m_dataModule, m_clock, m_messages, m_timing.versionCheckIntervalMs);
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
    // Each window is created once, hidden, and kept until the end, so that it keeps its state
    // between openings. A window takes references to the windows it opens in its constructor,
    // so an editor and the lists it picks from come before the window that opens them: the
    // products and operation types lists before the operation editor, and that editor and the
    // norms window before the operations list. The record editor is given its pickers once
    // both lists exist. The main window and the login window are not created here: start()
    // makes them first, and the main window is the parent of all the rest.
    QWidget* main = m_mainWindow.get();
    m_spreadsheetViewer = std::make_unique<DesktopSpreadsheetViewer>(m_messages);
    // The workbooks handed to the spreadsheet program stay behind when it closes; a day is long
    // enough for the user to have saved what they wanted.
    SpreadsheetWriter::removeWorkbooksOlderThan(QDateTime::currentDateTime().addDays(-1));
    m_reportsWriter = std::make_unique<SpreadsheetWriter>(m_messages, *m_spreadsheetViewer);
    m_workerEditor = std::make_unique<WorkerEditor>(m_database, m_messages, main);
    m_productEditor = std::make_unique<ProductEditor>(*m_dataModule, m_messages, main);
    m_productsList = std::make_unique<ProductsListWindow>(*m_dataModule, m_messages, *m_productEditor, main);
    m_normsWindow = std::make_unique<NormsWindow>(m_database, m_messages, main);
    m_operationTypeEditor = std::make_unique<OperationTypeEditor>(*m_dataModule, m_messages, main);
    m_operationTypesList =
        std::make_unique<OperationTypesListWindow>(*m_dataModule, m_messages, *m_operationTypeEditor, main);
    m_operationEditor = std::make_unique<OperationEditor>(*m_dataModule, m_messages, *m_productsList,
                                                          *m_operationTypesList, main);
    m_operationsList = std::make_unique<OperationsListWindow>(*m_dataModule, m_messages, *m_operationEditor,
                                                              *m_normsWindow, *m_reportsWriter, main);
    m_workersList = std::make_unique<WorkersListWindow>(*m_dataModule, m_messages, *m_workerEditor, main);
    m_recordEditor = std::make_unique<ProductionRecordEditor>(*m_dataModule, m_messages, m_clock, main);
    m_recordEditor->setPickers(
        [this] { return m_workersList->pick(); },
        [this](int operationId) { return m_operationsList->pickOperation(operationId); });
    m_reportsWindow = std::make_unique<ReportsWindow>(m_database, m_messages, *m_reportsWriter, main);
    m_timesheetWriter = std::make_unique<SpreadsheetWriter>(m_messages, *m_spreadsheetViewer);
    m_timesheetWindow =
        std::make_unique<TimesheetWindow>(*m_dataModule, m_messages, m_clock, *m_timesheetWriter, main);
    m_legacyImport = std::make_unique<LegacyImportCommand>(m_database, m_messages, main);

    // Called inside the main window's action guard, not through signals: each of these
    // reaches the database.
    MainLogWindow::Openers openers;
    openers.workers = [this] { m_workersList->openForEdit(); };
    openers.products = [this] { m_productsList->openForEdit(); };
    openers.prices = [this] { m_operationsList->openForEdit(); };
    openers.operationTypes = [this] { m_operationTypesList->openForEdit(); };
    openers.reports = [this] {
        m_reportsWindow->setPeriod(previousMonth(m_clock.today()));
        m_reportsWindow->exec();
    };
    openers.timesheet = [this] {
        m_timesheetWindow->preset(m_mainWindow->workingDay().date);
        m_timesheetWindow->exec();
        for (int shift = 1; shift <= 3; ++shift)
            m_dataModule->timesheetRows(shift).close();
    };
    openers.legacyImport = [this] { m_legacyImport->start(); };
    openers.addRecord = [this] {
        m_recordEditor->prepareAdd(m_mainWindow->workingDay());
        m_recordEditor->exec();
    };
    openers.shiftEntry = [this] {
        // A fresh window each time: its lines belong to the day and shift it was opened for.
        ShiftEntryWindow entry(*m_dataModule, m_messages, m_clock, m_mainWindow.get());
        entry.setPickers([this] { return m_workersList->pick(); },
                         [this](int operationId) { return m_operationsList->pickOperation(operationId); });
        entry.prepare(m_mainWindow->workingDay());
        entry.exec();
    };
    openers.changeRecord = [this] {
        m_recordEditor->prepareChange(m_mainWindow->workingDay(), m_mainWindow->currentRecord());
        m_recordEditor->exec();
    };
    m_mainWindow->setOpeners(std::move(openers));
}

void ApplicationShell::logIn(AccessLevel level, const QString& loginName)
{
    // Records marked "ta" are written by other applications on the shared database; they are
    // never shown in the daily lists, whatever the role that logged in.
    m_dataModule->setDailyListExcludedMark(QStringLiteral("ta"));
    m_mainWindow->logIn(loginName, mainWindowAccess(level));
    m_reportsAccess = reportsWindowAccess(level);
    m_reportsWindow->applyAccess(m_reportsAccess);
    m_loginWindow->hide();
    m_mainWindow->exec();
    // close() would not finish a hidden dialog
    m_loginWindow->accept();
}

} // namespace tabel
