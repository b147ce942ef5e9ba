#pragma once

#include "reference/ReferenceListWindow.h"

namespace tabel {

class DataModule;
class WorkerEditor;

// "Список рабочих": the workers, with add, change and delete; the worker picker of the
// production record editor. The filter box stays in the button row in both modes.
class WorkersListWindow : public ReferenceListWindow
{
    Q_OBJECT
public:
    WorkersListWindow(DataModule& dataModule, Messages& messages, WorkerEditor& editor,
                      QWidget* parent = nullptr);

protected:
    void addItem() override;
    void changeItem() override;
    void deleteItem() override;
    ListChoice choose() override;

private:
    DataModule& m_dataModule;
    WorkerEditor& m_editor;
};

} // namespace tabel
