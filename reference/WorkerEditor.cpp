#include "reference/WorkerEditor.h"
#include "common/EditorLayout.h"
#include "common/OneLineTextValidator.h"
#include "common/WindowPlacement.h"

#include "common/Messages.h"
#include "db/Database.h"
#include "reference/WorkersBook.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QVBoxLayout>

namespace tabel {

namespace {
// Keeps the chosen entry (by id) across reloads, so that the list shows what it showed before.
void fillLookup(QComboBox& list, Database& database, const QString& sql)
{
    const QVariant chosen = list.currentData();
    list.clear();
    QSqlQuery rows = database.execute(sql);
    while (rows.next())
        list.addItem(rows.value(1).toString(), rows.value(0));
    list.setCurrentIndex(chosen.isValid() ? list.findData(chosen) : -1);
}
} // namespace

WorkerEditor::WorkerEditor(Database& database, Messages& messages, QWidget* parent)
    : QDialog(parent), m_database(database), m_messages(messages), m_guard(messages, database)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Работники"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* group = new QGroupBox(QStringLiteral("Данные о работнике"), this);
    auto* form = new QFormLayout(group);
    m_fullName = new QLineEdit(group);
    m_fullName->setObjectName(QStringLiteral("Edit1"));
    m_fullName->setValidator(new OneLineTextValidator(254, m_fullName));
    m_fullName->setMinimumWidth(358);
    auto makeList = [group](const QString& name) {
        auto* list = new QComboBox(group);
        list->setObjectName(name);
        list->setMaxVisibleItems(10);
        return list;
    };
    m_department = makeList(QStringLiteral("LCB_department"));
    m_position = makeList(QStringLiteral("LCB_staffpos"));
    m_role = makeList(QStringLiteral("LCB_roles"));
    form->addRow(QStringLiteral("&ФИО"), m_fullName);
    form->addRow(QStringLiteral("&Подразделение"), m_department);
    form->addRow(QStringLiteral("&Должность"), m_position);
    form->addRow(QStringLiteral("&Роль"), m_role);

    layOutEditor(*this, group, m_guard.slot([this] { save(); }));
}

void WorkerEditor::reloadLookups()
{
    fillLookup(*m_department, m_database,
               QStringLiteral("select id, s_caption from cmn_department.department order by s_caption"));
    fillLookup(*m_position, m_database,
               QStringLiteral("select id, s_caption from hrms_staffpos.staffpos order by s_caption"));
    fillLookup(*m_role, m_database,
               QStringLiteral("select id, s_caption from adm_role.roles order by s_caption"));
}

void WorkerEditor::prepareAdd()
{
    m_adding = true;
    m_id = 0;
    setWindowTitle(QStringLiteral("Заведение данных нового работника"));
    m_fullName->clear();
    reloadLookups();
}

void WorkerEditor::prepareChange(int id, const QString& fullName, const QString& department)
{
    m_adding = false;
    m_id = id;
    setWindowTitle(QStringLiteral("Изменение данных работника"));
    m_fullName->setText(fullName.trimmed());
    reloadLookups();
    // The worker's own department, not the one chosen for the previous worker: saving
    // untouched must not move anyone to another shop. No match shows nothing.
    m_department->setCurrentIndex(
        m_department->findText(department, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void WorkerEditor::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreOnOpener(*this);
    m_fullName->setFocus();
}

void WorkerEditor::save()
{
    const QString fullName = m_fullName->text().trimmed();
    if (fullName.isEmpty()) {
        m_messages.error(QStringLiteral("ФИО нужно заполнить!"));
        m_fullName->setFocus();
        return;
    }
    const QString department = m_department->currentIndex() >= 0 ? m_department->currentText() : QString();
    WorkersBook book(m_database);
    if (m_adding)
        book.add(fullName, department);
    else
        book.change(m_id, fullName, department);
    accept();
}

} // namespace tabel
