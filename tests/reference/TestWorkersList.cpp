#include "db/DataModule.h"
#include "reference/WorkerEditor.h"
#include "reference/WorkersListWindow.h"
#include "support/GuiTestCase.h"
#include "support/GuiTestMain.h"
#include "support/ModalDriver.h"
#include "support/TestDatabase.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace tabel;

namespace {
const char* const fixture = R"(
insert into cmn_contractor.person (id, s_caption, s_code, s_staffpos_hl) values
  (1, 'Алексеев Виктор', '1', 'Литейный цех'), (2, 'Борисова Анна', '2', 'Цех 2'), (3, 'Волков Артём', '3', ''),
  (4, 'Ёлкин Егор', '4', ''), (5, 'Ежов Олег', '5', '');
select setval(pg_get_serial_sequence('cmn_contractor.person', 'id'), 100);
insert into cmn_department.department (id, s_caption) values (1, 'Литейный цех'), (2, 'Покрасочный цех');
insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok)
  values (2, 1, 1, 1, 1, 0, '2024-03-05', 1, 0, 1, 'no');
)";
} // namespace

class TestWorkersList : public GuiTestCase
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    ModalDriver m_driver;
    std::unique_ptr<DataModule> m_module;
    std::unique_ptr<WorkerEditor> m_editor;
    std::unique_ptr<WorkersListWindow> m_list;

    QStringList names()
    {
        QStringList result;
        StaticQuery& workers = m_module->workers();
        for (int row = 0; row < workers.rowCount(); ++row)
            result << workers.value(row, QStringLiteral("fio")).toString();
        return result;
    }
    int count(const QString& sql, const SqlParams& params = {}) { return m_db->count(sql, params); }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("workers"));
        m_db->run(QString::fromUtf8(fixture));
        startCase(&m_db->database());
        m_module = std::make_unique<DataModule>(m_db->database());
        m_editor = std::make_unique<WorkerEditor>(m_db->database(), m_messages);
        m_list = std::make_unique<WorkersListWindow>(*m_module, m_messages, *m_editor);
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

    void editModeButtons()
    {
        bool checked = false;
        m_driver.onNextModal([&](QWidget* window) {
            checked = true;
            QCOMPARE(window->windowTitle(), QStringLiteral("Список рабочих"));
            QCOMPARE(m_list->secondButton()->text(), QStringLiteral("Изменить"));
            QVERIFY(!m_list->secondButton()->isDefault());
            QVERIFY(m_list->addButton()->isDefault());
            QVERIFY(m_list->addButton()->isVisible());
            QVERIFY(m_list->deleteButton()->isVisible());
            QVERIFY(m_list->filterBox()->isVisible());
            QCOMPARE(names(), (QStringList{"Алексеев Виктор", "Борисова Анна", "Волков Артём", "Ежов Олег",
                                           "Ёлкин Егор"}));
            QTest::keyClick(m_list->filterBox(), Qt::Key_Escape);
        });
        m_list->openForEdit();
        QVERIFY(checked);
        QVERIFY(!m_module->workers().isOpen());
    }

    void pickByPrefixAndEnter()
    {
        std::optional<ListChoice> choice;
        m_driver.onNextModal([&](QWidget*) {
            QCOMPARE(m_list->secondButton()->text(), QStringLiteral("Выбрать"));
            QVERIFY(m_list->secondButton()->isDefault());
            QVERIFY(!m_list->addButton()->isVisible());
            QVERIFY(!m_list->deleteButton()->isVisible());
            typeText(m_list->filterBox(), QStringLiteral("е")); // Ё is the same letter to the filter
            QCOMPARE(names(), (QStringList{"Ежов Олег", "Ёлкин Егор"}));
            m_list->filterBox()->clear();
            typeText(m_list->filterBox(), QStringLiteral("Б"));
            QTest::keyClick(m_list->filterBox(), Qt::Key_Return);
        });
        choice = m_list->pick();
        QVERIFY(choice);
        QCOMPARE(choice->text, QStringLiteral("Борисова Анна"));
        QCOMPARE(choice->id, 2);
    }

    void arrowsMoveCursorFromFilterBox()
    {
        std::optional<ListChoice> choice;
        m_driver.onNextModal([&](QWidget*) {
            QTest::keyClick(m_list->filterBox(), Qt::Key_Down);
            QTest::keyClick(m_list->filterBox(), Qt::Key_Down);
            QTest::keyClick(m_list->filterBox(), Qt::Key_Up);
            QTest::keyClick(m_list->filterBox(), Qt::Key_Return);
        });
        choice = m_list->pick();
        QVERIFY(choice);
        QCOMPARE(choice->id, 2);
    }

    void escapeOrEmptyListHandsNothingBack()
    {
        m_driver.onNextModal([&](QWidget*) { QTest::keyClick(m_list->filterBox(), Qt::Key_Escape); });
        QVERIFY(!m_list->pick());

        m_driver.onNextModal([&](QWidget*) {
            typeText(m_list->filterBox(), QStringLiteral("Щ"));
            QCOMPARE(m_module->workers().rowCount(), 0);
            QTest::keyClick(m_list->filterBox(), Qt::Key_Return);
        });
        QVERIFY(!m_list->pick());
        QVERIFY(!m_list->isVisible());
        QVERIFY(m_messages.shown().isEmpty());
    }

    void addValidatesTrimsAndReloadsToFirstRow()
    {
        m_driver.onNextModal([&](QWidget* list) {
            m_list->selectRow(3);
            m_driver.onNextModal(
                [&](QWidget* editor) {
                    QCOMPARE(editor->windowTitle(), QStringLiteral("Заведение данных нового работника"));
                    typeText(m_editor->fullNameBox(), QStringLiteral("   "));
                    QTest::keyClick(m_editor->fullNameBox(), Qt::Key_Return);
                    QCOMPARE(m_messages.texts(), QStringList{"ФИО нужно заполнить!"});
                    QVERIFY(editor->isVisible());
                    // Enter from another box takes the user back to the name.
                    m_editor->departmentList()->setFocus();
                    QTest::keyClick(m_editor->departmentList(), Qt::Key_Return);
                    QCOMPARE(m_messages.texts().size(), 2);
                    QCOMPARE(editor->focusWidget(), m_editor->fullNameBox());
                    m_editor->fullNameBox()->setText(QStringLiteral("  О'Брайен Патрик  "));
                    QCOMPARE(m_editor->departmentList()->currentIndex(), -1);
                    QTest::keyClick(m_editor->fullNameBox(), Qt::Key_Return);
                },
                list);
            QTest::mouseClick(m_list->addButton(), Qt::LeftButton);
            QCOMPARE(m_list->currentRow(), 0);
            // The apostrophe filters like any other character.
            typeText(m_list->filterBox(), QStringLiteral("о'б"));
            QCOMPARE(names(), QStringList{"О'Брайен Патрик"});
            m_list->reject();
        });
        m_list->openForEdit();
        QCOMPARE(m_messages.texts(), (QStringList{"ФИО нужно заполнить!", "ФИО нужно заполнить!"}));
        QCOMPARE(
            count(QStringLiteral("select count(*) from accounts_dep.person where fio = 'О''Брайен Патрик' "
                                 "and s_staffpos_hl = ''")),
            1);
    }

    void changeKeepsCursorRowAndStoresDepartment()
    {
        m_driver.onNextModal([&](QWidget* list) {
            m_list->selectRow(2); // Волков
            m_driver.onNextModal(
                [&](QWidget* editor) {
                    QCOMPARE(editor->windowTitle(), QStringLiteral("Изменение данных работника"));
                    QCOMPARE(m_editor->fullNameBox()->text(), QStringLiteral("Волков Артём"));
                    m_editor->fullNameBox()->setText(QStringLiteral("Яковлев Артём"));
                    m_editor->departmentList()->setCurrentIndex(1);
                    QTest::keyClick(m_editor->fullNameBox(), Qt::Key_Return);
                },
                list);
            QTest::mouseClick(m_list->secondButton(), Qt::LeftButton);
            QCOMPARE(m_list->currentRow(), 2); // the same row number, though the name now sorts last
            QCOMPARE(names().last(), QStringLiteral("Яковлев Артём"));
            m_list->reject();
        });
        m_list->openForEdit();
        QCOMPARE(
            count(QStringLiteral("select count(*) from accounts_dep.person where id = 3 and fio = 'Яковлев "
                                 "Артём' and s_staffpos_hl = 'Покрасочный цех'")),
            1);
    }

    // The department list was last set for someone else; opening a worker shows their own.
    void changeShowsTheWorkersOwnDepartment_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("shown"); // what the list shows, and what saving keeps
        QTest::newRow("a department's caption") << 0 << "Литейный цех";
        QTest::newRow("a text no department has") << 1 << "";
    }
    void changeShowsTheWorkersOwnDepartment()
    {
        QFETCH(int, row);
        QFETCH(QString, shown);
        m_editor->prepareAdd();
        m_editor->departmentList()->setCurrentIndex(
            m_editor->departmentList()->findText(QStringLiteral("Покрасочный цех")));
        m_driver.onNextModal([&](QWidget* list) {
            m_list->selectRow(row);
            m_driver.onNextModal(
                [&](QWidget*) {
                    QCOMPARE(m_editor->windowTitle(), QStringLiteral("Изменение данных работника"));
                    QCOMPARE(m_editor->departmentList()->currentText(), shown);
                    QCOMPARE(m_editor->departmentList()->currentIndex() >= 0, !shown.isEmpty());
                    QTest::keyClick(m_editor->fullNameBox(), Qt::Key_Return);
                },
                list);
            // Enter on the focused "Изменить", not on the default "Добавить".
            m_list->secondButton()->setFocus();
            QTest::keyClick(m_list->secondButton(), Qt::Key_Return);
            m_list->reject();
        });
        m_list->openForEdit();
        QCOMPARE(count(QStringLiteral("select count(*) from accounts_dep.person where id = :id and "
                                      "s_staffpos_hl = :shown"),
                       {{":id", row + 1}, {":shown", shown}}),
                 1);
        QVERIFY(m_messages.shown().isEmpty());
    }

    void deleteAsksAndRefusesWorkerWithRecords()
    {
        m_driver.onNextModal([&](QWidget*) {
            m_list->selectRow(1); // Борисова has a production record
            m_messages.answerNext(MessageAnswer::Yes);
            QTest::mouseClick(m_list->deleteButton(), Qt::LeftButton);
            QCOMPARE(m_messages.shown().size(), 2);
            QCOMPARE(m_messages.shown().at(0).text, QStringLiteral("Удалить работника?"));
            QCOMPARE(m_messages.shown().at(0).caption, QStringLiteral("Удаление"));
            QCOMPARE(m_messages.shown().at(1).caption, QStringLiteral("Ошибка"));
            QCOMPARE(names().size(), 5);

            m_list->selectRow(2);
            m_messages.answerNext(MessageAnswer::No);
            QTest::mouseClick(m_list->deleteButton(), Qt::LeftButton);
            QCOMPARE(names().size(), 5);

            m_messages.answerNext(MessageAnswer::Yes);
            QTest::mouseClick(m_list->deleteButton(), Qt::LeftButton);
            QCOMPARE(names().size(), 4);
            QCOMPARE(m_list->currentRow(), 2);
            m_list->reject();
        });
        m_list->openForEdit();
        QCOMPARE(count(QStringLiteral("select count(*) from cmn_contractor.person where id in (2, 3)")), 1);
    }
};

TABEL_GUI_TEST_MAIN(TestWorkersList)
#include "TestWorkersList.moc"
