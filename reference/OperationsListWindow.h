#pragma once

#include "reference/OperationChoice.h"
#include "reference/ReferenceListWindow.h"

class QCheckBox;

namespace tabel {

class DataModule;
class NormsWindow;
class OperationEditor;
class SpreadsheetWriter;

// "Операции": every operation that has prices, with its base price and number of norm entries;
// add, change, delete, the norms of an operation ("Цены" ticked and a double click) and the price
// list export. As a picker it hands back the operation with its base price.
class OperationsListWindow : public ReferenceListWindow
{
    Q_OBJECT
public:
    OperationsListWindow(DataModule& dataModule, Messages& messages, OperationEditor& editor,
                         NormsWindow& norms, SpreadsheetWriter& writer, QWidget* parent = nullptr);

    // Selection mode, the cursor first on currentOperationId when it is listed.
    std::optional<OperationChoice> pickOperation(int currentOperationId = 0);

    QCheckBox* pricesBox() const { return m_prices; }
    QPushButton* excelButton() const { return m_excel; }

protected:
    void addItem() override;
    void changeItem() override;
    void deleteItem() override;
    ListChoice choose() override;
    bool closeOnEmptyChoice() override;
    void rowActivated() override;

private:
    void openNorms();
    void exportPriceList();

    DataModule& m_dataModule;
    OperationEditor& m_editor;
    NormsWindow& m_norms;
    SpreadsheetWriter& m_writer;
    QCheckBox* m_prices = nullptr;
    QPushButton* m_excel = nullptr;
    OperationChoice m_choice;
};

} // namespace tabel
