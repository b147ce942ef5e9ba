#include "reference/ReferenceListWindow.h"
#include "common/OneLineTextValidator.h"
#include "common/WindowPlacement.h"

#include "common/Messages.h"
#include "db/StaticQuery.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace tabel {

ReferenceListWindow::ReferenceListWindow(StaticQuery& query, TransactionHolder& transactions,
                                         Messages& messages, Options options, QWidget* parent)
    : QDialog(parent), m_query(query), m_messages(messages), m_guard(messages, transactions),
      m_options(std::move(options))
{
    setObjectName(m_options.objectName);
    setWindowTitle(m_options.caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setAccessibleName(m_options.caption);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_gridLayout = new QueryGrid(*m_grid, m_options.columns);
    m_gridLayout->show(m_query);
    connect(m_grid, &QTableView::doubleClicked, this, m_guard.slot([this] { rowActivated(); }));

    m_filter = new QLineEdit(this);
    m_filter->setValidator(new OneLineTextValidator(-1, m_filter));
    m_filter->setObjectName(QStringLiteral("Edit1"));
    m_filter->setAccessibleName(QStringLiteral("Фильтр"));
    m_filter->setPlaceholderText(QStringLiteral("Фильтр"));
    m_filter->setClearButtonEnabled(true);
    m_filter->installEventFilter(this);
    connect(m_filter, &QLineEdit::textChanged, this, &ReferenceListWindow::filterChanged);

    m_add = new QPushButton(QStringLiteral("Добавить"), this);
    m_add->setObjectName(QStringLiteral("Button1"));
    m_second = new QPushButton(QStringLiteral("Изменить"), this);
    m_second->setObjectName(QStringLiteral("Button2"));
    m_delete = new QPushButton(QStringLiteral("Удалить"), this);
    m_delete->setObjectName(QStringLiteral("Button3"));
    m_exit = new QPushButton(QStringLiteral("Выход"), this);
    m_exit->setObjectName(QStringLiteral("Button4"));
    // Enter on a focused button presses that button; Enter anywhere else works the mode's
    // default button.
    for (QPushButton* button : {m_add, m_second, m_delete, m_exit})
        button->setAutoDefault(true);
    connect(m_add, &QPushButton::clicked, this, m_guard.slot([this] { addItem(); }));
    connect(m_second, &QPushButton::clicked, this, m_guard.slot([this] { secondButtonClicked(); }));
    connect(m_delete, &QPushButton::clicked, this, m_guard.slot([this] { deleteItem(); }));
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    if (m_options.filterPlace == FilterPlace::BelowGrid)
        layout->addWidget(m_filter);
    m_buttonRow = new QHBoxLayout;
    m_buttonRow->addWidget(m_add);
    m_buttonRow->addWidget(m_second);
    m_buttonRow->addWidget(m_delete);
    if (m_options.filterPlace == FilterPlace::ButtonRow)
        m_buttonRow->addWidget(m_filter, 1);
    else
        m_buttonRow->addStretch(1);
    m_buttonRow->addWidget(m_exit);
    layout->addLayout(m_buttonRow);
    resize(m_options.clientSize);
    setMode(Mode::Edit);
}

void ReferenceListWindow::setMode(Mode mode)
{
    m_mode = mode;
    const bool selecting = mode == Mode::Selection;
    m_second->setText(selecting ? QStringLiteral("Выбрать") : QStringLiteral("Изменить"));
    m_add->setVisible(!selecting);
    m_delete->setVisible(!selecting && m_options.hasDelete);
    m_add->setDefault(!selecting);
    m_second->setDefault(selecting);
    const bool filterShown = selecting || m_options.filterInEditMode;
    m_filter->setVisible(filterShown);
    // A filter nobody can see would hide rows without a reason the user could find.
    if (selecting || !filterShown)
        m_filter->clear();
}

void ReferenceListWindow::openForEdit()
{
    setMode(Mode::Edit);
    m_query.open();
    filterChanged(m_filter->text());
    selectRow(0);
    exec();
    m_query.close();
}

std::optional<ListChoice> ReferenceListWindow::pick(const QString& field, const QVariant& value)
{
    setMode(Mode::Selection);
    m_choice.reset();
    m_query.open();
    filterChanged(m_filter->text());
    selectRow(field.isEmpty() ? 0 : std::max(m_query.find(field, value), 0));
    exec();
    m_query.close();
    // What was typed to find one row is no filter for the next time the list is edited.
    m_filter->clear();
    setMode(Mode::Edit);
    return m_choice;
}

void ReferenceListWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOpener(*this);
    if (m_filter->isVisible())
        m_filter->setFocus();
    else
        m_grid->setFocus();
}

void ReferenceListWindow::secondButtonClicked()
{
    if (m_mode == Mode::Edit) {
        changeItem();
        return;
    }
    if (m_query.rowCount() == 0) {
        if (closeOnEmptyChoice())
            reject();
        return;
    }
    m_choice = choose();
    accept();
}

void ReferenceListWindow::filterChanged(const QString& text)
{
    if (!m_query.isOpen())
        return;
    m_query.setPrefixFilter(m_options.filterField, text);
    selectRow(0);
}

bool ReferenceListWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_filter || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Up:
        selectRow(std::max(currentRow() - 1, 0));
        return true;
    case Qt::Key_Down:
        selectRow(currentRow() + 1);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Backspace:
        return false;
    default:
        break;
    }
    if (m_options.filterKeys == FilterKeys::ArrowsAndTyping && key->text().isEmpty() &&
        !(key->modifiers() & Qt::ControlModifier))
        return true;
    if (m_options.filterKeys == FilterKeys::ArrowsAndTyping && key->key() == Qt::Key_Delete)
        return true;
    return false;
}

int ReferenceListWindow::currentRow() const
{
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void ReferenceListWindow::selectRow(int row)
{
    const int count = m_query.rowCount();
    if (count == 0)
        return;
    row = std::clamp(row, 0, count - 1);
    const int column = std::max(m_query.fieldIndex(m_options.columns.value(0).field), 0);
    m_grid->setCurrentIndex(m_query.model()->index(row, column));
    m_grid->selectRow(row);
}

QVariant ReferenceListWindow::currentValue(const QString& field) const
{
    return m_query.value(currentRow(), field);
}

void ReferenceListWindow::reload(int row)
{
    m_query.reopen();
    selectRow(row);
}

} // namespace tabel
