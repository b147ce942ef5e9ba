#include "reference/OperationTypesListWindow.h"

#include "common/Messages.h"
#include "db/DataModule.h"
#include "reference/OperationTypeEditor.h"
#include "reference/OperationTypesBook.h"

namespace tabel {

namespace {
ReferenceListWindow::Options operationTypesOptions()
{
    ReferenceListWindow::Options options;
    options.objectName = QStringLiteral("TForm8");
    options.caption = QStringLiteral("Виды операций");
    options.clientSize = QSize(334, 576);
    // The server hands back the statement's upper-case names in lower case.
    options.columns = {{QStringLiteral("vid"), QStringLiteral("Операции"), 309}};
    options.filterField = QStringLiteral("vid");
    options.filterPlace = ReferenceListWindow::FilterPlace::BelowGrid;
    options.filterKeys = ReferenceListWindow::FilterKeys::ArrowsAndTyping;
    options.filterInEditMode = false;
    options.hasDelete = true;
    return options;
}
} // namespace

OperationTypesListWindow::OperationTypesListWindow(DataModule& dataModule, Messages& messages,
                                                   OperationTypeEditor& editor, QWidget* parent)
    : ReferenceListWindow(dataModule.operationTypes(), dataModule.database(), messages,
                          operationTypesOptions(), parent),
      m_dataModule(dataModule), m_editor(editor)
{
}

// A save or a deletion reloads the list with the cursor on the first row; a cancelled editor
// leaves it as it was.
void OperationTypesListWindow::addItem()
{
    m_editor.prepareAdd();
    if (m_editor.exec() == QDialog::Accepted)
        reload(0);
}

void OperationTypesListWindow::changeItem()
{
    if (currentRow() < 0)
        return;
    m_editor.prepareChange(currentValue(QStringLiteral("id")).toInt(),
                           currentValue(QStringLiteral("vid")).toString());
    if (m_editor.exec() == QDialog::Accepted)
        reload(0);
}

void OperationTypesListWindow::deleteItem()
{
    if (currentRow() < 0 || !messages().confirmDeletion(QStringLiteral("Удалить вид операции?")))
        return;
    switch (OperationTypesBook(m_dataModule).remove(currentValue(QStringLiteral("id")).toInt())) {
    case OperationTypesBook::Removal::Removed:
        reload(0);
        break;
    case OperationTypesBook::Removal::UsedByRecords:
        messages().error(
            QStringLiteral("Вид операции нельзя удалить: по его операциям есть записи о выработке."));
        break;
    case OperationTypesBook::Removal::UsedByOperations:
        messages().error(QStringLiteral("Вид операции нельзя удалить: по нему заведены операции."));
        break;
    }
}

ListChoice OperationTypesListWindow::choose()
{
    return {currentValue(QStringLiteral("vid")).toString().trimmed(),
            currentValue(QStringLiteral("id")).toInt()};
}

// Handing back an empty name and id 0 would wipe the type the operation editor already holds,
// so the window stays open and says why.
bool OperationTypesListWindow::closeOnEmptyChoice()
{
    messages().error(
        QStringLiteral("Выбирать нечего: в списке нет ни одного вида операции. Измените фильтр или "
                       "нажмите «Выход»."));
    return false;
}

} // namespace tabel
