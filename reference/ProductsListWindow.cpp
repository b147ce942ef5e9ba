#include "reference/ProductsListWindow.h"

#include "common/Messages.h"
#include "db/DataModule.h"
#include "reference/ProductEditor.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

namespace tabel {

namespace {
ReferenceListWindow::Options productsOptions()
{
    ReferenceListWindow::Options options;
    options.objectName = QStringLiteral("TForm3");
    options.caption = QStringLiteral("Изделия");
    options.clientSize = QSize(406, 574);
    options.columns = {
        {QStringLiteral("marka"), QStringLiteral("Марка изделия"), 315},
        {QStringLiteral("massa"), QStringLiteral("Коробки"), 67, Qt::AlignLeft | Qt::AlignVCenter}};
    options.filterField = QStringLiteral("marka");
    options.filterPlace = ReferenceListWindow::FilterPlace::BelowGrid;
    options.filterKeys = ReferenceListWindow::FilterKeys::ArrowsOnly;
    // Finding one grade among many is as useful when changing products as when picking one.
    options.filterInEditMode = true;
    options.hasDelete = false;
    return options;
}
} // namespace

ProductsListWindow::ProductsListWindow(DataModule& dataModule, Messages& messages, ProductEditor& editor,
                                       QWidget* parent)
    : ReferenceListWindow(dataModule.products(), dataModule.database(), messages, productsOptions(), parent),
      m_editor(editor)
{
    grid()->installEventFilter(this);
    // After the grid's own layout, which a reload puts back to the nominal widths.
    connect(query().model(), &QAbstractItemModel::modelReset, this, &ProductsListWindow::fitColumns);
}

bool ProductsListWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == grid() && event->type() == QEvent::Resize)
        fitColumns();
    return ReferenceListWindow::eventFilter(watched, event);
}

void ProductsListWindow::fitColumns()
{
    const int grade = query().fieldIndex(QStringLiteral("marka"));
    const int boxes = query().fieldIndex(QStringLiteral("massa"));
    if (grade < 0 || boxes < 0)
        return;
    QTableView& view = *grid();
    const int boxesWidth = std::max(67, view.horizontalHeader()->sectionSizeHint(boxes));
    // The room is measured as if the vertical scrollbar were shown, so that a list growing
    // past one screen does not push the columns out.
    const int room = view.maximumViewportSize().width() - view.verticalScrollBar()->sizeHint().width();
    view.setColumnWidth(boxes, boxesWidth);
    view.setColumnWidth(grade, std::max(room - boxesWidth, 100));
}

// Both actions come back to the row number the cursor stood on, even when the saved product
// now sorts elsewhere; a cancelled editor leaves the list untouched.
void ProductsListWindow::addItem()
{
    const int row = currentRow();
    m_editor.prepareAdd();
    if (m_editor.exec() == QDialog::Accepted)
        reload(row);
}

void ProductsListWindow::changeItem()
{
    const int row = currentRow();
    if (row < 0)
        return;
    m_editor.prepareChange(
        currentValue(QStringLiteral("id")).toInt(), currentValue(QStringLiteral("marka")).toString(),
        currentValue(QStringLiteral("massa")), currentValue(QStringLiteral("id_class_item")));
    if (m_editor.exec() == QDialog::Accepted)
        reload(row);
}

ListChoice ProductsListWindow::choose()
{
    return {currentValue(QStringLiteral("marka")).toString().trimmed(),
            currentValue(QStringLiteral("id")).toInt()};
}

// Handing back an empty grade and id 0 would wipe the product the operation editor already
// holds, so the window stays open and says why.
bool ProductsListWindow::closeOnEmptyChoice()
{
    messages().error(QStringLiteral("Выбирать нечего: в списке нет ни одного изделия. Измените фильтр или "
                                    "нажмите «Выход»."));
    return false;
}

} // namespace tabel
