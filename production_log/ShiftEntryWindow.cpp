#include "production_log/ShiftEntryWindow.h"

#include "common/DigitsValidator.h"
#include "common/Messages.h"
#include "common/WindowPlacement.h"
#include "db/DataModule.h"
#include "production_log/PriceBasisQuery.h"
#include "production_log/ShiftEntryModel.h"
#include "production_log/ShiftRowSaver.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include <limits>

namespace tabel {

namespace {
constexpr int completionLimit = 50;
constexpr int visibleCompletions = 8;

const QStringList& shiftCaptions()
{
    static const QStringList captions = {QStringLiteral("Смена №1"), QStringLiteral("Смена №2"),
                                         QStringLiteral("Смена №3"), QStringLiteral("Переработка")};
    return captions;
}
} // namespace

ShiftEntryWindow::ShiftEntryWindow(DataModule& dataModule, Messages& messages, const Clock& clock,
                                   QWidget* parent)
    : QDialog(parent), m_dataModule(dataModule), m_messages(messages),
      m_guard(messages, dataModule.database()), m_clock(clock)
{
    setObjectName(QStringLiteral("shiftEntryWindow"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // A long shift wants the whole screen.
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setWindowTitle(QStringLiteral("Ввод смены"));

    m_model = new ShiftEntryModel(m_day, this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("shiftEntryGrid"));
    m_grid->setAccessibleName(QStringLiteral("Записи смены"));
    m_grid->setModel(m_model);
    // The keyboard stays in the cell being typed; the grid only shows the lines.
    m_grid->setFocusPolicy(Qt::NoFocus);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 8);
    const int widths[ShiftEntryColumnCount] = {260, 380, 70, 60, 60, 60, 80, 90};
    for (int column = 0; column < ShiftEntryColumnCount; ++column)
        m_grid->setColumnWidth(column, widths[column]);
    m_grid->horizontalHeader()->setStretchLastSection(true);

    m_cellEditor = new QLineEdit(m_grid->viewport());
    m_cellEditor->setObjectName(QStringLiteral("shiftEntryCell"));
    m_cellEditor->setFrame(false);
    m_cellEditor->setStyleSheet(
        QStringLiteral("QLineEdit { border: 2px solid #2060C0; background: #FFFFF0; }"));
    m_cellEditor->installEventFilter(this);
    // The record editor's limits: the columns of the record.
    m_integers = new DigitsValidator(std::numeric_limits<qint32>::max(), m_cellEditor);
    m_smallints = new DigitsValidator(std::numeric_limits<qint16>::max(), m_cellEditor);
    connect(m_cellEditor, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (!m_filling)
            m_guard.run([this, text] { cellTextChanged(text); });
    });

    m_completions = new QListWidget(this);
    m_completions->setObjectName(QStringLiteral("shiftEntryCompletions"));
    m_completions->setFocusPolicy(Qt::NoFocus);
    m_completions->setUniformItemSizes(true);
    m_completions->hide();
    connect(m_completions, &QListWidget::itemClicked, this, m_guard.slot([this] {
        if (takeCompletion() == Taken::TheCellsValue)
            goOn(false);
    }));

    const auto placeLater = [this] { placeEditor(); };
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, this, placeLater);
    connect(m_grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, placeLater);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this, placeLater);
    connect(m_grid, &QTableView::clicked, this, [this](const QModelIndex& index) {
        m_guard.run([this, index] {
            if (index.row() == m_model->rowOf(m_model->currentEntry()) &&
                currentRow().needsInput(index.column())) {
                dropUntakenText();
                goToCell(index.column());
            }
        });
    });

    m_explanation = new QLabel(this);
    m_explanation->setObjectName(QStringLiteral("priceExplanation"));
    m_explanation->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_refusal = new QLabel(this);
    m_refusal->setObjectName(QStringLiteral("refusalLine"));
    m_refusal->setStyleSheet(QStringLiteral("QLabel { color: #C00000; font-weight: bold; }"));
    // Both lines keep their room when empty, so that the grid does not jump under the caret.
    for (QLabel* line : {m_explanation, m_refusal})
        line->setFixedHeight(line->fontMetrics().height() + 4);
    auto* hint = new QLabel(QStringLiteral("Enter — дальше, на последней ячейке — запись строки; Shift+Tab — "
                                           "назад; F4 — список; Esc — отменить ввод в ячейке; Ctrl+Delete — "
                                           "очистить строку.\nДругой рабочий: начните его фамилию прямо в "
                                           "«Операции» или в «Фамилии И.О.»."),
                            this);
    hint->setStyleSheet(QStringLiteral("QLabel { color: #606060; }"));
    m_close = new QPushButton(QStringLiteral("Закрыть"), this);
    m_close->setObjectName(QStringLiteral("closeButton"));
    m_close->setAutoDefault(false);
    m_close->setFocusPolicy(Qt::NoFocus);
    connect(m_close, &QPushButton::clicked, this, &ShiftEntryWindow::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_explanation);
    layout->addWidget(m_refusal);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(hint, 1);
    bottom->addWidget(m_close);
    layout->addLayout(bottom);
    resize(1120, 640);
}

