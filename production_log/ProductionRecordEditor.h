#pragma once

#include "common/ActionGuard.h"
#include "production_log/ProductionRecordSaver.h"
#include "production_log/RecordPickers.h"
#include "production_log/WorkingDay.h"
#include "reference/OperationChoice.h"
#include "reference/ReferenceListWindow.h"

#include <QDialog>
#include <QVariantMap>
#include <functional>
#include <optional>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tabel {

class Clock;
class DataModule;
class Messages;

// "Заведение новой позиции" / "Изменение данных о позиции": one production record, its worker
// and operation picked from the lists, priced at the moment of the pick.
class ProductionRecordEditor : public QDialog
{
    Q_OBJECT
public:
    ProductionRecordEditor(DataModule& dataModule, Messages& messages, const Clock& clock,
                           QWidget* parent = nullptr);
    void setPickers(WorkerPicker pickWorker, OperationPicker pickOperation);

    void prepareAdd(const WorkingDay& day);
    // record: the fields of the main window's current row (id, w_id, i_id, o_id, cena, ...).
    void prepareChange(const WorkingDay& day, const QVariantMap& record);

    void pickWorker();
    void pickOperation();
    void save();

    QLineEdit* workerBox() const { return m_worker; }
    QLineEdit* operationBox() const { return m_operation; }
    QLineEdit* quantityBox() const { return m_quantity; }
    QLineEdit* hoursBox() const { return m_hours; }
    QLineEdit* colourBox() const { return m_colour; }
    QLineEdit* rejectsBox() const { return m_rejects; }
    QLineEdit* basePriceBox() const { return m_basePrice; }
    QLineEdit* finalPriceBox() const { return m_finalPrice; }
    QLineEdit* amountBox() const { return m_amount; }
    QDateEdit* datePicker() const { return m_date; }
    double price() const { return m_price; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyColourRule();
    void refreshDisplay();
    void clearBoxes();
    // After a refusal the focus goes to what the user has to put right.
    void putRight(QLineEdit* box);
    void putRight(ProductionRecordSaver::Fault fault);

    DataModule& m_dataModule;
    Messages& m_messages;
    ActionGuard m_guard;
    const Clock& m_clock;
    WorkerPicker m_pickWorker;
    OperationPicker m_pickOperation;

    WorkingDay m_day;
    std::optional<int> m_recordId; // change mode
    int m_workerId = 0;
    int m_productId = 0;
    int m_operationId = 0;
    double m_price = 0;
    double m_basePriceValue = 0;

    QLineEdit* m_worker = nullptr;
    QPushButton* m_workerButton = nullptr;
    QLineEdit* m_operation = nullptr;
    QPushButton* m_operationButton = nullptr;
    QLineEdit* m_quantity = nullptr;
    QLineEdit* m_hours = nullptr;
    QLabel* m_colourLabel = nullptr;
    QLineEdit* m_colour = nullptr;
    QDateEdit* m_date = nullptr;
    QLineEdit* m_rejects = nullptr;
    QLineEdit* m_basePrice = nullptr;
    QLineEdit* m_finalPrice = nullptr;
    QLineEdit* m_amount = nullptr;
};

} // namespace tabel
