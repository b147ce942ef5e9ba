#pragma once

#include "common/ActionGuard.h"

#include <QDialog>
#include <array>

class QComboBox;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableView;

namespace tabel {

class Clock;
class DataModule;
class LedgerCheckWindow;
class Messages;
class QueryGrid;
class SpreadsheetWriter;
class TimesheetDayDelegate;

// The hours ledger of one month, one grid per shift, with the month rebuild, the check of the
// ledger against the records, the export to a spreadsheet and the print. Shown modally by the main window,
// which presets the month.
class TimesheetWindow : public QDialog
{
    Q_OBJECT
public:
    TimesheetWindow(DataModule& dataModule, Messages& messages, const Clock& clock, SpreadsheetWriter& writer,
                    QWidget* parent = nullptr);
    ~TimesheetWindow() override;

    // Selects the month and year of this date and loads them. A year outside the list takes
    // the nearest one it has.
    void preset(const QDate& date);
    // 1 to 12, and the year; 0 while no year is selected.
    int month() const;
    int year() const;

    QTableView* grid(int shift) const { return m_grids.at(shift - 1); }
    QTabWidget* tabs() const { return m_tabs; }
    QComboBox* monthBox() const { return m_month; }
    QComboBox* yearBox() const { return m_year; }
    QPushButton* rebuildButton() const { return m_rebuild; }
    QPushButton* checkButton() const { return m_check; }
    LedgerCheckWindow& checkWindow() const { return *m_checkWindow; }
    QPushButton* excelButton() const { return m_excel; }
    QPushButton* printButton() const { return m_print; }
    QPushButton* refreshButton() const { return m_refresh; }
    QProgressBar* progressBar() const { return m_progress; }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildShiftPage(int shift);
    void activate();
    void applyMonth();
    void openLedgers();
    void closeLedgers();
    void colourDayColumns(int shift, const QDate& firstDay);
    void rebuild();
    void checkLedger();
    void exportToSpreadsheet();
    void print();
    void setControlsEnabled(bool enabled);

    DataModule& m_dataModule;
    Messages& m_messages;
    SpreadsheetWriter& m_writer;
    ActionGuard m_guard;
    bool m_exporting = false;

    QTabWidget* m_tabs = nullptr;
    std::array<QTableView*, 3> m_grids{};
    std::array<QueryGrid*, 3> m_gridLayouts{};
    std::array<std::array<TimesheetDayDelegate*, 31>, 3> m_dayDelegates{};
    QPushButton* m_rebuild = nullptr;
    QPushButton* m_check = nullptr;
    LedgerCheckWindow* m_checkWindow = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_excel = nullptr;
    QPushButton* m_print = nullptr;
    QComboBox* m_month = nullptr;
    QComboBox* m_year = nullptr;
    QPushButton* m_refresh = nullptr;
    QPushButton* m_exit = nullptr;
};

} // namespace tabel
