#include "production_log/ProductionRecordEditor.h"
#include "common/DateBox.h"
#include "common/EditorLayout.h"
#include "common/WindowPlacement.h"

#include "common/DigitsValidator.h"
#include "common/Messages.h"
#include "common/PickField.h"
#include "db/DataModule.h"
#include "production_log/PriceBasisQuery.h"
#include "production_log/RecordPricing.h"

#include <QDateEdit>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace tabel {

namespace {

// A long operation text begins with the product's grade, which tells it from the others;
// a box scrolled to the end of its text would hide it.
void showStartOf(QLineEdit* box)
{
    box->setCursorPosition(0);
}

constexpr qint64 integerMaximum = std::numeric_limits<qint32>::max();
constexpr qint64 smallintMaximum = std::numeric_limits<qint16>::max();

QLineEdit* readOnlyBox(QWidget* parent, const QString& name, int width)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    if (width > 0)
        box->setFixedWidth(width);
    return box;
}

QLineEdit* digitsBox(QWidget* parent, const QString& name, qint64 maximum)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setValidator(new DigitsValidator(maximum, box));
    box->setFixedWidth(80);
    return box;
}
} // namespace

ProductionRecordEditor::ProductionRecordEditor(DataModule& dataModule, Messages& messages, const Clock& clock,
                                               QWidget* parent)
    : QDialog(parent), m_dataModule(dataModule), m_messages(messages),
      m_guard(messages, dataModule.database()), m_clock(clock)
{
    setObjectName(QStringLiteral("TForm11"));
    setWindowTitle(QStringLiteral("Заведение новой позиции"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* frame = new QGroupBox(QStringLiteral("Закрыто мастером"), this);
    frame->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; } QLabel { font-weight: bold; }"));
    auto* grid = new QGridLayout(frame);
    auto label = [frame](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, frame);
        l->setBuddy(buddy);
        return l;
    };

    const PickField worker = makePickField(frame, QStringLiteral("Edit1"), 288, QStringLiteral("Button3"),
                                           QStringLiteral("Выбрать работника"));
    m_worker = worker.box;
    m_worker->installEventFilter(this);
    m_workerButton = worker.button;
    const PickField operation = makePickField(frame, QStringLiteral("Edit2"), 306, QStringLiteral("Button4"),
                                              QStringLiteral("Выбрать операцию"));
    m_operation = operation.box;
    m_operation->installEventFilter(this);
    m_operationButton = operation.button;
    m_quantity = digitsBox(frame, QStringLiteral("Edit3"), integerMaximum);
    m_hours = digitsBox(frame, QStringLiteral("Edit4"), smallintMaximum);
    m_colour = digitsBox(frame, QStringLiteral("Edit5"), integerMaximum);
    m_date = new DateBox(frame);
    m_date->setObjectName(QStringLiteral("DateT"));
    m_rejects = digitsBox(frame, QStringLiteral("Edit6"), smallintMaximum);
    m_basePrice = readOnlyBox(frame, QStringLiteral("Edit7"), 80);
    m_finalPrice = readOnlyBox(frame, QStringLiteral("Edit8"), 80);
    m_amount = readOnlyBox(frame, QStringLiteral("Edit9"), 100);

    grid->addWidget(label(QStringLiteral("&ФИО"), m_workerButton), 0, 0);
    grid->addWidget(m_worker, 0, 1, 1, 3);
    grid->addWidget(m_workerButton, 0, 4);
    grid->addWidget(label(QStringLiteral("&Операция"), m_operationButton), 1, 0);
    grid->addWidget(m_operation, 1, 1, 1, 3);
    grid->addWidget(m_operationButton, 1, 4);
    grid->addWidget(label(QStringLiteral("&Кол-во"), m_quantity), 2, 0);
    grid->addWidget(m_quantity, 2, 1);
    grid->addWidget(label(QStringLiteral("&Брак"), m_rejects), 2, 2);
    grid->addWidget(m_rejects, 2, 3);
    grid->addWidget(label(QStringLiteral("&Время"), m_hours), 3, 0);
    grid->addWidget(m_hours, 3, 1);
    m_colourLabel = label(QStringLiteral("&Цвет"), m_colour);
    grid->addWidget(m_colourLabel, 3, 2);
    grid->addWidget(m_colour, 3, 3);
    grid->addWidget(label(QStringLiteral("&Дата"), m_date), 4, 0);
    grid->addWidget(m_date, 4, 1);
    grid->addWidget(label(QStringLiteral("Цена база"), m_basePrice), 5, 0);
    grid->addWidget(m_basePrice, 5, 1);
    grid->addWidget(label(QStringLiteral("Цена итог"), m_finalPrice), 5, 2);
    grid->addWidget(m_finalPrice, 5, 3);
    grid->addWidget(label(QStringLiteral("Сумма"), m_amount), 6, 0);
    grid->addWidget(m_amount, 6, 1);

    layOutEditor(*this, frame, m_guard.slot([this] { save(); }), QStringLiteral("Запись"))
        ->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(m_workerButton, m_operationButton);
    setTabOrder(m_operationButton, m_quantity);
    setTabOrder(m_quantity, m_hours);
    setTabOrder(m_hours, m_colour);
    setTabOrder(m_colour, m_date);
    setTabOrder(m_date, m_rejects);

    connect(m_workerButton, &QPushButton::clicked, this, m_guard.slot([this] { pickWorker(); }));
    connect(m_operationButton, &QPushButton::clicked, this, m_guard.slot([this] { pickOperation(); }));
    // Leaving the box, not editingFinished: a validator keeps that signal back while the box is
    // empty, and an empty box is exactly what must become "0".
    m_quantity->installEventFilter(this);
    m_hours->installEventFilter(this);
}

