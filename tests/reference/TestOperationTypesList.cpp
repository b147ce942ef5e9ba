#include "db/DataModule.h"
#include "reference/OperationTypeEditor.h"
#include "reference/OperationTypesListWindow.h"
#include "support/GuiTestCase.h"
#include "support/GuiTestMain.h"
#include "support/ModalDriver.h"
#include "support/TestDatabase.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace tabel;

namespace {
// Гибка has an operation with a production record, Резка an operation only.
const char* const fixture = R"(
insert into accounts_dep.vid_oper (id, vid) values
  (1, 'Гибка'), (2, 'Резка'), (3, 'Сварка'), (4, 'сверловка'), (5, 'Покраска');
select setval(pg_get_serial_sequence('accounts_dep.vid_oper', 'id'), 100);
insert into accounts_dep.oper (id, vid, naimen, i_id, cena) values (1, 1, 0, 1, 1), (2, 2, 0, 1, 1);
select setval(pg_get_serial_sequence('accounts_dep.oper', 'id'), 100);
insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok)
  values (1, 1, 1, 1, 1, 0, '2024-03-05', 1, 0, 1, 'no');
)";

const QStringList allTypes{"Гибка", "Покраска", "Резка", "Сварка", "сверловка"};
const QString duplicate = QStringLiteral("Такая операция уже заведена!");
} // namespace

