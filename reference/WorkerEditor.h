#pragma once

#include "common/ActionGuard.h"
#include <QDialog>

class QComboBox;
class QLineEdit;

namespace tabel {

class Database;
class Messages;

// "Работники": the full name and the department, position and role lists of one worker.
class WorkerEditor : public QDialog
{
    Q_OBJECT
public:
    WorkerEditor(Database& database, Messages& messages, QWidget* parent = nullptr);

    // Add mode: an empty name. The three lists keep whatever was chosen in them last.
    void prepareAdd();
    // Change mode for the worker with this id and name; department: their stored position
    // text, which the department list shows when a department has that caption.
    void prepareChange(int id, const QString& fullName, const QString& department);

    QLineEdit* fullNameBox() const { return m_fullName; }
    QComboBox* departmentList() const { return m_department; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void reloadLookups();
    void save();

    Database& m_database;
    Messages& m_messages;
    ActionGuard m_guard;
    bool m_adding = true;
    int m_id = 0;
    QLineEdit* m_fullName = nullptr;
    QComboBox* m_department = nullptr;
    QComboBox* m_position = nullptr;
    QComboBox* m_role = nullptr;
};

} // namespace tabel
