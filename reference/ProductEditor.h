#pragma once

#include "common/ActionGuard.h"
#include <QDialog>
#include <QVariant>

class QComboBox;
class QLineEdit;

namespace tabel {

class DataModule;
class Messages;

// "Изделие": the grade, the rate and the class of one product.
class ProductEditor : public QDialog
{
    Q_OBJECT
public:
    ProductEditor(DataModule& dataModule, Messages& messages, QWidget* parent = nullptr);

    // Add mode: empty grade and rate; the class list keeps whatever was chosen in it last.
    void prepareAdd();
    // Change mode for the product with this id; an empty, 0 or unlisted class shows no class.
    void prepareChange(int id, const QString& grade, const QVariant& rate, const QVariant& classId);

    QLineEdit* gradeBox() const { return m_grade; }
    QLineEdit* rateBox() const { return m_rate; }
    QComboBox* classList() const { return m_class; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void reloadClasses();
    void save();

    DataModule& m_dataModule;
    Messages& m_messages;
    ActionGuard m_guard;
    bool m_adding = true;
    int m_id = 0;
    QLineEdit* m_grade = nullptr;
    QLineEdit* m_rate = nullptr;
    QComboBox* m_class = nullptr;
};

} // namespace tabel
