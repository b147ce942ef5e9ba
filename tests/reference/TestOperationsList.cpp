#include "db/DataModule.h"
#include "reference/NormEntriesModel.h"
#include "reference/NormsWindow.h"
#include "reference/OperationEditor.h"
#include "reference/OperationTypeEditor.h"
#include "reference/OperationTypesListWindow.h"
#include "reference/OperationsListWindow.h"
#include "reference/ProductEditor.h"
#include "reference/ProductsListWindow.h"
#include "spreadsheet/RecordingSpreadsheetViewer.h"
#include "spreadsheet/SpreadsheetWriter.h"
#include "spreadsheet/XlsxReader.h"
#include "support/GuiTestCase.h"
#include "support/GuiTestMain.h"
#include "support/ModalDriver.h"
#include "support/TestDatabase.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace tabel;

namespace {
// Listed in this order: 1 Болт М8/Резка/0 (three entries, the lowest price not first),
// 2 Болт М8/Сварка/1, 4 Гайка М10/Покраска/1, 3 Гайка М8/Резка/0. Operation 5 has no entries
// and is not listed; a production record refers to operation 3. "Покраска " keeps the blank
// the old table may hold.
const char* const fixture = R"(
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa) values
  (1, 'Болт М8', '', 6, 1), (2, 'Гайка М8', '', 6, 1), (3, 'Гайка М10', '', 6, 1), (4, 'Шайба', '', 6, 1);
insert into accounts_dep.vid_oper (id, vid) values (1, 'Резка'), (2, 'Сварка'), (3, 'Покраска ');
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values
  (1, 1, 0, 1, 0), (2, 2, 1, 1, 9), (3, 1, 0, 2, 0), (4, 3, 1, 3, 0), (5, 2, 0, 4, 2.5);
insert into accounts_dep.norm (o_id, norma, price, prize) values
  (1, 200, 3.5, 0), (1, 100, 2.25, 0), (1, 300, 4, 5), (2, 10, 5, 0), (3, 50, 1.5, 0),
  (4, 20, 1.1, 0), (4, 10, 0.75, 0);
insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok)
  values (1, 2, 3, 1.5, 10, 0, '2024-03-05', 1, 0, 8, 'no');
)";

const QString allFilled = QStringLiteral("Все поля должны быть заполнены!");
const QString duplicate = QStringLiteral("Операция с такими параметрами уже заведена!");
const QString finished = QStringLiteral("Готовая продукция");
const QString blanks = QStringLiteral("Заготовки");
} // namespace

