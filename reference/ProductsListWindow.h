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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // "Коробки" gets the room its title needs and the grade the rest, so that neither the
    // title is cut nor a horizontal scrollbar appears.
    void fitColumns();

    ProductEditor& m_editor;
};

} // namespace tabel