ShiftEntryWindow::~ShiftEntryWindow() = default;

void ShiftEntryWindow::setPickers(WorkerPicker pickWorker, OperationPicker pickOperation)
{
    m_pickWorker = std::move(pickWorker);
    m_pickOperation = std::move(pickOperation);
}

QString ShiftEntryWindow::caption(const WorkingDay& day)
{
    QString text = QStringLiteral("Ввод смены — %1, %2")
                       .arg(shiftCaptions().value(day.shift - 1, shiftCaptions().first()),
                            day.date.toString(QStringLiteral("dd.MM.yyyy")));
    if (day.dayOff)
        text += QStringLiteral(", выходной");
    return text;
}

void ShiftEntryWindow::prepare(const WorkingDay& day)
{
    m_day = day;
    setWindowTitle(caption(day));
    ShiftEntryModel* previous = m_model;
    m_model = new ShiftEntryModel(day, this);
    m_grid->setModel(m_model);
    delete previous;
    StaticQuery& existing = m_dataModule.dailyList(day.shift >= 1 && day.shift <= 4 ? day.shift : 1);
    if (existing.isOpen())
        m_model->setExisting(existing);
    m_model->appendEntry(ShiftEntryRow{});
    m_choices.load(m_dataModule.database());
    m_refusal->clear();
    goToCell(WorkerColumn);
}

void ShiftEntryWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOpener(*this);
    m_grid->scrollToBottom();
    placeEditor();
    m_cellEditor->setFocus();
}

ShiftEntryRow ShiftEntryWindow::currentRow() const
{
    return m_model->current();
}

void ShiftEntryWindow::setCurrentRow(const ShiftEntryRow& row)
{
    m_model->setEntry(m_model->currentEntry(), row);
}

bool ShiftEntryWindow::isReferenceColumn() const
{
    return m_column == WorkerColumn || m_column == OperationColumn;
}

void ShiftEntryWindow::goToCell(int column)
{
    hideCompletions();
    m_column = column;
    const ShiftEntryRow row = currentRow();
    const bool small = column == RejectsColumn || column == HoursColumn;
    m_cellEditor->setValidator(isReferenceColumn() ? nullptr : small ? m_smallints : m_integers);
    m_filling = true;
    m_cellEditor->setText(row.text(column, m_day));
    m_filling = false;
    m_cellOriginal = m_cellEditor->text();
    m_cellEditor->selectAll();
    // The cell has no label of its own: its column's title says what it holds.
    m_cellEditor->setAccessibleName(m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    // A line just added is not laid out yet; without this the grid cannot scroll down to it.
    m_grid->doItemsLayout();
    m_grid->scrollTo(m_model->index(m_model->rowOf(m_model->currentEntry()), column));
    placeEditor();
    m_cellEditor->show();
    m_cellEditor->setFocus();
    showExplanation();
}

void ShiftEntryWindow::placeEditor()
{
    const QRect cell = m_grid->visualRect(m_model->index(m_model->rowOf(m_model->currentEntry()), m_column));
    m_cellEditor->setGeometry(cell);
    if (m_completions->isVisible()) {
        const QPoint below = m_cellEditor->mapTo(this, QPoint(0, m_cellEditor->height()));
        const int rowHeight = m_completions->sizeHintForRow(0) > 0 ? m_completions->sizeHintForRow(0) : 20;
        const int height = rowHeight * std::min(m_completions->count(), visibleCompletions) + 4;
        const int width = std::max(cell.width(), 460);
        // Near the bottom of the window the list opens above the cell instead.
        const int top = below.y() + height <= this->height() ? below.y() : below.y() - cell.height() - height;
        m_completions->setGeometry(below.x(), top, std::min(width, this->width() - below.x()), height);
        m_completions->raise();
    }
}

void ShiftEntryWindow::cellTextChanged(const QString& text)
{
    // What was not found is old news once the letters change; a refused save stays until the next.
    if (m_refusalIsLookup) {
        m_refusal->clear();
        m_refusalIsLookup = false;
    }
    if (isReferenceColumn()) {
        showCompletions();
        return;
    }
    ShiftEntryRow row = currentRow();
    if (m_column == QuantityColumn)
        row.quantity = text;
    else if (m_column == RejectsColumn)
        row.rejects = text;
    else if (m_column == HoursColumn)
        row.hours = text;
    else if (m_column == ColourColumn)
        row.colour = text;
    setCurrentRow(row);
}

bool ShiftEntryWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_cellEditor && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        bool handled = false;
        m_guard.run([&] { handled = handleKey(key->key(), key->modifiers()); });
        if (handled)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool ShiftEntryWindow::handleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool alt = modifiers & Qt::AltModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        goOn(true);
        return true;
    case Qt::Key_Tab:
        goOn(false);
        return true;
    case Qt::Key_Backtab:
        goBack();
        return true;
    case Qt::Key_Escape:
        undoCell();
        return true;
    case Qt::Key_F4:
        pickFromList();
        return true;
    case Qt::Key_Delete:
        if (modifiers & Qt::ControlModifier) {
            clearRow();
            return true;
        }
        return false;
    case Qt::Key_Down:
        if (alt) {
            pickFromList();
            return true;
        }
        if (m_completions->isVisible())
            moveCompletion(1);
        else if (isReferenceColumn() && m_cellEditor->text() != m_cellOriginal)
            showCompletions();
        return true;
    case Qt::Key_Up:
        if (m_completions->isVisible())
            moveCompletion(-1);
        return true;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
        if (m_completions->isVisible())
            moveCompletion(key == Qt::Key_PageDown ? visibleCompletions : -visibleCompletions);
        return true;
    default:
        return false;
    }
}

