#pragma once

#include "common/ActionGuard.h"
#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

namespace tabel {

class DataModule;
class Messages;
class OperationTypesListWindow;
class ProductsListWindow;

// "Цена операции": the product, operation type and product kind of one operation. A new
// operation also takes its first price, which becomes its first norm entry.
class OperationEditor : public QDialog
{
    Q_OBJECT
public:
    OperationEditor(DataModule& dataModule, Messages& messages, ProductsListWindow& products,
                    OperationTypesListWindow& types, QWidget* parent = nullptr);

    void prepareAdd();
    void prepareChange(int id, int productId, const QString& grade, int typeId, const QString& typeName,
                       const QVariant& kind, double basePrice);

    void pickProduct();
    void pickType();
    void save();

    QLineEdit* productBox() const { return m_product; }
    QLineEdit* typeBox() const { return m_type; }
    QComboBox* kindList() const { return m_kind; }
    QLineEdit* priceBox() const { return m_price; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    DataModule& m_dataModule;
    Messages& m_messages;
    ActionGuard m_guard;
    ProductsListWindow& m_products;
    OperationTypesListWindow& m_types;
    bool m_adding = true;
    int m_id = 0;
    int m_productId = 0;
    int m_typeId = 0;
    QLineEdit* m_product = nullptr;
    QWidget* m_productButton = nullptr;
    QLineEdit* m_type = nullptr;
    QWidget* m_typeButton = nullptr;
    QComboBox* m_kind = nullptr;
    QLabel* m_priceLabel = nullptr;
    QLineEdit* m_price = nullptr;
};

} // namespace tabel
