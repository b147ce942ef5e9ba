#pragma once

#include "common/ActionGuard.h"
#include "reports/ReportPeriod.h"
#include "reports/ReportsWindowAccess.h"
#include "reports/SummaryReports.h"

#include <QDialog>
#include <array>

class QButtonGroup;
class QDateEdit;
class QGroupBox;
class QPushButton;

namespace tabel {

class Database;
class Messages;
class SpreadsheetWriter;

// TForm18 "Отчеты": the period and product kind of the four printed summaries and of the
// production summary export. The summaries open in the report preview, modal over this window.
class ReportsWindow : public QDialog
{
    Q_OBJECT
public:
    ReportsWindow(Database& database, Messages& messages, SpreadsheetWriter& writer,
                  QWidget* parent = nullptr);

    // The role's rules, applied once after login.
    void applyAccess(const ReportsWindowAccess& access);
    void setPeriod(const ReportPeriod& period);
    ReportPeriod period() const;
    void setProductKindChoice(int choice);
    int productKindChoice() const;

    void openSummary(SummaryReportKind kind);
    void exportProductionSummary();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QGroupBox* buildKindChoice();
    QGroupBox* buildPeriod();
    QPushButton* addButton(const QString& text, const QString& objectName);
    void setButtonsEnabled(bool enabled);

    Database& m_database;
    SpreadsheetWriter& m_writer;
    ActionGuard m_guard;
    ReportsWindowAccess m_access;

    QGroupBox* m_kindBox = nullptr;
    QButtonGroup* m_kindChoice = nullptr;
    QDateEdit* m_from = nullptr;
    QDateEdit* m_to = nullptr;
    QPushButton* m_byWorkers = nullptr;
    QPushButton* m_byProducts = nullptr;
    QPushButton* m_detailedByWorkers = nullptr;
    QPushButton* m_detailedByProducts = nullptr;
    QPushButton* m_export = nullptr;
    QPushButton* m_exit = nullptr;
};

} // namespace tabel
