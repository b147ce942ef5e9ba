#pragma once

#include "reference/ReferenceListWindow.h"

namespace tabel {

class DataModule;
class OperationTypeEditor;

// "Виды операций": the operation types, with add, change and delete; the operation type picker
// of the operation editor. The filter box below the grid is shown only when picking.
class OperationTypesListWindow : public ReferenceListWindow
{
    Q_OBJECT
public:
    OperationTypesListWindow(DataModule& dataModule, Messages& messages, OperationTypeEditor& editor,
                             QWidget* parent = nullptr);

protected:
    void addItem() override;
    void changeItem() override;
    void deleteItem() override;
    ListChoice choose() override;
    bool closeOnEmptyChoice() override;

private:
    DataModule& m_dataModule;
    OperationTypeEditor& m_editor;
};

} // namespace tabel