void ProductionRecordEditor::setPickers(WorkerPicker pickWorker, OperationPicker pickOperation)
{
    m_pickWorker = std::move(pickWorker);
    m_pickOperation = std::move(pickOperation);
}

void ProductionRecordEditor::prepareAdd(const WorkingDay& day)
{
    m_day = day;
    m_recordId.reset();
    setWindowTitle(QStringLiteral("Заведение новой позиции"));
    m_date->setDate(day.date);
    m_worker->clear();
    m_operation->clear();
    m_quantity->clear();
    m_colour->clear();
    m_rejects->setText(QStringLiteral("0"));
    m_hours->setText(QStringLiteral("0"));
    m_finalPrice->setToolTip(QString());
}

void ProductionRecordEditor::prepareChange(const WorkingDay& day, const QVariantMap& record)
{
    m_day = day;
    setWindowTitle(QStringLiteral("Изменение данных о позиции"));
    m_recordId = record.value(QStringLiteral("id")).toInt();
    m_price = record.value(QStringLiteral("cena")).toDouble();
    m_workerId = record.value(QStringLiteral("w_id")).toInt();
    m_productId = record.value(QStringLiteral("i_id")).toInt();
    m_operationId = record.value(QStringLiteral("o_id")).toInt();
    // The record's own base price, so the user sees what the stored price was made from.
    m_basePriceValue =
        m_dataModule.database()
            .readValue(QStringLiteral("select min(price) as cena from accounts_dep.norm where o_id=:o"),
                       QStringLiteral("cena"), {{":o", m_operationId}})
            .toDouble();
    m_date->setDate(record.value(QStringLiteral("data")).toDate());
    m_worker->setText(record.value(QStringLiteral("fio")).toString().trimmed());
    const QString vid = record.value(QStringLiteral("vid")).toString().trimmed();
    m_operation->setText(operationChoiceText(record.value(QStringLiteral("marka")).toString(), vid,
                                             record.value(QStringLiteral("naimen"))));
    showStartOf(m_operation);
    m_quantity->setText(QString::number(record.value(QStringLiteral("kol_vo")).toLongLong()));
    m_rejects->setText(QString::number(record.value(QStringLiteral("brak")).toInt()));
    m_hours->setText(QString::number(record.value(QStringLiteral("time")).toInt()));
    const bool paint = isPaintOperation(vid);
    m_colour->setEnabled(paint);
    m_colourLabel->setEnabled(paint);
    if (paint)
        m_colour->setText(QString::number(record.value(QStringLiteral("color")).toInt()));
    else
        m_colour->clear();
    m_basePrice->setText(displayPrice(m_basePriceValue));
    m_finalPrice->setText(displayPrice(m_price));
    m_amount->setText(displayPrice(m_quantity->text().toLongLong() * m_price));
    // The stored price was made when the record was saved; it is explained only while today's
    // norms and the day still give it.
    PriceBasis basis = readPriceBasis(m_dataModule.database(), m_operationId);
    basis.basePrice = m_basePriceValue;
    const bool stillSo =
        storedPrice(finalPrice(basis.basePrice, day.dayOff, day.shift)) == storedPrice(m_price);
    m_finalPrice->setToolTip(stillSo ? explainedPrice(basis, day.dayOff, day.shift) : QString());
}

void ProductionRecordEditor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOpener(*this);
    m_workerButton->setFocus();
}

