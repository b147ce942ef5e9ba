#pragma once

#include "db/DataModule.h"
#include "db/Database.h"
#include "shell/AccessPolicy.h"
#include "shell/BuildStamp.h"

#include <QObject>
#include <memory>

namespace tabel {

class Clock;
class LoginWindow;
class MainLogWindow;
class Messages;
class VersionCheck;
class VersionWatch;
class WorkerEditor;
class WorkersListWindow;
class ProductEditor;
class ProductsListWindow;
class OperationTypeEditor;
class OperationTypesListWindow;
class OperationEditor;
class OperationsListWindow;
class NormsWindow;
class ProductionRecordEditor;
class DesktopSpreadsheetViewer;
class SpreadsheetWriter;
class ReportsWindow;
class TimesheetWindow;
class LegacyImportCommand;

// Owns the connection, the data module and every window, creates them once in their fixed
// order and wires them together. The process ends when the login window closes.
class ApplicationShell : public QObject
{
    Q_OBJECT
public:
    struct Timing
    {
        int versionCheckIntervalMs = 30000;
        int terminateDelayMs = 5000;
    };

    ApplicationShell(Messages& messages, const Clock& clock, BuildStamp build, Timing timing);
    ~ApplicationShell() override;

    // Connects and creates the windows, the login window shown. False when the database
    // cannot be reached: the user has been told, and no window exists.
    bool start(const QStringList& arguments);

    Database& database() { return m_database; }
    DataModule& dataModule() { return *m_dataModule; }
    LoginWindow& loginWindow() { return *m_loginWindow; }
    MainLogWindow& mainWindow() { return *m_mainWindow; }
    ProductionRecordEditor& recordEditor() { return *m_recordEditor; }
    WorkersListWindow& workersList() { return *m_workersList; }
    OperationsListWindow& operationsList() { return *m_operationsList; }
    ReportsWindow& reportsWindow() { return *m_reportsWindow; }
    TimesheetWindow& timesheetWindow() { return *m_timesheetWindow; }
    LegacyImportCommand& legacyImport() { return *m_legacyImport; }
    // The role's rules for the summary reports window, applied to it at login.
    const ReportsWindowAccess& reportsAccess() const { return m_reportsAccess; }

signals:
    // The user's work is over: the login window has closed.
    void finished();

private:
    void createWindows();
    void logIn(AccessLevel level, const QString& loginName);

    Messages& m_messages;
    const Clock& m_clock;
    BuildStamp m_build;
    Timing m_timing;
    Database m_database;
    std::unique_ptr<DataModule> m_dataModule;
    std::unique_ptr<VersionCheck> m_versionCheck;
    std::unique_ptr<VersionWatch> m_versionWatch;
    std::unique_ptr<MainLogWindow> m_mainWindow;
    std::unique_ptr<LoginWindow> m_loginWindow;
    std::unique_ptr<DesktopSpreadsheetViewer> m_spreadsheetViewer;
    std::unique_ptr<SpreadsheetWriter> m_reportsWriter;
    std::unique_ptr<WorkerEditor> m_workerEditor;
    std::unique_ptr<ProductEditor> m_productEditor;
    std::unique_ptr<ProductsListWindow> m_productsList;
    std::unique_ptr<NormsWindow> m_normsWindow;
    std::unique_ptr<OperationTypeEditor> m_operationTypeEditor;
    std::unique_ptr<OperationTypesListWindow> m_operationTypesList;
    std::unique_ptr<OperationEditor> m_operationEditor;
    std::unique_ptr<OperationsListWindow> m_operationsList;
    std::unique_ptr<WorkersListWindow> m_workersList;
    std::unique_ptr<ProductionRecordEditor> m_recordEditor;
    std::unique_ptr<ReportsWindow> m_reportsWindow;
    // The time sheet has a spreadsheet writer of its own, apart from the one the reports share.
    std::unique_ptr<SpreadsheetWriter> m_timesheetWriter;
    std::unique_ptr<TimesheetWindow> m_timesheetWindow;
    std::unique_ptr<LegacyImportCommand> m_legacyImport;
    ReportsWindowAccess m_reportsAccess;
};

} // namespace tabel