class TestOperationsList : public GuiTestCase
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_folder;
    ModalDriver m_driver;
    RecordingSpreadsheetViewer m_viewer;
    std::unique_ptr<DataModule> m_module;
    std::unique_ptr<ProductEditor> m_productEditor;
    std::unique_ptr<ProductsListWindow> m_products;
    std::unique_ptr<OperationTypeEditor> m_typeEditor;
    std::unique_ptr<OperationTypesListWindow> m_types;
    std::unique_ptr<NormsWindow> m_norms;
    std::unique_ptr<SpreadsheetWriter> m_writer;
    std::unique_ptr<OperationEditor> m_editor;
    std::unique_ptr<OperationsListWindow> m_list;
    bool m_editorStayedOpen = false;
    QString m_focusAfterSave; // object name of what had the focus right after the save

    StaticQuery& operations() { return m_module->operations(); }
    QList<int> listedIds()
    {
        QList<int> ids;
        for (int row = 0; row < operations().rowCount(); ++row)
            ids << operations().value(row, QStringLiteral("id")).toInt();
        return ids;
    }
    int currentId() { return operations().value(m_list->currentRow(), QStringLiteral("id")).toInt(); }
    void selectId(int id) { m_list->selectRow(operations().find(QStringLiteral("id"), id)); }
    int count(const QString& sql, const SqlParams& params = {}) { return m_db->count(sql, params); }
    int operationsLike(int typeId, int kind, int productId)
    {
        return count(
            QStringLiteral("select count(*) from accounts_dep.oper where vid=:v and naimen=:n and i_id=:i"),
            {{":v", typeId}, {":n", kind}, {":i", productId}});
    }
    int rowsOf(const QString& table)
    {
        static const QHash<QString, QString> counts = {
            {"oper", "select count(*) from accounts_dep.oper"},
            {"norm", "select count(*) from accounts_dep.norm"},
            {"smena", "select count(*) from accounts_dep.smena"},
        };
        Q_ASSERT(counts.contains(table));
        return count(counts.value(table));
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
    QPushButton* editorButton(const char* name)
    {
        return m_editor->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QPushButton* saveButton() { return editorButton("Button1"); }
    // What the user does with one of the editor's "..." buttons: types the start of a name into
    // the list that opens and presses Enter.
    void pickThrough(QWidget* editor, const char* button, ReferenceListWindow& list, const QString& prefix)
    {
        m_driver.whenOpen(
            [&](QWidget*) {
                typeText(list.filterBox(), prefix);
                QTest::keyClick(list.filterBox(), Qt::Key_Return);
            },
            editor);
        QTest::mouseClick(editorButton(button), Qt::LeftButton);
    }
    // Fills the add-mode editor as a user would: the product and the type through their pickers
    // (skipped when empty), the kind, and the price typed into its box.
    void fillNew(QWidget* editor, const QString& product, const QString& type, int kind, const QString& price)
    {
        if (!product.isEmpty())
            pickThrough(editor, "Button3", *m_products, product);
        if (!type.isEmpty())
            pickThrough(editor, "Button4", *m_types, type);
        m_editor->kindList()->setCurrentIndex(kind);
        QTest::mouseClick(m_editor->priceBox(), Qt::LeftButton);
        typeText(m_editor->priceBox(), price);
    }
    // Runs the editor as prepared, lets fill work in it and clicks "Записать". True when the
    // editor closed with a save; a refused save leaves it open (m_editorStayedOpen), and it is
    // cancelled then.
    bool saveInEditor(const std::function<void(QWidget*)>& fill)
    {
        m_editorStayedOpen = false;
        m_driver.whenOpen([&](QWidget* editor) {
            fill(editor);
            QTest::mouseClick(saveButton(), Qt::LeftButton);
            m_editorStayedOpen = editor->isVisible();
            m_focusAfterSave = editor->focusWidget() ? editor->focusWidget()->objectName() : QString();
        });
        return m_editor->exec() == QDialog::Accepted;
    }
    void doubleClickRow(int id)
    {
        const int row = operations().find(QStringLiteral("id"), id);
        QVERIFY(row >= 0);
        QTableView* grid = m_list->grid();
        const QModelIndex cell = grid->model()->index(row, operations().fieldIndex(QStringLiteral("marka")));
        const QPoint at = grid->visualRect(cell).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("operations"));
        m_db->run(QString::fromUtf8(fixture));
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        startCase(&m_db->database());
        m_viewer = RecordingSpreadsheetViewer();
        m_module = std::make_unique<DataModule>(m_db->database());
        m_productEditor = std::make_unique<ProductEditor>(*m_module, m_messages);
        m_products = std::make_unique<ProductsListWindow>(*m_module, m_messages, *m_productEditor);
        m_typeEditor = std::make_unique<OperationTypeEditor>(*m_module, m_messages);
        m_types = std::make_unique<OperationTypesListWindow>(*m_module, m_messages, *m_typeEditor);
        m_norms = std::make_unique<NormsWindow>(m_db->database(), m_messages);
        m_writer = std::make_unique<SpreadsheetWriter>(m_messages, m_viewer, m_folder->path());
        m_editor = std::make_unique<OperationEditor>(*m_module, m_messages, *m_products, *m_types);
        m_list =
            std::make_unique<OperationsListWindow>(*m_module, m_messages, *m_editor, *m_norms, *m_writer);
    }
    void cleanup()
    {
        QVERIFY(!m_driver.failed());
        finishCase();
        m_list.reset();
        m_editor.reset();
        m_writer.reset();
        m_norms.reset();
        m_types.reset();
        m_typeEditor.reset();
        m_products.reset();
        m_productEditor.reset();
        m_module.reset();
        m_db.reset();
        m_folder.reset();
    }

    void editModeShowsPricedOperations()
    {
        inEditList([&](QWidget* window) {
            QCOMPARE(window->objectName(), QStringLiteral("TForm4"));
            QCOMPARE(window->windowTitle(), QStringLiteral("Операции"));
            QCOMPARE(window->size(), QSize(865, 478));
            QCOMPARE(window->minimumSize(), window->maximumSize());
            QCOMPARE(m_list->addButton()->text(), QStringLiteral("Добавить"));
            QVERIFY(m_list->addButton()->isVisible());
            QVERIFY(m_list->addButton()->isDefault());
            QCOMPARE(m_list->secondButton()->text(), QStringLiteral("Изменить"));
            QVERIFY(!m_list->secondButton()->isDefault());
            QCOMPARE(m_list->deleteButton()->text(), QStringLiteral("Удалить"));
            QVERIFY(m_list->deleteButton()->isVisible());
            QCOMPARE(m_list->excelButton()->text(), QStringLiteral("Excel"));
            QVERIFY(m_list->excelButton()->isVisible());
            QCOMPARE(m_list->pricesBox()->text(), QStringLiteral("Цены"));
            QVERIFY(m_list->pricesBox()->isVisible());
            QVERIFY(!m_list->pricesBox()->isChecked());
            QVERIFY(m_list->pricesBox()->font().bold());
            QCOMPARE(m_list->exitButton()->text(), QStringLiteral("Выход"));

            const QHeaderView& header = *m_list->grid()->horizontalHeader();
            const QList<QPair<QString, int>> columns{
                {"Марка", -1}, {"Опреция", 243}, {"Цена (min)", 90}, {"Вид", 139}, {"Нормы (шт.)", 95}};
            QCOMPARE(header.count() - header.hiddenSectionCount(), columns.size());
            for (int visual = 0; visual < columns.size(); ++visual) {
                const int logical = header.logicalIndex(visual);
                QCOMPARE(m_list->grid()->model()->headerData(logical, Qt::Horizontal).toString(),
                         columns.at(visual).first);
                if (columns.at(visual).second > 0)
                    QCOMPARE(header.sectionSize(logical), columns.at(visual).second);
            }

            QCOMPARE(listedIds(), (QList<int>{1, 2, 4, 3}));
            QCOMPARE(m_list->currentRow(), 0);
            const int first = operations().find(QStringLiteral("id"), 1);
            QCOMPARE(operations().value(first, QStringLiteral("cena")).toDouble(), 2.25);
            QCOMPARE(operations().value(first, QStringLiteral("norma")).toInt(), 3);
            QCOMPARE(operations().value(first, QStringLiteral("nmn")).toString(), finished);
            QCOMPARE(operations()
                         .value(operations().find(QStringLiteral("id"), 4), QStringLiteral("nmn"))
                         .toString(),
                     blanks);
            QTest::keyClick(window, Qt::Key_Escape);
            QVERIFY(!window->isVisible());
        });
        QVERIFY(!operations().isOpen());
    }

    void pickHandsBackTheOperationWithItsBasePrice_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("listed");
        QTest::addColumn<int>("downs");
        QTest::addColumn<int>("productId");
        QTest::addColumn<int>("operationId");
        QTest::addColumn<double>("basePrice");
        QTest::addColumn<QString>("text");
        // While the list is open, product 3 is renamed: the text takes the grade afresh.
        QTest::newRow("first of a prefix, renamed grade")
            << "га" << 2 << 0 << 3 << 4 << 0.75 << "Гайка М10-А; Покраска; Заготовки";
        QTest::newRow("second of a prefix")
            << "га" << 2 << 1 << 2 << 3 << 1.5 << "Гайка М8; Резка; Готовая продукция";
        QTest::newRow("upper case prefix")
            << "БОЛТ" << 2 << 1 << 1 << 2 << 5.0 << "Болт М8; Сварка; Заготовки";
        QTest::newRow("lowest of three prices")
            << "" << 4 << 0 << 1 << 1 << 2.25 << "Болт М8; Резка; Готовая продукция";
    }
    void pickHandsBackTheOperationWithItsBasePrice()
    {
        QFETCH(QString, typed);
        QFETCH(int, listed);
        QFETCH(int, downs);
        QFETCH(int, productId);
        QFETCH(int, operationId);
        QFETCH(double, basePrice);
        QFETCH(QString, text);
        bool checked = false;
        m_driver.whenOpen([&](QWidget* window) {
            checked = true;
            QCOMPARE(m_list->secondButton()->text(), QStringLiteral("Выбрать"));
            QVERIFY(m_list->secondButton()->isDefault());
            QVERIFY(!m_list->addButton()->isDefault());
            QVERIFY(!m_list->addButton()->isVisible());
            QVERIFY(!m_list->deleteButton()->isVisible());
            QVERIFY(m_list->filterBox()->isVisible());
            QCOMPARE(window->focusWidget(), m_list->filterBox());
            m_db->run(QStringLiteral(
                "update cmn_gds_and_srv.gds_and_srv set s_caption='  Гайка М10-А ' where id=3"));
            typeText(m_list->filterBox(), typed);
            QCOMPARE(operations().rowCount(), listed);
            for (int i = 0; i < downs; ++i)
                QTest::keyClick(m_list->filterBox(), Qt::Key_Down);
            QTest::keyClick(m_list->filterBox(), Qt::Key_Return);
            QVERIFY(!window->isVisible());
        });
        const std::optional<OperationChoice> choice = m_list->pickOperation();
        QVERIFY(checked);
        QVERIFY(choice);
        QCOMPARE(choice->productId, productId);
        QCOMPARE(choice->operationId, operationId);
        QCOMPARE(choice->basePrice, basePrice);
        QCOMPARE(choice->text, text);
        QVERIFY(m_messages.shown().isEmpty());
        // The list goes back to edit mode and forgets the filter.
        QCOMPARE(m_list->secondButton()->text(), QStringLiteral("Изменить"));
        QVERIFY(m_list->filterBox()->text().isEmpty());
        QVERIFY(!operations().isOpen());
    }

    void escapeHandsNothingBack()
    {
        m_driver.whenOpen([&](QWidget*) {
            QTest::keyClick(m_list->filterBox(), Qt::Key_Down);
            QTest::keyClick(m_list->filterBox(), Qt::Key_Escape);
        });
        QVERIFY(!m_list->pickOperation());
        QVERIFY(m_messages.shown().isEmpty());
    }

    void emptyFilteredListIsRefused()
    {
        bool stayedOpen = false;
        m_driver.whenOpen([&](QWidget* window) {
            typeText(m_list->filterBox(), QStringLiteral("Щ"));
            QCOMPARE(operations().rowCount(), 0);
            QTest::keyClick(m_list->filterBox(), Qt::Key_Return);
            stayedOpen = window->isVisible();
            QTest::keyClick(m_list->filterBox(), Qt::Key_Escape);
        });
        QVERIFY(!m_list->pickOperation());
        QVERIFY(stayedOpen);
        QCOMPARE(m_messages.shown().size(), 1);
        QCOMPARE(m_messages.shown().at(0).caption, QStringLiteral("Ошибка"));
        QCOMPARE(m_messages.shown().at(0).icon, MessageIcon::Error);
    }

    void pickStartsOnTheCurrentOperation_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("startsOn");
        QTest::newRow("listed, not first") << 3 << 3;
        QTest::newRow("listed, in the middle") << 4 << 4;
        QTest::newRow("without prices, not listed") << 5 << 1;
        QTest::newRow("none") << 0 << 1;
    }
    void pickStartsOnTheCurrentOperation()
    {
        QFETCH(int, current);
        QFETCH(int, startsOn);
        int shown = -1;
        m_driver.whenOpen([&](QWidget*) {
            shown = currentId();
            QTest::keyClick(m_list->filterBox(), Qt::Key_Return);
        });
        const std::optional<OperationChoice> choice = m_list->pickOperation(current);
        QCOMPARE(shown, startsOn);
        QVERIFY(choice);
        QCOMPARE(choice->operationId, startsOn);
    }

    void editorRefusesEmptyFields_data()
    {
        QTest::addColumn<int>("changeId"); // 0: add
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("price");
        QTest::addColumn<QString>("focus"); // the first box to fill: "..." buttons, "Цена"
        // clang-format off
        QTest::newRow("add, no product") << 0 << "" << "Пок" << "5" << "Button3";
        QTest::newRow("add, no type") << 0 << "Шай" << "" << "5" << "Button4";
        QTest::newRow("add, no price") << 0 << "Шай" << "Пок" << "" << "Edit3";
        QTest::newRow("add, price only a decimal mark") << 0 << "Шай" << "Пок" << "," << "Edit3";
        QTest::newRow("change, blank grade") << 1 << "  " << "Резка" << "" << "Button3";
        QTest::newRow("change, blank type") << 1 << "Болт М8" << " " << "" << "Button4";
        // clang-format on
    }
    void editorRefusesEmptyFields()
    {
        QFETCH(int, changeId);
        QFETCH(QString, product);
        QFETCH(QString, type);
        QFETCH(QString, price);
        QFETCH(QString, focus);
        if (changeId == 0)
            m_editor->prepareAdd();
        else
            m_editor->prepareChange(changeId, 1, product, 1, type, 1, 2.25);
        const int operationsBefore = rowsOf(QStringLiteral("oper"));
        const int normsBefore = rowsOf(QStringLiteral("norm"));
        QVERIFY(!saveInEditor([&](QWidget* editor) {
            if (changeId == 0)
                fillNew(editor, product, type, 1, price);
        }));
        QVERIFY(m_editorStayedOpen);
        QCOMPARE(m_messages.texts(), QStringList{allFilled});
        QCOMPARE(m_focusAfterSave, focus);
        QCOMPARE(m_messages.shown().at(0).caption, QStringLiteral("Ошибка"));
        QCOMPARE(m_messages.shown().at(0).icon, MessageIcon::Error);
        QCOMPARE(rowsOf(QStringLiteral("oper")), operationsBefore);
        QCOMPARE(rowsOf(QStringLiteral("norm")), normsBefore);
        // A change that was refused left operation 1 as it was.
        QCOMPARE(operationsLike(1, 0, 1), 1);
    }

    void duplicatesAreRefusedButNotTheOperationItself_data()
    {
        QTest::addColumn<int>("changeId"); // 0: add
        QTest::addColumn<int>("productId");
        QTest::addColumn<int>("typeId");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("refused");
        // The add rows pick by name: product 1 "Болт М8", 4 "Шайба"; type 1 "Резка", 2 "Сварка".
        QTest::newRow("add existing") << 0 << 1 << 1 << 0 << true;
        QTest::newRow("add existing without prices") << 0 << 4 << 2 << 0 << true;
        QTest::newRow("add, differs only in kind") << 0 << 1 << 1 << 1 << false;
        QTest::newRow("change, unchanged") << 1 << 1 << 1 << 0 << false;
        QTest::newRow("change onto another") << 2 << 1 << 1 << 0 << true;
        QTest::newRow("change, only the kind") << 1 << 1 << 1 << 1 << false;
    }
    void duplicatesAreRefusedButNotTheOperationItself()
    {
        QFETCH(int, changeId);
        QFETCH(int, productId);
        QFETCH(int, typeId);
        QFETCH(int, kind);
        QFETCH(bool, refused);
        const QHash<int, QString> productNames{{1, "Болт"}, {4, "Шайба"}};
        const QHash<int, QString> typeNames{{1, "Резка"}, {2, "Сварка"}};
        const int before = operationsLike(typeId, kind, productId);
        const int operationsBefore = rowsOf(QStringLiteral("oper"));
        if (changeId == 0)
            m_editor->prepareAdd();
        else
            m_editor->prepareChange(changeId, productId, productNames.value(productId), typeId,
                                    typeNames.value(typeId), kind, 1);
        const bool saved = saveInEditor([&](QWidget* editor) {
            if (changeId == 0)
                fillNew(editor, productNames.value(productId), typeNames.value(typeId), kind,
                        QStringLiteral("3"));
        });
        QCOMPARE(saved, !refused);
        QCOMPARE(m_editorStayedOpen, refused);
        QCOMPARE(m_messages.texts(), refused ? QStringList{duplicate} : QStringList{});
        if (refused) {
            QCOMPARE(m_focusAfterSave, QStringLiteral("Button3")); // the product comes first
            QCOMPARE(m_messages.shown().at(0).caption, QStringLiteral("Ошибка"));
            QCOMPARE(operationsLike(typeId, kind, productId), before);
        } else {
            QCOMPARE(operationsLike(typeId, kind, productId), 1);
        }
        QCOMPARE(rowsOf(QStringLiteral("oper")), operationsBefore + (saved && changeId == 0 ? 1 : 0));
        if (changeId != 0 && saved)
            QCOMPARE(
                count(QStringLiteral("select count(*) from accounts_dep.oper where id=:id and naimen=:n"),
                      {{":id", changeId}, {":n", kind}}),
                1);
    }

    void newOperationIsListedAtOnceWithItsFirstPrice_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("price");
        QTest::newRow("decimal comma") << "12,5" << 12.5;
        QTest::newRow("decimal point") << "12.5" << 12.5;
        QTest::newRow("mark first") << ",75" << 0.75;
        QTest::newRow("mark last") << "7," << 7.0;
        QTest::newRow("whole") << "7" << 7.0;
    }
    void newOperationIsListedAtOnceWithItsFirstPrice()
    {
        QFETCH(QString, typed);
        QFETCH(double, price);
        int newId = 0;
        inEditList([&](QWidget* list) {
            m_driver.whenOpen(
                [&](QWidget* editor) {
                    QCOMPARE(editor->windowTitle(), QStringLiteral("Заведение новой цены за операцию"));
                    QVERIFY(m_editor->productBox()->text().isEmpty());
                    QVERIFY(m_editor->typeBox()->text().isEmpty());
                    QCOMPARE(m_editor->kindList()->currentText(), finished);
                    QVERIFY(m_editor->priceBox()->isVisible());
                    fillNew(editor, QStringLiteral("шай"), QStringLiteral("пок"), 1, typed);
                    QCOMPARE(m_editor->productBox()->text(), QStringLiteral("Шайба"));
                    QCOMPARE(m_editor->typeBox()->text(), QStringLiteral("Покраска"));
                    QTest::keyClick(m_editor->priceBox(), Qt::Key_Return);
                    QVERIFY(!editor->isVisible());
                },
                list);
            QTest::mouseClick(m_list->addButton(), Qt::LeftButton);
            newId =
                m_db->database()
                    .readValue(QStringLiteral(
                                   "select id from accounts_dep.oper where vid=3 and naimen=1 and i_id=4"),
                               QStringLiteral("id"))
                    .toInt();
            QVERIFY(newId > 5);
            const int row = operations().find(QStringLiteral("id"), newId);
            QVERIFY(row >= 0);
            QCOMPARE(operations().rowCount(), 5);
            QCOMPARE(operations().value(row, QStringLiteral("norma")).toInt(), 1);
            QCOMPARE(operations().value(row, QStringLiteral("cena")).toDouble(), price);
            QCOMPARE(m_list->currentRow(), 0);
        });
        QVERIFY(m_messages.shown().isEmpty());
        QCOMPARE(count(QStringLiteral("select count(*) from accounts_dep.oper where id=:id and cena_new=0"),
                       {{":id", newId}}),
                 1);
        QCOMPARE(count(QStringLiteral("select count(*) from accounts_dep.norm where o_id=:id and price=:p"),
                       {{":id", newId}, {":p", price}}),
                 1);

        m_driver.whenOpen([&](QWidget*) {
            typeText(m_list->filterBox(), QStringLiteral("ш"));
            QTest::keyClick(m_list->filterBox(), Qt::Key_Return);
        });
        const std::optional<OperationChoice> choice = m_list->pickOperation();
        QVERIFY(choice);
        QCOMPARE(choice->operationId, newId);
        QCOMPARE(choice->productId, 4);
        QCOMPARE(choice->basePrice, price);
        QCOMPARE(choice->text, QStringLiteral("Шайба; Покраска; Заготовки"));
    }

    void doubleClickWithPricesTickedOpensThatOperationsNorms_data()
    {
        QTest::addColumn<int>("operationId");
        QTest::addColumn<QStringList>("prices");
        QTest::newRow("two entries") << 4 << QStringList{"0,75", "1,10"};
        QTest::newRow("three entries") << 1 << QStringList{"2,25", "3,50", "4,00"};
    }
    void doubleClickWithPricesTickedOpensThatOperationsNorms()
    {
        QFETCH(int, operationId);
        QFETCH(QStringList, prices);
        bool opened = false;
        inEditList([&](QWidget* list) {
            m_list->pricesBox()->setChecked(true);
            m_driver.whenOpen(
                [&](QWidget* window) {
                    opened = window == m_norms.get();
                    const NormEntriesModel& entries = *m_norms->entries();
                    QCOMPARE(entries.operationId(), operationId);
                    QCOMPARE(entries.storedCount(), prices.size());
                    QStringList shown;
                    for (int row = 0; row < entries.storedCount(); ++row)
                        shown << entries.index(row, NormEntriesModel::PriceColumn).data().toString();
                    QCOMPARE(shown, prices);
                    QTest::mouseClick(m_norms->saveButton(), Qt::LeftButton);
                    QVERIFY(!window->isVisible());
                },
                list);
            doubleClickRow(operationId);
            QCOMPARE(currentId(), operationId);
        });
        QVERIFY(opened);
        QVERIFY(m_messages.shown().isEmpty());
    }

    void doubleClickWithoutTickChangesTheOperation()
    {
        const int normsBefore = rowsOf(QStringLiteral("norm"));
        bool opened = false;
        inEditList([&](QWidget* list) {
            m_driver.whenOpen(
                [&](QWidget* editor) {
                    opened = editor == m_editor.get();
                    QCOMPARE(editor->windowTitle(), QStringLiteral("Изменение данных о цене за операцию"));
                    QCOMPARE(m_editor->productBox()->text(), QStringLiteral("Болт М8"));
                    QCOMPARE(m_editor->typeBox()->text(), QStringLiteral("Сварка"));
                    QCOMPARE(m_editor->kindList()->currentText(), blanks);
                    QVERIFY(!m_editor->priceBox()->isVisible());
                    pickThrough(editor, "Button4", *m_types, QStringLiteral("По"));
                    QCOMPARE(m_editor->typeBox()->text(), QStringLiteral("Покраска"));
                    m_editor->kindList()->setCurrentIndex(0);
                    // The pick moved the focus on to the kind list, where Enter saves.
                    QCOMPARE(editor->focusWidget(), m_editor->kindList());
                    QTest::keyClick(editor->focusWidget(), Qt::Key_Return);
                    QVERIFY(!editor->isVisible());
                },
                list);
            doubleClickRow(2);
            QCOMPARE(m_list->currentRow(), 0);
        });
        QVERIFY(opened);
        QVERIFY(m_messages.shown().isEmpty());
        // The price column and the norm entries are not the editor's business in change mode.
        QCOMPARE(
            count("select count(*) from accounts_dep.oper where id=2 and vid=3 and naimen=0 and i_id=1 and "
                  "cena_new=9"),
            1);
        QCOMPARE(rowsOf(QStringLiteral("norm")), normsBefore);
    }

    void doubleClickInSelectionModeChoosesWhateverTheTick_data()
    {
        QTest::addColumn<bool>("ticked");
        QTest::newRow("ticked") << true;
        QTest::newRow("unticked") << false;
    }
    void doubleClickInSelectionModeChoosesWhateverTheTick()
    {
        QFETCH(bool, ticked);
        m_list->pricesBox()->setChecked(ticked);
        bool normsOpened = false;
        m_driver.whenOpen([&](QWidget*) {
            // Should the norms window open instead, this closes it from inside its own loop.
            QTimer::singleShot(0, m_norms.get(), [&] {
                if (QApplication::activeModalWidget() == m_norms.get()) {
                    normsOpened = true;
                    m_norms->reject();
                }
            });
            doubleClickRow(3);
        });
        const std::optional<OperationChoice> choice = m_list->pickOperation();
        QVERIFY(!normsOpened);
        QVERIFY(choice);
        QCOMPARE(choice->operationId, 3);
        QCOMPARE(choice->text, QStringLiteral("Гайка М8; Резка; Готовая продукция"));
    }

    void deletion_data()
    {
        QTest::addColumn<int>("operationId");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("deleted");
        QTest::addColumn<bool>("refused");
        QTest::newRow("answered No") << 1 << false << false << false;
        QTest::newRow("answered Yes") << 1 << true << true << false;
        QTest::newRow("production records refer to it") << 3 << true << false << true;
    }
    void deletion()
    {
        QFETCH(int, operationId);
        QFETCH(bool, yes);
        QFETCH(bool, deleted);
        QFETCH(bool, refused);
        const auto entries = [&] {
            return count(QStringLiteral("select count(*) from accounts_dep.norm where o_id=:id"),
                         {{":id", operationId}});
        };
        const int entriesBefore = entries();
        m_messages.answerNext(yes ? MessageAnswer::Yes : MessageAnswer::No);
        inEditList([&](QWidget* list) {
            selectId(operationId);
            QTest::mouseClick(m_list->deleteButton(), Qt::LeftButton);
            QVERIFY(list->isVisible());
            QCOMPARE(listedIds().contains(operationId), !deleted);
            QCOMPARE(operations().rowCount(), deleted ? 3 : 4);
        });
        QVERIFY(m_messages.shown().size() >= 1);
        const Message& question = m_messages.shown().at(0);
        QCOMPARE(question.text, QStringLiteral("Удалить операцию?"));
        QCOMPARE(question.caption, QStringLiteral("Удаление"));
        QCOMPARE(question.icon, MessageIcon::Question);
        QCOMPARE(question.buttons, MessageButtons::YesNo);
        QCOMPARE(m_messages.shown().size(), refused ? 2 : 1);
        if (refused) {
            QCOMPARE(m_messages.shown().at(1).caption, QStringLiteral("Ошибка"));
            QCOMPARE(m_messages.shown().at(1).icon, MessageIcon::Error);
        }
        QCOMPARE(count(QStringLiteral("select count(*) from accounts_dep.oper where id=:id"),
                       {{":id", operationId}}),
                 deleted ? 0 : 1);
        QCOMPARE(rowsOf(QStringLiteral("oper")), deleted ? 4 : 5);
        QCOMPARE(rowsOf(QStringLiteral("smena")), 1);
        QCOMPARE(entries(), entriesBefore);
    }

    void excelExportsEveryOperation()
    {
        inEditList([&](QWidget*) {
            QTest::mouseClick(m_list->excelButton(), Qt::LeftButton);
            QVERIFY(!QApplication::overrideCursor());
        });
        QVERIFY2(m_messages.shown().isEmpty(), qPrintable(m_messages.texts().join(" | ")));
        QCOMPARE(m_viewer.opened().size(), 1);
        XlsxReader book(m_viewer.opened().first());
        QVERIFY2(book.error().isEmpty(), qPrintable(book.error()));
        // Five operations, operation 5 without norm entries too, each at its cena_new.
        QCOMPARE(book.cellCount(), 4 * 6);
        const QStringList header{"Марка", "Операция", "Цена", "Вид"};
        for (int column = 1; column <= 4; ++column)
            QCOMPARE(book.cell(column, 1)->value, header.at(column - 1));
        QCOMPARE(book.cell(1, 3)->value, QStringLiteral("Болт М8"));
        QCOMPARE(book.cell(2, 3)->value, QStringLiteral("Сварка"));
        QVERIFY(book.cell(3, 3)->isNumber);
        QCOMPARE(book.cell(3, 3)->value.toDouble(), 9.0);
        QCOMPARE(book.cell(4, 3)->value, blanks);
        QCOMPARE(book.cell(1, 6)->value, QStringLiteral("Шайба"));
        QVERIFY(book.cell(3, 6)->isNumber);
        QCOMPARE(book.cell(3, 6)->value.toDouble(), 2.5);
        QCOMPARE(book.cell(4, 6)->value, finished);
    }
};

TABEL_GUI_TEST_MAIN(TestOperationsList)
#include "TestOperationsList.moc"