void ShiftEntryWindow::goOn(bool saveAtEnd)
{
    if (isReferenceColumn() && m_cellEditor->text() != m_cellOriginal) {
        if (m_cellEditor->text().trimmed().isEmpty()) {
            ShiftEntryRow row = currentRow();
            if (m_column == WorkerColumn) {
                row.workerId = 0;
                row.worker.clear();
            } else {
                row.operation.reset();
            }
            setCurrentRow(row);
        } else {
            const Taken taken = takeCompletion();
            // Only what exists can be taken: the cell keeps the letters for another try.
            if (taken == Taken::Nothing) {
                m_refusal->setText(m_column == WorkerColumn
                                       ? QStringLiteral("Нет рабочего, чья фамилия начинается с «%1».")
                                             .arg(m_cellEditor->text().trimmed())
                                       : QStringLiteral("Нет операции с ценой, к которой подходит «%1».")
                                             .arg(m_cellEditor->text().trimmed()));
                m_refusalIsLookup = true;
                return;
            }
            // The worker was typed where the operation goes: the operation is still to come.
            if (taken == Taken::WorkerOfTheLine)
                return;
        }
    }
    hideCompletions();
    const int next = currentRow().nextInput(m_column);
    if (next >= 0)
        goToCell(next);
    else if (saveAtEnd)
        saveRow();
}

void ShiftEntryWindow::goBack()
{
    dropUntakenText();
    const int previous = currentRow().previousInput(m_column);
    goToCell(previous >= 0 ? previous : m_column);
}

void ShiftEntryWindow::dropUntakenText()
{
    hideCompletions();
    if (isReferenceColumn())
        m_cellEditor->setText(currentRow().text(m_column, m_day));
}

void ShiftEntryWindow::undoCell()
{
    if (m_cellEditor->text() != m_cellOriginal) {
        m_filling = true;
        m_cellEditor->setText(m_cellOriginal);
        m_filling = false;
        m_cellEditor->selectAll();
        hideCompletions();
        if (!isReferenceColumn())
            cellTextChanged(m_cellOriginal);
        return;
    }
    if (!currentRow().typed())
        QDialog::reject();
}

void ShiftEntryWindow::clearRow()
{
    setCurrentRow(ShiftEntryRow{});
    m_refusal->clear();
    goToCell(WorkerColumn);
}

void ShiftEntryWindow::saveRow()
{
    const ShiftEntryRow row = currentRow();
    const ShiftRowSaver::Outcome outcome = ShiftRowSaver(m_dataModule, m_clock, m_day).save(row);
    if (!outcome.saved) {
        m_refusal->setText(outcome.message);
        m_refusalIsLookup = false;
        if (outcome.referenceGone)
            m_choices.load(m_dataModule.database());
        goToCell(outcome.faultColumn);
        return;
    }
    m_refusal->clear();
    ShiftEntryRow saved = row;
    saved.saved = true;
    setCurrentRow(saved);
    // A worker's next operation is the usual next line of the sheet.
    ShiftEntryRow next;
    next.workerId = row.workerId;
    next.worker = row.worker;
    m_model->appendEntry(next);
    goToCell(OperationColumn);
}

