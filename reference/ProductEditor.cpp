#include "reference/ProductEditor.h"
#include "common/EditorLayout.h"
#include "common/OneLineTextValidator.h"
#include "common/WindowPlacement.h"

#include "common/DecimalText.h"
#include "common/Messages.h"
#include "db/DataModule.h"
#include "reference/ProductsBook.h"
#include "reference/ProductsRate.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace tabel {

ProductEditor::ProductEditor(DataModule& dataModule, Messages& messages, QWidget* parent)
    : QDialog(parent), m_dataModule(dataModule), m_messages(messages),
      m_guard(messages, dataModule.database())
{
    setObjectName(QStringLiteral("TForm7"));
    setWindowTitle(QStringLiteral("Изделие"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* group = new QGroupBox(QStringLiteral("Данные об изделии"), this);
    m_grade = new QLineEdit(group);
    m_grade->setObjectName(QStringLiteral("Edit1"));
    m_grade->setValidator(new OneLineTextValidator(254, m_grade));
    m_grade->setMinimumWidth(289);
    m_rate = new QLineEdit(group);
    m_rate->setObjectName(QStringLiteral("Edit2"));
    m_rate->setFixedWidth(49);
    m_rate->setValidator(new RateValidator(m_rate));
    m_class = new QComboBox(group);
    m_class->setObjectName(QStringLiteral("cb_item"));
    // The list has no label on the form; screen readers still need to say what it is.
    m_class->setAccessibleName(QStringLiteral("Класс изделия"));
    m_class->setMinimumWidth(241);
    m_class->setMaxVisibleItems(10);

    auto* gradeLabel = new QLabel(QStringLiteral("&Марка"), group);
    gradeLabel->setBuddy(m_grade);
    auto* rateLabel = new QLabel(QStringLiteral("&Расценка"), group);
    rateLabel->setBuddy(m_rate);
    auto* grid = new QGridLayout(group);
    grid->addWidget(gradeLabel, 0, 0);
    grid->addWidget(m_grade, 0, 1);
    grid->addWidget(rateLabel, 0, 2);
    grid->addWidget(m_rate, 0, 3);
    grid->addWidget(m_class, 1, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);

    layOutEditor(*this, group, m_guard.slot([this] { save(); }));
    resize(460, 131);
}

void ProductEditor::reloadClasses()
{
    // Reloaded at every opening, as classes are kept by another application; the entry chosen
    // before stays chosen when it is still listed.
    const QVariant chosen = m_class->currentData();
    m_class->clear();
    QSqlQuery rows = m_dataModule.database().execute(
        QStringLiteral("select id, s_caption from cmn_classifier.item where id_level=2 order by s_caption"));
    while (rows.next())
        m_class->addItem(rows.value(1).toString(), rows.value(0).toInt());
    m_class->setCurrentIndex(chosen.isValid() ? m_class->findData(chosen) : -1);
}

void ProductEditor::prepareAdd()
{
    m_adding = true;
    m_id = 0;
    setWindowTitle(QStringLiteral("Заведение нового изделия"));
    m_grade->clear();
    m_rate->clear();
    reloadClasses();
}

void ProductEditor::prepareChange(int id, const QString& grade, const QVariant& rate, const QVariant& classId)
{
    m_adding = false;
    m_id = id;
    setWindowTitle(QStringLiteral("Изменение данных изделия"));
    m_grade->setText(grade.trimmed());
    m_rate->setText(rateText(rate));
    reloadClasses();
    const int key = classId.toInt();
    m_class->setCurrentIndex(key == 0 ? -1 : m_class->findData(key));
}

void ProductEditor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOpener(*this);
    m_grade->setFocus();
}

void ProductEditor::save()
{
    const QString grade = m_grade->text().trimmed();
    const QString typedRate = m_rate->text().trimmed();
    if (grade.isEmpty() || typedRate.isEmpty() || m_class->currentIndex() < 0) {
        m_messages.error(QStringLiteral("Все поля должны быть заполнены!"));
        (grade.isEmpty()       ? static_cast<QWidget*>(m_grade)
         : typedRate.isEmpty() ? static_cast<QWidget*>(m_rate)
                               : m_class)
            ->setFocus();
        return;
    }
    const std::optional<double> rate = parseDecimal(typedRate);
    if (!rate) {
        m_messages.error(QStringLiteral("Расценка должна быть числом, например 12.5!"));
        m_rate->setFocus();
        return;
    }
    // The column holds 22 digits before the decimal mark.
    if (*rate >= 1e22) {
        m_messages.error(QStringLiteral("Расценка слишком велика!"));
        m_rate->setFocus();
        return;
    }
    const ProductData product{grade, *rate, m_class->currentData().toInt()};
    ProductsBook book(m_dataModule);
    if (!(m_adding ? book.add(product) : book.change(m_id, product))) {
        m_messages.error(QStringLiteral("Такая марка изделия уже заведена!"));
        m_grade->setFocus();
        m_grade->selectAll();
        return;
    }
    accept();
}

} // namespace tabel
