#pragma once

#include "common/ActionGuard.h"
#include "timesheet/LedgerCheck.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace tabel {

class Database;
class Messages;
class SpreadsheetWriter;

// The result of a ledger check: the summary line and one row per difference, with the month
// rebuild (which checks again afterwards) and the export of the list.
class LedgerCheckWindow : public QDialog
{
    Q_OBJECT
public:
    LedgerCheckWindow(Database& database, Messages& messages, SpreadsheetWriter& writer,
                      QWidget* parent = nullptr);

    // Checks the month and shows its result; throws when the check fails.
    void check(int month, int year);
    const LedgerCheckResult& result() const { return m_result; }

    QLabel* summaryLabel() const { return m_summary; }
    QTableView* list() const { return m_list; }
    QPushButton* rebuildButton() const { return m_rebuild; }
    QPushButton* excelButton() const { return m_excel; }

protected:
    void showEvent(QShowEvent* event) override;

signals:
    // The month's ledger was rebuilt: whoever shows it must read it again.
    void monthRebuilt();

private:
    void showResult();
    void rebuild();

    Database& m_database;
    SpreadsheetWriter& m_writer;
    ActionGuard m_guard;
    LedgerCheckResult m_result;

    QLabel* m_summary = nullptr;
    QTableView* m_list = nullptr;
    QStandardItemModel* m_model = nullptr;
    QPushButton* m_rebuild = nullptr;
    QPushButton* m_excel = nullptr;
    QPushButton* m_close = nullptr;
};

} // namespace tabel
