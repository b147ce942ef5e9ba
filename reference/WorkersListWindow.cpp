#include "reference/WorkersListWindow.h"

#include "common/Messages.h"
#include "db/DataModule.h"
#include "reference/WorkerEditor.h"
#include "reference/WorkersBook.h"

namespace tabel {

namespace {
ReferenceListWindow::Options workersOptions()
{
    ReferenceListWindow::Options options;
    options.objectName = QStringLiteral("TForm5");
    options.caption = QStringLiteral("Список рабочих");
    options.clientSize = QSize(641, 550);
    options.columns = {{QStringLiteral("fio"), QStringLiteral("ФИО"), 300},
                       {QStringLiteral("s_staffpos_hl"), QStringLiteral("Должность"), 300}};
    options.filterField = QStringLiteral("fio");
    options.filterPlace = ReferenceListWindow::FilterPlace::ButtonRow;
    options.filterKeys = ReferenceListWindow::FilterKeys::ArrowsAndTyping;
    options.filterInEditMode = true;
    options.hasDelete = true;
    return options;
}
} // namespace

WorkersListWindow::WorkersListWindow(DataModule& dataModule, Messages& messages, WorkerEditor& editor,
                                     QWidget* parent)
    : ReferenceListWindow(dataModule.workers(), dataModule.database(), messages, workersOptions(), parent),
      m_dataModule(dataModule), m_editor(editor)
{
}

void WorkersListWindow::addItem()
{
    m_editor.prepareAdd();
    m_editor.exec();
    reload(0);
}

void WorkersListWindow::changeItem()
{
    const int row = currentRow();
    if (row < 0)
        return;
    m_editor.prepareChange(currentValue(QStringLiteral("id")).toInt(),
                           currentValue(QStringLiteral("fio")).toString(),
                           currentValue(QStringLiteral("s_staffpos_hl")).toString());
    m_editor.exec();
    reload(row);
}

void WorkersListWindow::deleteItem()
{
    const int row = currentRow();
    if (row < 0 || !messages().confirmDeletion(QStringLiteral("Удалить работника?")))
        return;
    if (!WorkersBook(m_dataModule.database()).remove(currentValue(QStringLiteral("id")).toInt()))
        messages().error(QStringLiteral("Работника нельзя удалить: по нему есть записи о выработке."));
    reload(row);
}

ListChoice WorkersListWindow::choose()
{
    return {currentValue(QStringLiteral("fio")).toString().trimmed(),
            currentValue(QStringLiteral("id")).toInt()};
}

} // namespace tabel
