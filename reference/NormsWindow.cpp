#include "reference/NormsWindow.h"
#include "common/WindowPlacement.h"

#include "common/Messages.h"
#include "db/Database.h"
#include "reference/NormEntriesModel.h"
#include "reference/NormsBook.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>

namespace tabel {

namespace {

constexpr int kNormaWidth = 133;
constexpr int kPriceWidth = 105;
constexpr int kPrizeWidth = 82;
constexpr int kGridHeight = 241;
const QSize kClientSize(365, 278);

// Refuses, as it is typed, any text that cannot become a number of the column's type, so a
// conversion error never reaches the row. A bare sign or decimal mark is let through while
// typing; Enter does not take it and leaving the cell drops it.
class CellValidator : public QValidator
{
public:
    CellValidator(int column, QObject* parent) : QValidator(parent), m_column(column) {}

    State validate(QString& input, int&) const override
    {
        if (NormEntriesModel::parseCell(m_column, input))
            return Acceptable;
        static const QRegularExpression decimalStart(QStringLiteral("^\\s*[+-]?[.,]?\\s*$"));
        static const QRegularExpression integerStart(QStringLiteral("^\\s*[+-]\\s*$"));
        const auto& start = m_column == NormEntriesModel::PriceColumn ? decimalStart : integerStart;
        return start.match(input).hasMatch() ? Intermediate : Invalid;
    }

private:
    int m_column;
};

class CellDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override
    {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        editor->setValidator(new CellValidator(index.column(), editor));
        return editor;
    }
};

} // namespace

// The buttons must take what is typed in a cell whose editor is still open, whether or not
// the click moved the focus out of it.
class NormsGrid : public QTableView
{
public:
    using QTableView::QTableView;

    bool isEditing() const { return state() == EditingState; }

    void finishEditing()
    {
        if (!isEditing())
            return;
        if (QWidget* editor = indexWidget(currentIndex())) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
};

NormsWindow::NormsWindow(Database& database, Messages& messages, QWidget* parent)
    : QDialog(parent), m_messages(messages), m_guard(messages, database),
      m_book(std::make_unique<NormsBook>(database))
{
    setObjectName(QStringLiteral("TForm22"));
    setWindowTitle(QStringLiteral("Норматив"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    m_model = new NormEntriesModel(*m_book, this);
    connect(m_model, &NormEntriesModel::valueRefused, this, [this](const QString& reason) {
        // After the editor has closed, so that the message does not fight it for the focus.
        QMetaObject::invokeMethod(
            this, [this, reason] { m_messages.error(reason); }, Qt::QueuedConnection);
    });
    m_grid = new NormsGrid(this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->setAccessibleName(QStringLiteral("Норматив"));
    m_grid->setModel(m_model);
    m_grid->setItemDelegate(new CellDelegate(m_grid));
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    m_grid->setFixedHeight(kGridHeight);

    QHeaderView& titles = *m_grid->horizontalHeader();
    QFont bold = titles.font();
    bold.setBold(true);
    titles.setFont(bold);
    titles.setDefaultAlignment(Qt::AlignCenter);
    titles.setSectionResizeMode(QHeaderView::Interactive);
    titles.setStretchLastSection(false);
    m_grid->setColumnWidth(NormEntriesModel::NormaColumn, kNormaWidth);
    m_grid->setColumnWidth(NormEntriesModel::PriceColumn, kPriceWidth);
    m_grid->setColumnWidth(NormEntriesModel::PrizeColumn, kPrizeWidth);

    QHeaderView& indicator = *m_grid->verticalHeader();
    indicator.setVisible(true);
    indicator.setHighlightSections(true);
    indicator.setDefaultAlignment(Qt::AlignCenter);
    indicator.setMinimumWidth(14);
    indicator.setDefaultSectionSize(m_grid->fontMetrics().height() + 6);

    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &NormsWindow::currentRowChanged);

    m_delete = new QPushButton(QStringLiteral("Удалить"), this);
    m_delete->setObjectName(QStringLiteral("Button1"));
    m_delete->setAutoDefault(false);
    m_save = new QPushButton(QStringLiteral("Сохранить"), this);
    m_save->setObjectName(QStringLiteral("Button2"));
    m_save->setDefault(true);
    connect(m_delete, &QPushButton::clicked, this, m_guard.slot([this] { deleteCurrent(); }));
    connect(m_save, &QPushButton::clicked, this, m_guard.slot([this] { saveAndClose(); }));

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 0);
    buttons->addWidget(m_delete);
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_grid);
    layout->addLayout(buttons, 1);
    setFixedSize(kClientSize);
}

NormsWindow::~NormsWindow() = default;

QTableView* NormsWindow::grid() const
{
    return m_grid;
}

void NormsWindow::openFor(int operationId)
{
    m_model->load(operationId);
    m_grid->setCurrentIndex(m_model->index(0, NormEntriesModel::NormaColumn));
    m_grid->setFocus();
    exec();
}

void NormsWindow::keyPressEvent(QKeyEvent* event)
{
    // Esc outside a cell edit saves like "Сохранить" (inside one it only undoes the edit).
    if (event->matches(QKeySequence::Cancel)) {
        m_guard.run([this] { saveAndClose(); });
        return;
    }
    QDialog::keyPressEvent(event);
}

void NormsWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOpener(*this);
}

void NormsWindow::currentRowChanged(const QModelIndex& current, const QModelIndex& previous)
{
    Q_UNUSED(current);
    if (!previous.isValid() || !m_model->hasPendingChange(previous.row()))
        return;
    if (!m_guard.run([&] { m_model->saveRow(previous.row()); }))
        return;
    // Re-sorting moves rows under the cursor the view is still placing: done once it has.
    // Queued, so it needs a guard of its own: the saving guard has returned by then.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_guard.run([this] {
                if (!m_grid->isEditing())
                    refreshKeepingCurrent();
            });
        },
        Qt::QueuedConnection);
}

void NormsWindow::refreshKeepingCurrent()
{
    const QModelIndex current = m_grid->currentIndex();
    const int column = current.isValid() ? current.column() : NormEntriesModel::NormaColumn;
    const int entryId = m_model->entryId(current.row());
    const int rowsAfter = current.isValid() ? m_model->rowCount() - current.row() : m_model->rowCount();
    m_model->refresh();
    // A stored entry is followed wherever sorting put it; an unsaved row keeps its place
    // among the unsaved rows at the end.
    int row = entryId != 0 ? m_model->rowOfEntry(entryId) : m_model->rowCount() - rowsAfter;
    if (entryId != 0 && row < 0)
        row = current.row(); // deleted meanwhile by another client
    row = std::clamp(row, 0, m_model->rowCount() - 1);
    m_grid->setCurrentIndex(m_model->index(row, column));
}

void NormsWindow::deleteCurrent()
{
    m_grid->finishEditing();
    m_model->deleteRow(m_grid->currentIndex().row());
    refreshKeepingCurrent();
}

void NormsWindow::saveAndClose()
{
    m_grid->finishEditing();
    m_model->savePending();
    accept();
}

} // namespace tabel
