#pragma once

#include "common/ActionGuard.h"
#include <QDialog>
#include <memory>

class QPushButton;
class QTableView;

namespace tabel {

class Database;
class Messages;
class NormEntriesModel;
class NormsBook;
class NormsGrid;

// "Норматив": the norm entries of one operation, edited in place. A changed row is written
// when the user leaves it and on "Сохранить"; each write is one transaction. A cell takes
// only what its column can store: the editor refuses any other character as it is typed
// (whole numbers for the norm and the bonus, a decimal with either mark for the price).
// Esc outside a cell edit saves and closes like "Сохранить"; the title bar closes without
// writing the change still pending.
class NormsWindow : public QDialog
{
    Q_OBJECT
public:
    NormsWindow(Database& database, Messages& messages, QWidget* parent = nullptr);
    ~NormsWindow() override;

    // Shows the operation's entries and returns when the window has closed. The caller reopens
    // the operations list then, whichever way the window was closed: rows the user left have
    // been written even when the title bar discarded the last change.
    void openFor(int operationId);

    QTableView* grid() const;
    NormEntriesModel* entries() const { return m_model; }
    QPushButton* deleteButton() const { return m_delete; }
    QPushButton* saveButton() const { return m_save; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void currentRowChanged(const QModelIndex& current, const QModelIndex& previous);
    void refreshKeepingCurrent();
    void deleteCurrent();
    void saveAndClose();

    Messages& m_messages;
    ActionGuard m_guard;
    std::unique_ptr<NormsBook> m_book;
    NormEntriesModel* m_model = nullptr;
    NormsGrid* m_grid = nullptr;
    QPushButton* m_delete = nullptr;
    QPushButton* m_save = nullptr;
};

} // namespace tabel
