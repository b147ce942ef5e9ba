#pragma once

#include "common/ActionGuard.h"
#include "production_log/MainWindowAccess.h"
#include "production_log/WorkingDay.h"

#include <QDialog>
#include <QVariant>
#include <QVariantMap>
#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTableView;
class QTimer;

namespace tabel {

class Clock;
class DataModule;
class Messages;
class QueryGrid;
class StaticQuery;

// The day's production records of one shift: where foremen keep the log. Shown modally by
// the login window; every window of the program is reached from its menu and buttons.
class MainLogWindow : public QDialog
{
    Q_OBJECT
public:
    MainLogWindow(DataModule& dataModule, const Clock& clock, Messages& messages,
                  int versionCheckIntervalMs = 30000, QWidget* parent = nullptr);

    // Called by the login: shift 1, the login name, and what this user may touch.
    void logIn(const QString& loginName, const MainWindowAccess& access);

    WorkingDay workingDay() const;
    int currentShift() const { return m_shift; }
    QString loginName() const { return m_loginName; }
    StaticQuery& currentList();
    // The selected record of the current list, or -1.
    int currentRow() const;
    QVariant currentValue(const QString& field) const;
    // Every field of the selected record, for the editor's change mode.
    QVariantMap currentRecord() const;
    void selectRow(int row);

    // Today's date and the four lists afresh: on showing, and whenever a window that this
    // one opened modally has closed.
    void activate();
    // The picker's date was chosen (calendar closed or Enter).
    void chooseDate();
    void reloadLists();
    void setShift(int shift);

    // What the buttons and the menu open, given by whoever owns those windows. Each is called
    // directly inside this window's action guard, never through a signal, so that a database
    // error on the way is reported like any other instead of unwinding through Qt's dispatch.
    // One left empty opens nothing.
    struct Openers
    {
        std::function<void()> addRecord;
        std::function<void()> shiftEntry;
        std::function<void()> changeRecord;
        std::function<void()> workers;
        std::function<void()> products;
        std::function<void()> prices;
        std::function<void()> operationTypes;
        std::function<void()> timesheet;
        std::function<void()> reports;
        std::function<void()> legacyImport;
    };
    void setOpeners(Openers openers) { m_openers = std::move(openers); }

    // Opens a window modally through opener, then activates again, as after any modal child.
    void runModal(const std::function<void()>& opener);

signals:
    void versionCheckDue();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Opener = std::function<void()> Openers::*;

    QMenuBar* buildMenu();
    // Runs one of m_openers modally, read when the action comes so that setOpeners() may follow.
    void open(Opener opener);
    void addRecord();
    void enterShift();
    void changeRecord();
    void deleteRecord();
    void toggleClosedMark();
    void refresh();
    void showDayOff(bool dayOff);
    // The picker's date and the day-off box that goes with it.
    void setWorkingDate(const QDate& date);
    void showShiftButtons();

    DataModule& m_dataModule;
    const Clock& m_clock;
    Messages& m_messages;
    ActionGuard m_guard;
    Openers m_openers;
    QString m_loginName;
    int m_shift = 1;

    std::array<QRadioButton*, 4> m_shiftButtons{};
    QDateEdit* m_date = nullptr;
    QWidget* m_calendarPopup = nullptr;
    QCheckBox* m_dayOff = nullptr;
    QTableView* m_grid = nullptr;
    QueryGrid* m_gridLayout = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_shiftEntry = nullptr;
    QPushButton* m_change = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_refresh = nullptr;
    QPushButton* m_exit = nullptr;
    QAction* m_referenceMenu = nullptr;
    QAction* m_timesheetMenu = nullptr;
    QAction* m_importMenu = nullptr;
    QAction* m_importShortcut = nullptr;
    QTimer* m_versionTimer = nullptr;
};

} // namespace tabel