bool ProductionRecordEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && (watched == m_quantity || watched == m_hours)) {
        // The window closing or a list opening over it is not the user leaving the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (isVisible() && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            refreshDisplay();
    }
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == m_worker) {
            m_guard.run([this] { pickWorker(); });
            return true;
        }
        if (watched == m_operation) {
            m_guard.run([this] { pickOperation(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ProductionRecordEditor::pickWorker()
{
    if (!m_pickWorker)
        return;
    if (const std::optional<ListChoice> choice = m_pickWorker()) {
        m_worker->setText(choice->text);
        m_workerId = choice->id;
        // The next thing to enter is the operation; the keyboard goes straight on to it.
        m_operationButton->setFocus(Qt::TabFocusReason);
    }
}

void ProductionRecordEditor::pickOperation()
{
    if (!m_pickOperation)
        return;
    const std::optional<OperationChoice> choice = m_pickOperation(m_recordId ? m_operationId : 0);
    if (choice) {
        m_productId = choice->productId;
        m_operationId = choice->operationId;
        m_basePriceValue = choice->basePrice;
        // Priced by the day off and shift as they stand at the moment of the pick.
        m_price = finalPrice(choice->basePrice, m_day.dayOff, m_day.shift);
        m_operation->setText(choice->text);
        PriceBasis basis = readPriceBasis(m_dataModule.database(), m_operationId);
        basis.basePrice = choice->basePrice;
        m_finalPrice->setToolTip(explainedPrice(basis, m_day.dayOff, m_day.shift));
        showStartOf(m_operation);
    }
    applyColourRule();
    refreshDisplay();
    if (choice) {
        m_quantity->setFocus(Qt::TabFocusReason);
        m_quantity->selectAll();
    }
}

void ProductionRecordEditor::applyColourRule()
{
    const bool paint = isPaintOperation(m_operation->text());
    m_colour->setEnabled(paint);
    m_colourLabel->setEnabled(paint);
    if (!paint)
        m_colour->clear();
}

void ProductionRecordEditor::refreshDisplay()
{
    if (m_hours->text().trimmed().isEmpty())
        m_hours->setText(QStringLiteral("0"));
    if (m_quantity->text().trimmed().isEmpty())
        m_quantity->setText(QStringLiteral("0"));
    m_finalPrice->setText(displayPrice(m_price));
    m_basePrice->setText(displayPrice(m_basePriceValue));
    m_amount->setText(displayPrice(m_quantity->text().toLongLong() * m_price));
}

void ProductionRecordEditor::putRight(QLineEdit* box)
{
    // The worker and the operation are chosen through their "..." buttons.
    if (box == m_worker) {
        m_workerButton->setFocus(Qt::OtherFocusReason);
    } else if (box == m_operation) {
        m_operationButton->setFocus(Qt::OtherFocusReason);
    } else {
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
    }
}

void ProductionRecordEditor::putRight(ProductionRecordSaver::Fault fault)
{
    using Fault = ProductionRecordSaver::Fault;
    switch (fault) {
    // A duplicate: the worker is the first of the values that make the record the same as another.
    case Fault::Worker:
    case Fault::Duplicate:
        putRight(m_worker);
        break;
    case Fault::Operation:
        putRight(m_operation);
        break;
    case Fault::Rejects:
        putRight(m_rejects);
        break;
    case Fault::Hours:
    case Fault::DayHours:
        putRight(m_hours);
        break;
    case Fault::None:
        break;
    }
}

void ProductionRecordEditor::clearBoxes()
{
    for (QLineEdit* box : {m_worker, m_operation, m_quantity, m_rejects, m_colour, m_hours, m_basePrice,
                           m_finalPrice, m_amount})
        box->clear();
}

void ProductionRecordEditor::save()
{
    const bool paint = isPaintOperation(m_operation->text());
    const QList<QLineEdit*> required = {
        m_worker, m_operation, m_quantity, m_rejects, paint ? m_colour : nullptr, m_hours};
    for (QLineEdit* box : required) {
        if (box && box->text().trimmed().isEmpty()) {
            m_messages.error(QStringLiteral("Все поля должны быть заполнены!"));
            putRight(box);
            return;
        }
    }
    ProductionRecord record;
    record.workerId = m_workerId;
    record.productId = m_productId;
    record.operationId = m_operationId;
    record.price = storedPrice(m_price);
    record.quantity = m_quantity->text().trimmed().toInt();
    record.rejects = m_rejects->text().trimmed().toInt();
    record.date = m_date->date();
    record.shift = m_day.shift >= 1 && m_day.shift <= 4 ? m_day.shift : 1;
    record.colour = m_colour->text().trimmed().isEmpty() ? 0 : m_colour->text().trimmed().toInt();
    record.hours = m_hours->text().trimmed().toInt();

    ProductionRecordSaver saver(m_dataModule, m_messages, m_clock);
    const bool saved = m_recordId ? saver.change(*m_recordId, record) : saver.add(record);
    if (!saved) {
        putRight(saver.lastFault());
        return;
    }
    // The time sheet reads the ledger afresh the next time it is shown.
    for (int shift = 1; shift <= 3; ++shift)
        m_dataModule.timesheetRows(shift).close();
    clearBoxes();
    m_recordId.reset();
    accept();
}

} // namespace tabel
