#include "reference/OperationTypeEditor.h"
#include "common/EditorLayout.h"
#include "common/OneLineTextValidator.h"
#include "common/WindowPlacement.h"

#include "common/Messages.h"
#include "db/DataModule.h"
#include "reference/OperationTypesBook.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tabel {

OperationTypeEditor::OperationTypeEditor(DataModule& dataModule, Messages& messages, QWidget* parent)
    : QDialog(parent), m_dataModule(dataModule), m_messages(messages),
      m_guard(messages, dataModule.database())
{
    setObjectName(QStringLiteral("TForm9"));
    // The list window sets the caption of each opening; this one is seen only before the first.
    setWindowTitle(QStringLiteral("Вид операции"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* group = new QGroupBox(QStringLiteral("Вид операции"), this);
    m_name = new QLineEdit(group);
    m_name->setObjectName(QStringLiteral("Edit1"));
    m_name->setValidator(new OneLineTextValidator(50, m_name));
    m_name->setMinimumWidth(337);
    auto* label = new QLabel(QStringLiteral("&Операция"), group);
    label->setBuddy(m_name);
    auto* row = new QHBoxLayout(group);
    row->addWidget(label);
    row->addWidget(m_name, 1);

    layOutEditor(*this, group, m_guard.slot([this] { save(); }));
}

void OperationTypeEditor::prepareAdd()
{
    m_adding = true;
    m_id = 0;
    setWindowTitle(QStringLiteral("Заведение нового вида операций"));
    m_name->clear();
}

void OperationTypeEditor::prepareChange(int id, const QString& name)
{
    m_adding = false;
    m_id = id;
    setWindowTitle(QStringLiteral("Изменение данных вида операции"));
    m_name->setText(name.trimmed());
}

void OperationTypeEditor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOpener(*this);
    m_name->setFocus();
}

void OperationTypeEditor::save()
{
    const QString name = m_name->text().trimmed();
    if (name.isEmpty()) {
        m_messages.error(QStringLiteral("Все поля должны быть заполнены!"));
        m_name->setFocus();
        return;
    }
    OperationTypesBook book(m_dataModule);
    if (!(m_adding ? book.add(name) : book.change(m_id, name))) {
        m_messages.error(QStringLiteral("Такая операция уже заведена!"));
        m_name->setFocus();
        m_name->selectAll();
        return;
    }
    accept();
}

} // namespace tabel