class TestOperationTypesList : public GuiTestCase
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    ModalDriver m_driver;
    std::unique_ptr<DataModule> m_module;
    std::unique_ptr<OperationTypeEditor> m_editor;
    std::unique_ptr<OperationTypesListWindow> m_list;

    QStringList names()
    {
        QStringList result;
        StaticQuery& types = m_module->operationTypes();
        for (int row = 0; row < types.rowCount(); ++row)
            result << types.value(row, QStringLiteral("vid")).toString();
        return result;
    }
    int count(const QString& sql, const SqlParams& params = {}) { return m_db->count(sql, params); }
    int stored(const QString& name)
    {
        return count(QStringLiteral("select count(*) from accounts_dep.vid_oper where vid=:v"),
                     {{":v", name}});
    }

    // Lets fill type into the editor as it stands, presses Enter in the name box and answers
    // whether the editor closed with a save; a refused save is cancelled.
    bool saveInEditor(const std::function<void()>& fill)
    {
        m_driver.whenOpen([&](QWidget*) {
            fill();
            QTest::keyClick(m_editor->nameBox(), Qt::Key_Return);
        });
        return m_editor->exec() == QDialog::Accepted;
    }
    void inEditList(const std::function<void(QWidget*)>& body)
    {
        bool ran = false;
        m_driver.whenOpen([&](QWidget* list) {
            ran = true;
            body(list);
        });
        m_list->openForEdit();
        QVERIFY(ran);
    }
    void selectId(int id) { m_list->selectRow(m_module->operationTypes().find(QStringLiteral("id"), id)); }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("operation_types"));
        m_db->run(QString::fromUtf8(fixture));
        startCase(&m_db->database());
        m_module = std::make_unique<DataModule>(m_db->database());
        m_editor = std::make_unique<OperationTypeEditor>(*m_module, m_messages);
        m_list = std::make_unique<OperationTypesListWindow>(*m_module, m_messages, *m_editor);
    }
    void cleanup()
    {
        QVERIFY(!m_driver.failed());
        finishCase();
        m_list.reset();
        m_editor.reset();
        m_module.reset();
        m_db.reset();
    }

    void bothModes_data()
    {
        QTest::addColumn<bool>("selecting");
        QTest::addColumn<QString>("secondCaption");
        QTest::newRow("edit") << false << QStringLiteral("Изменить");
        QTest::newRow("selection") << true << QStringLiteral("Выбрать");
    }
    void bothModes()
    {
        QFETCH(bool, selecting);
        QFETCH(QString, secondCaption);
        bool checked = false;
        m_driver.whenOpen([&](QWidget* window) {
            checked = true;
            QCOMPARE(window->objectName(), QStringLiteral("TForm8"));
            QCOMPARE(window->windowTitle(), QStringLiteral("Виды операций"));
            QCOMPARE(m_list->secondButton()->text(), secondCaption);
            QCOMPARE(m_list->secondButton()->isDefault(), selecting);
            QCOMPARE(m_list->addButton()->isDefault(), !selecting);
            QCOMPARE(m_list->addButton()->isVisible(), !selecting);
            QCOMPARE(m_list->deleteButton()->isVisible(), !selecting);
            QCOMPARE(m_list->filterBox()->isVisible(), selecting);
            if (selecting) {
                QCOMPARE(window->focusWidget(), m_list->filterBox());
                QVERIFY(m_list->filterBox()->y() > m_list->grid()->geometry().bottom());
            }
            const QHeaderView& header = *m_list->grid()->horizontalHeader();
            QCOMPARE(header.count() - header.hiddenSectionCount(), 1);
            QCOMPARE(m_list->grid()->model()->headerData(header.logicalIndex(0), Qt::Horizontal).toString(),
                     QStringLiteral("Операции"));
            QCOMPARE(names(), allTypes);
            QTest::keyClick(window, Qt::Key_Escape);
        });
        if (selecting)
            QVERIFY(!m_list->pick());
        else
            m_list->openForEdit();
        QVERIFY(checked);
        QVERIFY(!m_module->operationTypes().isOpen());
    }

    void pickByTypedPrefixAndEnter()
    {
        m_driver.whenOpen([&](QWidget*) {
            typeText(m_list->filterBox(), QStringLiteral("св"));
            QCOMPARE(names(), (QStringList{"Сварка", "сверловка"}));
            // The box keeps only typing: caret keys and Delete do nothing there.
            QTest::keyClick(m_list->filterBox(), Qt::Key_Home);
            QTest::keyClick(m_list->filterBox(), Qt::Key_Delete);
            QCOMPARE(m_list->filterBox()->text(), QStringLiteral("св"));
            QTest::keyClick(m_list->filterBox(), Qt::Key_Down);
            QTest::keyClick(m_list->filterBox(), Qt::Key_Return);
        });
        const std::optional<ListChoice> choice = m_list->pick();
        QVERIFY(choice);
        QCOMPARE(choice->text, QStringLiteral("сверловка"));
        QCOMPARE(choice->id, 4);
        QVERIFY(m_messages.shown().isEmpty());
    }

    void emptyFilteredListIsRefusedAndEscapeHandsNothingBack()
    {
        bool stayedOpen = false;
        m_driver.whenOpen([&](QWidget* window) {
            typeText(m_list->filterBox(), QStringLiteral("Щ"));
            QCOMPARE(m_module->operationTypes().rowCount(), 0);
            QTest::keyClick(m_list->filterBox(), Qt::Key_Return);
            stayedOpen = window->isVisible();
            QTest::keyClick(m_list->filterBox(), Qt::Key_Escape);
        });
        QVERIFY(!m_list->pick());
        QVERIFY(stayedOpen);
        QCOMPARE(m_messages.shown().size(), 1);
        QCOMPARE(m_messages.shown().at(0).caption, QStringLiteral("Ошибка"));
        QCOMPARE(m_messages.shown().at(0).icon, MessageIcon::Error);

        // A filter typed while picking does not hide rows in edit mode, where its box is hidden.
        m_driver.whenOpen([&](QWidget*) {
            typeText(m_list->filterBox(), QStringLiteral("Г"));
            QTest::keyClick(m_list->filterBox(), Qt::Key_Escape);
        });
        QVERIFY(!m_list->pick());
        inEditList([&](QWidget*) { QCOMPARE(names(), allTypes); });
    }

    void editorRefusesBlankAndDuplicateNames_data()
    {
        QTest::addColumn<int>("changeId"); // 0: add
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message"); // empty: saved
        QTest::newRow("add, blanks only") << 0 << "   " << QStringLiteral("Все поля должны быть заполнены!");
        QTest::newRow("add, other case and blanks") << 0 << "  гибка " << duplicate;
        QTest::newRow("add, new name trimmed") << 0 << "  Фрезеровка  " << QString();
        QTest::newRow("change to another's name") << 3 << "резка" << duplicate;
        QTest::newRow("change to own name, other case") << 3 << " СВАРКА " << QString();
    }
    void editorRefusesBlankAndDuplicateNames()
    {
        QFETCH(int, changeId);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        if (changeId == 0)
            m_editor->prepareAdd();
        else
            m_editor->prepareChange(changeId, QStringLiteral("Сварка"));
        const int before = count(QStringLiteral("select count(*) from accounts_dep.vid_oper"));
        const bool saved = saveInEditor([&] {
            m_editor->nameBox()->clear();
            typeText(m_editor->nameBox(), typed);
        });
        QCOMPARE(saved, message.isEmpty());
        QCOMPARE(m_messages.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
        QCOMPARE(count(QStringLiteral("select count(*) from accounts_dep.vid_oper")),
                 before + (saved && changeId == 0 ? 1 : 0));
        QCOMPARE(stored(typed.trimmed()), saved ? 1 : 0);
        if (changeId)
            QCOMPARE(stored(QStringLiteral("Сварка")), saved ? 0 : 1);
    }

    void aRefusalTakesTheUserBackToTheName()
    {
        for (const QString& typed : {QStringLiteral("   "), QStringLiteral("  гибка ")}) {
            m_editor->prepareAdd();
            QWidget* focused = nullptr;
            m_driver.whenOpen([&](QWidget* editor) {
                m_editor->nameBox()->setText(typed);
                QTest::mouseClick(editor->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
                focused = editor->focusWidget();
            });
            QCOMPARE(m_editor->exec(), int(QDialog::Rejected));
            QCOMPARE(m_messages.shown().size(), 1);
            QCOMPARE(focused, m_editor->nameBox());
            m_messages.clear();
        }
    }

    void quotesAndBackslashesSaveAndFilter()
    {
        const QString name = QStringLiteral("О'Брайен \"Т\" \\н");
        m_editor->prepareAdd();
        QVERIFY(saveInEditor([&] { m_editor->nameBox()->setText(name); }));
        QCOMPARE(stored(name), 1);
        m_driver.whenOpen([&](QWidget*) {
            typeText(m_list->filterBox(), QStringLiteral("о'брайен \"т\" \\"));
            QCOMPARE(names(), QStringList{name});
            QTest::keyClick(m_list->filterBox(), Qt::Key_Return);
        });
        const std::optional<ListChoice> choice = m_list->pick();
        QVERIFY(choice);
        QCOMPARE(choice->text, name);
        m_editor->prepareAdd();
        QVERIFY(!saveInEditor([&] { m_editor->nameBox()->setText(name.toLower()); }));
        QCOMPARE(m_messages.texts(), QStringList{duplicate});
    }

    void cursorGoesToFirstRowAfterAddChangeAndDelete()
    {
        inEditList([&](QWidget* list) {
            m_list->selectRow(3);
            m_driver.whenOpen(
                [&](QWidget* editor) {
                    QCOMPARE(editor->objectName(), QStringLiteral("TForm9"));
                    QCOMPARE(editor->windowTitle(), QStringLiteral("Заведение нового вида операций"));
                    QVERIFY(m_editor->nameBox()->text().isEmpty());
                    typeText(m_editor->nameBox(), QStringLiteral("Шлифовка"));
                    QTest::keyClick(m_editor->nameBox(), Qt::Key_Return);
                },
                list);
            QTest::mouseClick(m_list->addButton(), Qt::LeftButton);
            QCOMPARE(names().size(), 6);
            QCOMPARE(m_list->currentRow(), 0);

            selectId(5); // Покраска
            m_driver.whenOpen(
                [&](QWidget* editor) {
                    QCOMPARE(editor->windowTitle(), QStringLiteral("Изменение данных вида операции"));
                    QCOMPARE(m_editor->nameBox()->text(), QStringLiteral("Покраска"));
                    m_editor->nameBox()->setText(QStringLiteral("Окраска"));
                    QTest::keyClick(m_editor->nameBox(), Qt::Key_Return);
                },
                list);
            QTest::mouseClick(m_list->secondButton(), Qt::LeftButton);
            QVERIFY(names().contains(QStringLiteral("Окраска")));
            QCOMPARE(m_list->currentRow(), 0);

            selectId(3); // Сварка: no operations
            m_messages.answerNext(MessageAnswer::Yes);
            QTest::mouseClick(m_list->deleteButton(), Qt::LeftButton);
            QCOMPARE(m_messages.texts(), QStringList{"Удалить вид операции?"});
            QCOMPARE(m_messages.shown().at(0).caption, QStringLiteral("Удаление"));
            QCOMPARE(m_messages.shown().at(0).buttons, MessageButtons::YesNo);
            QVERIFY(!names().contains(QStringLiteral("Сварка")));
            QCOMPARE(m_list->currentRow(), 0);
        });
        QCOMPARE(stored(QStringLiteral("Шлифовка")) + stored(QStringLiteral("Окраска")), 2);
        QCOMPARE(count(QStringLiteral("select count(*) from accounts_dep.vid_oper where id in (3, 5)")), 1);
    }

    void deletionIsRefusedOrDeclinedWithoutChange_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QString>("refusal"); // empty: none shown
        const QString records =
            QStringLiteral("Вид операции нельзя удалить: по его операциям есть записи о выработке.");
        const QString operations = QStringLiteral("Вид операции нельзя удалить: по нему заведены операции.");
        QTest::newRow("production records") << 1 << true << records;
        QTest::newRow("operations only") << 2 << true << operations;
        QTest::newRow("answered No") << 4 << false << QString();
    }
    void deletionIsRefusedOrDeclinedWithoutChange()
    {
        QFETCH(int, id);
        QFETCH(bool, confirmed);
        QFETCH(QString, refusal);
        inEditList([&](QWidget*) {
            selectId(id);
            const int row = m_list->currentRow();
            QVERIFY(row >= 0);
            m_messages.answerNext(confirmed ? MessageAnswer::Yes : MessageAnswer::No);
            QTest::mouseClick(m_list->deleteButton(), Qt::LeftButton);
            QCOMPARE(names(), allTypes);
            QCOMPARE(m_list->currentRow(), row);
        });
        QStringList expected{"Удалить вид операции?"};
        if (!refusal.isEmpty())
            expected << refusal;
        QCOMPARE(m_messages.texts(), expected);
        QCOMPARE(m_messages.shown().last().icon,
                 refusal.isEmpty() ? MessageIcon::Question : MessageIcon::Error);
        QCOMPARE(
            count(QStringLiteral("select count(*) from accounts_dep.vid_oper where id=:id"), {{":id", id}}),
            1);
    }
};

TABEL_GUI_TEST_MAIN(TestOperationTypesList)
#include "TestOperationTypesList.moc"
