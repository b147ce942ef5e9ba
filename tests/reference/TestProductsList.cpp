#include "db/DataModule.h"
#include "reference/ProductEditor.h"
#include "reference/ProductsListWindow.h"
#include "support/GuiTestCase.h"
#include "support/GuiTestMain.h"
#include "support/ModalDriver.h"
#include "support/TestDatabase.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

using namespace tabel;

namespace {
// Гайка has no class; Винт was written by another program with other fixed columns.
const char* const fixture = R"(
insert into cmn_classifier.item (id, id_level, s_caption) values
  (1, 2, 'Трубы'), (2, 2, 'Арматура'), (3, 1, 'Металлопрокат');
select setval('cmn_classifier.item_id_seq', 100);
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa, id_class_item) values
  (1, 'Болт М8', '', 6, 2.5, 1), (2, 'Винт', 'старое', 9, 1, 2), (3, 'Гайка', '', 6, 0.75, null),
  (4, 'Шайба', '', 6, 3, 1);
select setval('cmn_gds_and_srv.gds_and_srv_id_seq', 100);
)";

const QString allFilled = QStringLiteral("Все поля должны быть заполнены!");
const QString duplicate = QStringLiteral("Такая марка изделия уже заведена!");
} // namespace

class TestProductsList : public GuiTestCase
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    ModalDriver m_driver;
    std::unique_ptr<DataModule> m_module;
    std::unique_ptr<ProductEditor> m_editor;
    std::unique_ptr<ProductsListWindow> m_list;

    QStringList grades()
    {
        QStringList result;
        StaticQuery& products = m_module->products();
        for (int row = 0; row < products.rowCount(); ++row)
            result << products.value(row, QStringLiteral("marka")).toString();
        return result;
    }
    int count(const QString& sql, const SqlParams& params = {}) { return m_db->count(sql, params); }
    int products() { return count(QStringLiteral("select count(*) from cmn_gds_and_srv.gds_and_srv")); }

    // Runs the editor as it stands (prepared by the caller), lets fill type into it and
    // presses Enter. True when the editor closed with a save; a refused save is cancelled.
    QWidget* m_focusAfterSave = nullptr;
    bool saveInEditor(const std::function<void()>& fill)
    {
        m_driver.whenOpen([&](QWidget* editor) {
            fill();
            QTest::keyClick(m_editor->gradeBox(), Qt::Key_Return);
            m_focusAfterSave = editor->focusWidget();
        });
        return m_editor->exec() == QDialog::Accepted;
    }
    // Opens the list in edit mode, runs body inside it and closes it.
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
    void clickInList(QWidget* list, QPushButton* button, const std::function<void()>& fill)
    {
        m_driver.whenOpen(
            [&](QWidget*) {
                fill();
                QTest::keyClick(m_editor->gradeBox(), Qt::Key_Return);
            },
            list);
        QTest::mouseClick(button, Qt::LeftButton);
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("products"));
        m_db->run(QString::fromUtf8(fixture));
        startCase(&m_db->database());
        m_module = std::make_unique<DataModule>(m_db->database());
        m_editor = std::make_unique<ProductEditor>(*m_module, m_messages);
        m_list = std::make_unique<ProductsListWindow>(*m_module, m_messages, *m_editor);
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
            QCOMPARE(window->objectName(), QStringLiteral("TForm3"));
            QCOMPARE(window->windowTitle(), QStringLiteral("Изделия"));
            QCOMPARE(m_list->secondButton()->text(), secondCaption);
            QCOMPARE(m_list->secondButton()->isDefault(), selecting);
            QCOMPARE(m_list->addButton()->isDefault(), !selecting);
            QCOMPARE(m_list->addButton()->isVisible(), !selecting);
            QVERIFY(!m_list->deleteButton()->isVisible());
            QCOMPARE(window->focusWidget(), m_list->filterBox());
            // The filter box lies below the grid, not in the button row.
            QVERIFY(m_list->filterBox()->y() > m_list->grid()->geometry().bottom());
            QVERIFY(m_list->filterBox()->y() < m_list->exitButton()->y());
            const QHeaderView& header = *m_list->grid()->horizontalHeader();
            QCOMPARE(header.count() - header.hiddenSectionCount(), 2);
            QCOMPARE(m_list->grid()->model()->headerData(header.logicalIndex(0), Qt::Horizontal).toString(),
                     QStringLiteral("Марка изделия"));
            QCOMPARE(m_list->grid()->model()->headerData(header.logicalIndex(1), Qt::Horizontal).toString(),
                     QStringLiteral("Коробки"));
            QCOMPARE(grades(), (QStringList{"Болт М8", "Винт", "Гайка", "Шайба"}));
            QTest::keyClick(m_list->filterBox(), Qt::Key_Escape);
        });
        if (selecting)
            QVERIFY(!m_list->pick());
        else
            m_list->openForEdit();
        QVERIFY(checked);
        QVERIFY(!m_module->products().isOpen());
    }

    // A list longer than the window, so that the vertical scrollbar takes its room too.
    void columnsFitALongList()
    {
        m_db->run(
            QStringLiteral("insert into cmn_gds_and_srv.gds_and_srv (s_caption, s_description, id_msm_bs, "
                           "massa, id_class_item) select 'Изделие ' || n, '', 6, 0.125, 1 "
                           "from generate_series(1, 60) as n"));
        bool checked = false;
        m_driver.onNextModal([&](QWidget*) {
            checked = true;
            QTableView& grid = *m_list->grid();
            const QHeaderView& header = *grid.horizontalHeader();
            QVERIFY(grid.verticalScrollBar()->isVisible());
            for (int visual : {0, 1}) // both titles whole
                QVERIFY(header.sectionSize(header.logicalIndex(visual)) >=
                        header.sectionSizeHint(header.logicalIndex(visual)));
            QVERIFY(header.length() <= grid.viewport()->width());
            QVERIFY(!grid.horizontalScrollBar()->isVisible());
            QTest::keyClick(m_list->filterBox(), Qt::Key_Escape);
        });
        m_list->openForEdit();
        QVERIFY(checked);
    }

    void pickByTypedPrefixAndEnter()
    {
        m_db->run(QStringLiteral("update cmn_gds_and_srv.gds_and_srv set s_caption='Шайба  ' where id=4"));
        m_driver.whenOpen([&](QWidget*) {
            typeText(m_list->filterBox(), QStringLiteral("г"));
            QCOMPARE(grades(), QStringList{"Гайка"});
            // Only the arrows belong to the list: the caret keys still move in the box.
            QTest::keyClick(m_list->filterBox(), Qt::Key_Home);
            QCOMPARE(m_list->filterBox()->cursorPosition(), 0);
            QTest::keyClick(m_list->filterBox(), Qt::Key_Delete);
            QCOMPARE(grades().size(), 4);
            typeText(m_list->filterBox(), QStringLiteral("Ша"));
            QTest::keyClick(m_list->filterBox(), Qt::Key_Return);
        });
        const std::optional<ListChoice> choice = m_list->pick();
        QVERIFY(choice);
        QCOMPARE(choice->text, QStringLiteral("Шайба"));
        QCOMPARE(choice->id, 4);
        QVERIFY(m_messages.shown().isEmpty());
    }

    void emptyFilteredListIsRefusedAndEscapeHandsNothingBack()
    {
        bool stayedOpen = false;
        m_driver.whenOpen([&](QWidget* window) {
            typeText(m_list->filterBox(), QStringLiteral("Щ"));
            QCOMPARE(m_module->products().rowCount(), 0);
            QTest::keyClick(m_list->filterBox(), Qt::Key_Return);
            stayedOpen = window->isVisible();
            QTest::keyClick(m_list->filterBox(), Qt::Key_Escape);
        });
        QVERIFY(!m_list->pick());
        QVERIFY(stayedOpen);
        QCOMPARE(m_messages.shown().size(), 1);
        QCOMPARE(m_messages.shown().at(0).caption, QStringLiteral("Ошибка"));
        QCOMPARE(m_messages.shown().at(0).icon, MessageIcon::Error);
    }

    void incompleteOrMalformedInputIsRefused_data()
    {
        QTest::addColumn<int>("changeId"); // 0: add
        QTest::addColumn<QString>("grade");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<int>("classIndex"); // -1: none chosen, -2: as the change mode loaded it
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus"); // the first box to put right
        const QString notANumber = QStringLiteral("Расценка должна быть числом, например 12.5!");
        // clang-format off
        QTest::newRow("blank grade")        << 0 << "   "     << "1"     << 0  << allFilled  << "Edit1";
        QTest::newRow("no rate")            << 0 << "Гвоздь"  << ""      << 0  << allFilled  << "Edit2";
        QTest::newRow("no class yet")       << 0 << "Гвоздь"  << "1"     << -1 << allFilled  << "cb_item";
        QTest::newRow("stored class empty") << 3 << "Гайка"   << "0.75"  << -2 << allFilled  << "cb_item";
        QTest::newRow("two points")         << 0 << "Гвоздь"  << "1.2.3" << 0  << notANumber << "Edit2";
        QTest::newRow("lone point")         << 1 << "Болт М8" << ","     << -2 << notANumber << "Edit2";
        // clang-format on
    }
    void incompleteOrMalformedInputIsRefused()
    {
        QFETCH(int, changeId);
        QFETCH(QString, grade);
        QFETCH(QString, rate);
        QFETCH(int, classIndex);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        if (changeId == 0)
            m_editor->prepareAdd();
        else
            m_editor->prepareChange(
                changeId, grade, QVariant(),
                m_db->database().readValue(
                    QStringLiteral("select id_class_item from accounts_dep.izdel where id=:id"),
                    QStringLiteral("id_class_item"), {{":id", changeId}}));
        const QString before =
            QStringLiteral("select string_agg(concat_ws('|', s_caption, massa, id_class_item), "
                           "';' order by id) from cmn_gds_and_srv.gds_and_srv");
        const QString stored = m_db->database().readValue(before, QStringLiteral("string_agg")).toString();
        QVERIFY(!saveInEditor([&] {
            m_editor->gradeBox()->setText(grade);
            m_editor->rateBox()->clear();
            typeText(m_editor->rateBox(), rate);
            if (classIndex != -2)
                m_editor->classList()->setCurrentIndex(classIndex);
        }));
        QCOMPARE(m_messages.texts(), QStringList{message});
        QCOMPARE(m_messages.shown().at(0).caption, QStringLiteral("Ошибка"));
        QVERIFY(m_focusAfterSave);
        QCOMPARE(m_focusAfterSave->objectName(), focus);
        QCOMPARE(m_db->database().readValue(before, QStringLiteral("string_agg")).toString(), stored);
    }

    void duplicateGradeIgnoresCaseAndBlanksButNotItself_data()
    {
        QTest::addColumn<int>("changeId"); // 0: add
        QTest::addColumn<QString>("grade");
        QTest::addColumn<bool>("refused");
        QTest::newRow("add, other case and blanks") << 0 << "  болт м8 " << true;
        QTest::newRow("add, upper case") << 0 << "ГАЙКА" << true;
        QTest::newRow("add, new grade") << 0 << "Болт М10" << false;
        QTest::newRow("change to another's grade") << 2 << "ШАЙБА" << true;
        QTest::newRow("change to own grade, other case") << 1 << " болт м8" << false;
    }
    void duplicateGradeIgnoresCaseAndBlanksButNotItself()
    {
        QFETCH(int, changeId);
        QFETCH(QString, grade);
        QFETCH(bool, refused);
        if (changeId == 0)
            m_editor->prepareAdd();
        else
            m_editor->prepareChange(changeId, QString(), 1, 2);
        const int before = products();
        const bool saved = saveInEditor([&] {
            m_editor->gradeBox()->setText(grade);
            m_editor->rateBox()->setText(QStringLiteral("4"));
            m_editor->classList()->setCurrentIndex(0);
        });
        QCOMPARE(saved, !refused);
        QCOMPARE(m_messages.texts(), refused ? QStringList{duplicate} : QStringList{});
        QCOMPARE(products(), before + (saved && changeId == 0 ? 1 : 0));
        QCOMPARE(count(QStringLiteral("select count(*) from accounts_dep.izdel where marka=:m and massa=4"),
                       {{":m", grade.trimmed()}}),
                 saved ? 1 : 0);
    }

    void rateKeysAndBothDecimalMarksStoreTheSameNumber_data()
    {
        QTest::addColumn<int>("changeId"); // 0: add
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("add, comma")                      << 0 << "12,5"    << "12.5";
        QTest::newRow("add, point")                      << 0 << "12.5"    << "12.5";
        QTest::newRow("add, letters and blanks dropped") << 0 << "1a2 ю,5" << "12.5";
        QTest::newRow("change, comma")                   << 2 << "12,5"    << "12.5";
        QTest::newRow("change, point")                   << 2 << "12.5"    << "12.5";
        // clang-format on
    }
    void rateKeysAndBothDecimalMarksStoreTheSameNumber()
    {
        QFETCH(int, changeId);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        // Винт (id 2) was written by another program with another description and unit.
        const QString grade = changeId == 0 ? QStringLiteral("Гвоздь") : QStringLiteral("Винт");
        if (changeId == 0)
            m_editor->prepareAdd();
        else
            m_editor->prepareChange(changeId, grade, 1, 2);
        QVERIFY(saveInEditor([&] {
            m_editor->gradeBox()->setText(grade);
            m_editor->rateBox()->clear();
            typeText(m_editor->rateBox(), typed + QStringLiteral("9"));
            QTest::keyClick(m_editor->rateBox(), Qt::Key_Backspace);
            QCOMPARE(m_editor->rateBox()->text(), shown);
            m_editor->classList()->setCurrentIndex(m_editor->classList()->findText(QStringLiteral("Трубы")));
        }));
        QVERIFY(m_messages.shown().isEmpty());
        // Every product this editor writes carries the same fixed description and unit.
        QCOMPARE(
            count(QStringLiteral("select count(*) from cmn_gds_and_srv.gds_and_srv where s_caption=:m and "
                                 "massa=12.5 and id_class_item=1 and s_description='' and id_msm_bs=6"),
                  {{":m", grade}}),
            1);
    }

    void quotesAndBackslashesSaveAndFilter()
    {
        const QString grade = QStringLiteral("О'Нил \"Люкс\" \\1");
        m_editor->prepareAdd();
        QVERIFY(saveInEditor([&] {
            m_editor->gradeBox()->setText(QStringLiteral(" ") + grade + QStringLiteral(" "));
            m_editor->rateBox()->setText(QStringLiteral("1"));
            m_editor->classList()->setCurrentIndex(0);
        }));
        QCOMPARE(
            count(QStringLiteral("select count(*) from accounts_dep.izdel where marka=:m"), {{":m", grade}}),
            1);
        m_driver.whenOpen([&](QWidget*) {
            typeText(m_list->filterBox(), QStringLiteral("о'нил \"л"));
            QCOMPARE(grades(), QStringList{grade});
            QTest::keyClick(m_list->filterBox(), Qt::Key_Return);
        });
        const std::optional<ListChoice> choice = m_list->pick();
        QVERIFY(choice);
        QCOMPARE(choice->text, grade);
        // The same grade again is a duplicate, whatever characters it holds.
        m_editor->prepareAdd();
        QVERIFY(!saveInEditor([&] {
            m_editor->gradeBox()->setText(grade.toUpper());
            m_editor->rateBox()->setText(QStringLiteral("1"));
        }));
        QCOMPARE(m_messages.texts(), QStringList{duplicate});
    }

    void changeFillsFromRowAndClassListKeepsLastChoice()
    {
        inEditList([&](QWidget* list) {
            m_list->selectRow(0); // Болт М8, class Трубы
            m_driver.whenOpen(
                [&](QWidget* editor) {
                    QCOMPARE(editor->windowTitle(), QStringLiteral("Изменение данных изделия"));
                    QCOMPARE(m_editor->gradeBox()->text(), QStringLiteral("Болт М8"));
                    QCOMPARE(m_editor->rateBox()->text(), QStringLiteral("2.5"));
                    QStringList classes;
                    for (int i = 0; i < m_editor->classList()->count(); ++i)
                        classes << m_editor->classList()->itemText(i);
                    QCOMPARE(classes, (QStringList{"Арматура", "Трубы"}));
                    QCOMPARE(m_editor->classList()->currentText(), QStringLiteral("Трубы"));
                    QTest::keyClick(editor, Qt::Key_Escape);
                },
                list);
            QTest::mouseClick(m_list->secondButton(), Qt::LeftButton);
            m_driver.whenOpen(
                [&](QWidget* editor) {
                    QCOMPARE(editor->windowTitle(), QStringLiteral("Заведение нового изделия"));
                    QVERIFY(m_editor->gradeBox()->text().isEmpty());
                    QVERIFY(m_editor->rateBox()->text().isEmpty());
                    QCOMPARE(m_editor->classList()->currentText(), QStringLiteral("Трубы"));
                    QTest::keyClick(editor, Qt::Key_Escape);
                },
                list);
            QTest::mouseClick(m_list->addButton(), Qt::LeftButton);
        });
    }

    void cursorAfterAddChangeAndCancel()
    {
        inEditList([&](QWidget* list) {
            m_list->selectRow(2);
            clickInList(list, m_list->addButton(), [&] {
                m_editor->gradeBox()->setText(QStringLiteral("Анкер"));
                m_editor->rateBox()->setText(QStringLiteral("5"));
                m_editor->classList()->setCurrentIndex(0);
            });
            QCOMPARE(grades().first(), QStringLiteral("Анкер"));
            QCOMPARE(m_list->currentRow(), 2);

            m_list->selectRow(1); // Болт М8
            clickInList(list, m_list->secondButton(),
                        [&] { m_editor->gradeBox()->setText(QStringLiteral("Ящик")); });
            QCOMPARE(grades().last(), QStringLiteral("Ящик"));
            QCOMPARE(m_list->currentRow(), 1); // the same row number, though the product now sorts last

            m_list->selectRow(3);
            m_driver.whenOpen([&](QWidget* editor) { QTest::keyClick(editor, Qt::Key_Escape); }, list);
            QTest::mouseClick(m_list->secondButton(), Qt::LeftButton);
            QCOMPARE(m_list->currentRow(), 3);

            // The remembered row is gone when the filtered list was empty before the add.
            typeText(m_list->filterBox(), QStringLiteral("Щ"));
            QCOMPARE(m_list->currentRow(), -1);
            clickInList(list, m_list->addButton(), [&] {
                m_editor->gradeBox()->setText(QStringLiteral("Щуп"));
                m_editor->rateBox()->setText(QStringLiteral("5"));
            });
            QCOMPARE(grades(), QStringList{"Щуп"});
            QCOMPARE(m_list->currentRow(), 0);
        });
        QVERIFY(m_messages.shown().isEmpty());
        QCOMPARE(count(QStringLiteral("select count(*) from accounts_dep.izdel where id=1 and marka='Ящик'")),
                 1);
    }
};

TABEL_GUI_TEST_MAIN(TestProductsList)
#include "TestProductsList.moc"