void ShiftEntryWindow::pickFromList()
{
    hideCompletions();
    if (m_column == WorkerColumn && m_pickWorker) {
        const std::optional<ListChoice> worker = m_pickWorker();
        // The list may have been added to while it was open.
        m_choices.load(m_dataModule.database());
        if (worker) {
            takeWorker(*worker);
            goOn(false);
        }
    } else if (m_column == OperationColumn && m_pickOperation) {
        const ShiftEntryRow row = currentRow();
        const std::optional<OperationChoice> operation =
            m_pickOperation(row.operation ? row.operation->operationId : 0);
        m_choices.load(m_dataModule.database());
        if (operation) {
            takeOperation(operation->productId, operation->operationId, operation->text);
            goOn(false);
        }
    }
    m_cellEditor->setFocus();
}

void ShiftEntryWindow::showCompletions()
{
    const QString typed = m_cellEditor->text();
    QList<int> found = m_column == WorkerColumn ? m_choices.matchingWorkers(typed, completionLimit)
                                                : m_choices.matchingOperations(typed, completionLimit);
    // A new line starts in "Операция" with the worker of the line above. When the sheet's next
    // line is another worker's, the foreman types that name right there: letters that start no
    // operation but start a name mean the line's worker.
    bool workers = m_column == WorkerColumn;
    if (m_column == OperationColumn && found.isEmpty()) {
        found = m_choices.matchingWorkers(typed, completionLimit);
        workers = true;
    }
    m_completions->clear();
    for (const int i : found) {
        auto* item = new QListWidgetItem(
            !workers                      ? m_choices.operations().at(i).text
            : m_column == OperationColumn ? QStringLiteral("Рабочий: %1").arg(m_choices.workers().at(i).text)
                                          : m_choices.workers().at(i).text);
        item->setData(Qt::UserRole, i);
        item->setData(Qt::UserRole + 1, workers);
        m_completions->addItem(item);
    }
    if (found.isEmpty()) {
        hideCompletions();
        return;
    }
    m_completions->setCurrentRow(0);
    m_completions->show();
    placeEditor();
}

void ShiftEntryWindow::hideCompletions()
{
    m_completions->hide();
    m_completions->clear();
}

void ShiftEntryWindow::moveCompletion(int step)
{
    const int row = std::clamp(m_completions->currentRow() + step, 0, m_completions->count() - 1);
    m_completions->setCurrentRow(row);
}

ShiftEntryWindow::Taken ShiftEntryWindow::takeCompletion()
{
    QListWidgetItem* item = m_completions->isVisible() ? m_completions->currentItem() : nullptr;
    if (!item)
        return Taken::Nothing;
    const int i = item->data(Qt::UserRole).toInt();
    const bool worker = item->data(Qt::UserRole + 1).toBool();
    hideCompletions();
    if (worker) {
        takeWorker(m_choices.workers().at(i));
        if (m_column == OperationColumn) {
            goToCell(OperationColumn);
            return Taken::WorkerOfTheLine;
        }
    } else {
        const ShiftEntryChoices::Operation& operation = m_choices.operations().at(i);
        takeOperation(operation.productId, operation.operationId, operation.text);
    }
    return Taken::TheCellsValue;
}

void ShiftEntryWindow::takeWorker(const ListChoice& worker)
{
    ShiftEntryRow row = currentRow();
    row.workerId = worker.id;
    row.worker = worker.text;
    setCurrentRow(row);
    if (m_column == WorkerColumn)
        showTaken(worker.text);
}

void ShiftEntryWindow::takeOperation(int productId, int operationId, const QString& text)
{
    ShiftEntryRow row = currentRow();
    // Priced by the norms as they stand at the moment of the choice, as in the record editor.
    row.operation = ShiftEntryOperation{productId, operationId, text,
                                        readPriceBasis(m_dataModule.database(), operationId)};
    if (!row.paint())
        row.colour.clear();
    setCurrentRow(row);
    showTaken(text);
    showExplanation();
}

void ShiftEntryWindow::showTaken(const QString& text)
{
    // What the cell holds now is taken, not typed: Enter goes on with it.
    m_cellEditor->setText(text);
    m_cellOriginal = text;
}

void ShiftEntryWindow::showExplanation()
{
    const ShiftEntryRow row = currentRow();
    m_explanation->setText(row.operation ? explainedPrice(row.operation->basis, m_day.dayOff, m_day.shift)
                                         : QString());
}

bool ShiftEntryWindow::unsavedInput() const
{
    return currentRow().typed() || m_cellEditor->text() != m_cellOriginal;
}

void ShiftEntryWindow::reject()
{
    if (unsavedInput() &&
        m_messages.show({QStringLiteral("Ввод смены"), QStringLiteral("Строка не записана. Закрыть окно?"),
                         MessageIcon::Question, MessageButtons::YesNo, QString()}) != MessageAnswer::Yes) {
        m_cellEditor->setFocus();
        return;
    }
    QDialog::reject();
}

} // namespace tabel
