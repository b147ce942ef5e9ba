#pragma once

#include "common/ActionGuard.h"
#include <QDialog>

class QLineEdit;

namespace tabel {

class DataModule;
class Messages;

// The one name of an operation type.
class OperationTypeEditor : public QDialog
{
    Q_OBJECT
public:
    OperationTypeEditor(DataModule& dataModule, Messages& messages, QWidget* parent = nullptr);

    void prepareAdd();
    void prepareChange(int id, const QString& name);

    QLineEdit* nameBox() const { return m_name; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void save();

    DataModule& m_dataModule;
    Messages& m_messages;
    ActionGuard m_guard;
    bool m_adding = true;
    int m_id = 0;
    QLineEdit* m_name = nullptr;
};

} // namespace tabel
