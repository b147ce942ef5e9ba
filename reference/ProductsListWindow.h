#pragma once

#include "reference/ReferenceListWindow.h"

namespace tabel {

class DataModule;
class ProductEditor;

// "Изделия": the products, with add and change but no deletion; the product picker of the
// operation editor. The filter box sits below the grid in both modes.
class ProductsListWindow : public ReferenceListWindow
{
    Q_OBJECT
public:
    ProductsListWindow(DataModule& dataModule, Messages& messages, ProductEditor& editor,
                       QWidget* parent = nullptr);

protected:
    void addItem() override;
    void changeItem() override;
    ListChoice choose() override;
    bool closeOnEmptyChoice() override;

private:
    ProductEditor& m_editor;
};

} // namespace tabel
