#include "reference/OperationsListWindow.h"

#include "common/BusyCursor.h"
#include "common/Messages.h"
#include "db/DataModule.h"
#include "reference/NormsWindow.h"
#include "reference/OperationEditor.h"
#include "reference/OperationsBook.h"
#include "reference/PriceListExport.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace tabel {

namespace {
ReferenceListWindow::Options operationsOptions()
{
    ReferenceListWindow::Options options;
    options.objectName = QStringLiteral("TForm4");
    options.caption = QStringLiteral("Операции");
    options.clientSize = QSize(865, 478);
    // "Опреция" is misspelt, but it is the users' title, the one they know: it must stay.
    options.columns = {
        {QStringLiteral("marka"), QStringLiteral("Марка"), 200},
        {QStringLiteral("vid"), QStringLiteral("Опреция"), 243},
        {QStringLiteral("cena"), QStringLiteral("Цена (min)"), 90, Qt::AlignRight | Qt::AlignVCenter},
        {QStringLiteral("nmn"), QStringLiteral("Вид"), 139},
        {QStringLiteral("norma"), QStringLiteral("Нормы (шт.)"), 95, Qt::AlignRight | Qt::AlignVCenter}};
    options.filterField = QStringLiteral("marka");
    options.filterPlace = ReferenceListWindow::FilterPlace::ButtonRow;
    options.filterKeys = ReferenceListWindow::FilterKeys::ArrowsAndTyping;
    options.filterInEditMode = true;
    options.hasDelete = true;
    return options;
}
} // namespace

OperationsListWindow::OperationsListWindow(DataModule& dataModule, Messages& messages,
                                           OperationEditor& editor, NormsWindow& norms,
                                           SpreadsheetWriter& writer, QWidget* parent)
    : ReferenceListWindow(dataModule.operations(), dataModule.database(), messages, operationsOptions(),
                          parent),
      m_dataModule(dataModule), m_editor(editor), m_norms(norms), m_writer(writer)
{
    setFixedSize(865, 478);
    m_excel = new QPushButton(QStringLiteral("Excel"), this);
    m_excel->setObjectName(QStringLiteral("Button5"));
    m_prices = new QCheckBox(QStringLiteral("Цены"), this);
    m_prices->setObjectName(QStringLiteral("CheckBox1"));
    QFont bold = m_prices->font();
    bold.setBold(true);
    m_prices->setFont(bold);
    buttonRow()->insertWidget(3, m_excel);
    buttonRow()->insertWidget(4, m_prices);
    connect(m_excel, &QPushButton::clicked, this, guard().slot([this] { exportPriceList(); }));
}

std::optional<OperationChoice> OperationsListWindow::pickOperation(int currentOperationId)
{
    const std::optional<ListChoice> chosen =
        currentOperationId > 0 ? pick(QStringLiteral("id"), currentOperationId) : pick();
    if (!chosen)
        return std::nullopt;
    return m_choice;
}

ListChoice OperationsListWindow::choose()
{
    m_choice.productId = currentValue(QStringLiteral("i_id")).toInt();
    m_choice.operationId = currentValue(QStringLiteral("id")).toInt();
    m_choice.basePrice = currentValue(QStringLiteral("cena")).toDouble();
    // The grade as the database holds it now, not as the list read it.
    const QString grade = m_dataModule.database()
                              .readValue(QStringLiteral("select marka from accounts_dep.izdel where id=:id"),
                                         QStringLiteral("marka"), {{":id", m_choice.productId}})
                              .toString()
                              .trimmed();
    m_choice.text = operationChoiceText(grade, currentValue(QStringLiteral("vid")).toString(),
                                        currentValue(QStringLiteral("naimen")));
    return {m_choice.text, m_choice.operationId};
}

bool OperationsListWindow::closeOnEmptyChoice()
{
    // Handing back no operation at all would price the record at 0.
    messages().error(QStringLiteral("В списке нет операции для выбора. Очистите фильтр."));
    return false;
}

void OperationsListWindow::rowActivated()
{
    if (mode() == Mode::Edit && m_prices->isChecked())
        openNorms();
    else
        secondButtonClicked();
}

void OperationsListWindow::openNorms()
{
    const int row = currentRow();
    if (row < 0)
        return;
    m_norms.openFor(currentValue(QStringLiteral("id")).toInt());
    // Rows the user left are saved even when the window was closed by its title bar.
    reload(row);
}

void OperationsListWindow::addItem()
{
    m_editor.prepareAdd();
    if (m_editor.exec() == QDialog::Accepted)
        reload(0);
}

void OperationsListWindow::changeItem()
{
    if (currentRow() < 0)
        return;
    m_editor.prepareChange(
        currentValue(QStringLiteral("id")).toInt(), currentValue(QStringLiteral("i_id")).toInt(),
        currentValue(QStringLiteral("marka")).toString(), currentValue(QStringLiteral("oper_vid")).toInt(),
        currentValue(QStringLiteral("vid")).toString(), currentValue(QStringLiteral("naimen")),
        currentValue(QStringLiteral("cena")).toDouble());
    if (m_editor.exec() == QDialog::Accepted)
        reload(0);
}

void OperationsListWindow::deleteItem()
{
    if (currentRow() < 0 || !messages().confirmDeletion(QStringLiteral("Удалить операцию?")))
        return;
    if (!OperationsBook(m_dataModule).remove(currentValue(QStringLiteral("id")).toInt()))
        messages().error(QStringLiteral("Операцию нельзя удалить: по ней есть записи о выработке."));
    reload(0);
}

void OperationsListWindow::exportPriceList()
{
    BusyCursor busy;
    PriceListExport(m_dataModule.database(), m_writer).run();
}

} // namespace tabel
