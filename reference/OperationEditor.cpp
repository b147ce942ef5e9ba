#include "reference/OperationEditor.h"
#include "common/EditorLayout.h"
#include "common/WindowPlacement.h"
#include "db/DataModule.h"

#include "common/DecimalText.h"
#include "common/Messages.h"
#include "common/Numbers.h"
#include "common/PickField.h"
#include "common/ProductKind.h"
#include "reference/OperationTypesListWindow.h"
#include "reference/OperationsBook.h"
#include "reference/ProductsListWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace tabel {

OperationEditor::OperationEditor(DataModule& dataModule, Messages& messages, ProductsListWindow& products,
                                 OperationTypesListWindow& types, QWidget* parent)
    : QDialog(parent), m_dataModule(dataModule), m_messages(messages),
      m_guard(messages, dataModule.database()), m_products(products), m_types(types)
{
    setObjectName(QStringLiteral("TForm10"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* frame = new QGroupBox(QStringLiteral("Цена операции"), this);
    auto* grid = new QGridLayout(frame);
    const PickField product = makePickField(frame, QStringLiteral("Edit1"), 329, QStringLiteral("Button3"),
                                            QStringLiteral("Выбрать изделие"));
    m_product = product.box;
    m_productButton = product.button;
    const PickField type = makePickField(frame, QStringLiteral("Edit2"), 329, QStringLiteral("Button4"),
                                         QStringLiteral("Выбрать вид операции"));
    m_type = type.box;
    m_typeButton = type.button;
    m_kind = new QComboBox(frame);
    m_kind->setObjectName(QStringLiteral("ComboBox1"));
    m_kind->addItems(productKindCaptions());
    m_price = new QLineEdit(frame);
    m_price->setObjectName(QStringLiteral("Edit3"));
    m_price->setFixedWidth(100);
    // Digits with one decimal mark, either a comma or a point.
    m_price->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("\\d{0,9}([.,]\\d{0,4})?")), m_price));

    auto label = [frame](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, frame);
        l->setBuddy(buddy);
        return l;
    };
    grid->addWidget(label(QStringLiteral("&Марка изделия"), product.button), 0, 0);
    grid->addWidget(m_product, 0, 1);
    grid->addWidget(product.button, 0, 2);
    grid->addWidget(label(QStringLiteral("&Операция"), type.button), 1, 0);
    grid->addWidget(m_type, 1, 1);
    grid->addWidget(type.button, 1, 2);
    grid->addWidget(label(QStringLiteral("&Вид"), m_kind), 2, 0);
    grid->addWidget(m_kind, 2, 1);
    m_priceLabel = label(QStringLiteral("&Цена"), m_price);
    grid->addWidget(m_priceLabel, 3, 0);
    grid->addWidget(m_price, 3, 1, Qt::AlignLeft);

    layOutEditor(*this, frame, m_guard.slot([this] { save(); }))->setSizeConstraint(QLayout::SetFixedSize);

    connect(product.button, &QPushButton::clicked, this, m_guard.slot([this] { pickProduct(); }));
    connect(type.button, &QPushButton::clicked, this, m_guard.slot([this] { pickType(); }));
}

void OperationEditor::prepareAdd()
{
    m_adding = true;
    m_id = 0;
    setWindowTitle(QStringLiteral("Заведение новой цены за операцию"));
    m_product->clear();
    m_type->clear();
    m_productId = m_typeId = 0;
    m_kind->setCurrentIndex(0);
    m_price->clear();
    // A new operation needs its first price here: without a norm entry it could not be
    // picked for a production record.
    m_priceLabel->setVisible(true);
    m_price->setVisible(true);
}

void OperationEditor::prepareChange(int id, int productId, const QString& grade, int typeId,
                                    const QString& typeName, const QVariant& kind, double basePrice)
{
    m_adding = false;
    m_id = id;
    setWindowTitle(QStringLiteral("Изменение данных о цене за операцию"));
    m_productId = productId;
    m_product->setText(grade.trimmed());
    m_typeId = typeId;
    m_type->setText(typeName.trimmed());
    m_kind->setCurrentIndex(isFinishedProducts(kind) ? 0 : 1);
    // Prices of an existing operation are its norm entries, changed in the norms window.
    m_price->setText(halfEvenText(basePrice, 0, 4));
    m_priceLabel->setVisible(false);
    m_price->setVisible(false);
}

void OperationEditor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOpener(*this);
    m_productButton->setFocus();
}

void OperationEditor::pickProduct()
{
    if (const std::optional<ListChoice> choice = m_products.pick()) {
        m_product->setText(choice->text);
        m_productId = choice->id;
        // The keyboard goes straight on to what comes next.
        m_typeButton->setFocus(Qt::TabFocusReason);
    }
}

void OperationEditor::pickType()
{
    if (const std::optional<ListChoice> choice = m_types.pick()) {
        m_type->setText(choice->text);
        m_typeId = choice->id;
        m_kind->setFocus(Qt::TabFocusReason);
    }
}

void OperationEditor::save()
{
    // The box lets a lone decimal mark through; it holds no price, and read as 0 it would
    // make the new operation free.
    const std::optional<double> price = parseDecimal(m_price->text());
    const bool noProduct = m_product->text().trimmed().isEmpty();
    const bool noType = m_type->text().trimmed().isEmpty();
    if (noProduct || noType || (m_adding && !price)) {
        m_messages.error(QStringLiteral("Все поля должны быть заполнены!"));
        // The product and the type are chosen through their "..." buttons.
        (noProduct ? m_productButton : noType ? m_typeButton : static_cast<QWidget*>(m_price))->setFocus();
        return;
    }
    const Operation operation{m_typeId, m_kind->currentIndex(), m_productId};
    OperationsBook book(m_dataModule);
    if (!(m_adding ? book.add(operation, *price) : book.change(m_id, operation))) {
        m_messages.error(QStringLiteral("Операция с такими параметрами уже заведена!"));
        m_productButton->setFocus();
        return;
    }
    accept();
}

} // namespace tabel
