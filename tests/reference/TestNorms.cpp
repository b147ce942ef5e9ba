#include "db/DataModule.h"
#include "reference/NormEntriesModel.h"
#include "reference/NormsBook.h"
#include "reference/NormsWindow.h"
#include "support/GuiTestCase.h"
#include "support/GuiTestMain.h"
#include "support/ModalDriver.h"
#include "support/TestDatabase.h"
#include "support/TypeText.h"

#include <QFont>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

using namespace tabel;

namespace {
// Operation 1 has three entries stored out of norm order, operation 2 a single one,
// operation 3 one entry and no other use, operation 4 none.
const char* const fixture = R"(
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa) values
  (10, 'А-100', '', 6, 1), (11, 'Б-200', '', 6, 2);
insert into accounts_dep.vid_oper (id, vid) values (1, 'Резка'), (2, 'Сварка');
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values
  (1, 1, 0, 10, 0), (2, 2, 1, 10, 0), (3, 1, 0, 11, 0), (4, 2, 0, 11, 0);
insert into accounts_dep.norm (id, o_id, norma, price, prize) values
  (1, 1, 200, 3, 10), (2, 1, 100, 2.5, 5), (3, 1, 300, 2.125, 0), (4, 2, 50, 2.1256, 0), (5, 3, 10, 7, 0);
select setval(pg_get_serial_sequence('accounts_dep.norm', 'id'), 100);
)";

enum class Leave { Escape, Enter, SaveButton, TitleBar };
} // namespace

Q_DECLARE_METATYPE(Leave)

class TestNorms : public GuiTestCase
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    ModalDriver m_driver;
    std::unique_ptr<NormsWindow> m_window;

    NormEntriesModel& model() { return *m_window->entries(); }
    QTableView& grid() { return *m_window->grid(); }

    // Runs body inside the window opened for the operation; a failed check in body closes it.
    void whileOpen(int operationId, const std::function<void()>& body)
    {
        bool ran = false;
        m_driver.onNextModal([&](QWidget*) {
            ran = true;
            const auto close = qScopeGuard([&] {
                if (m_window->isVisible())
                    m_window->reject();
            });
            body();
        });
        m_window->openFor(operationId);
        QVERIFY(ran);
    }

    QStringList column(int column)
    {
        QStringList texts;
        for (int row = 0; row < model().rowCount(); ++row)
            texts << model().index(row, column).data().toString();
        return texts;
    }
    QLineEdit* editor() { return qobject_cast<QLineEdit*>(grid().indexWidget(grid().currentIndex())); }
    // Keys go where the user's would: into the cell editor when one is open.
    QWidget* keyTarget() { return editor() ? static_cast<QWidget*>(editor()) : &grid(); }
    void type(const QString& text)
    {
        for (const QChar ch : text)
            typeText(keyTarget(), QString(ch));
    }
    void key(Qt::Key key)
    {
        QTest::keyClick(keyTarget(), key);
        QCoreApplication::processEvents(); // Enter commits the cell from the event queue
    }
    void goTo(int row, int column) { grid().setCurrentIndex(model().index(row, column)); }
    void editCell(int row, int column)
    {
        goTo(row, column);
        key(Qt::Key_F2);
        QVERIFY(editor());
        editor()->selectAll();
    }
    QVariant stored(int entryId, const QString& field)
    {
        return m_db->database().readValue(QStringLiteral("select * from accounts_dep.norm where id=:id"),
                                          field, {{":id", entryId}});
    }
    int entryCount(int operationId)
    {
        return m_db->count(QStringLiteral("select count(*) from accounts_dep.norm where o_id=:o"),
                           {{":o", operationId}});
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("norms"));
        m_db->run(QString::fromUtf8(fixture));
        startCase(&m_db->database());
        m_window = std::make_unique<NormsWindow>(m_db->database(), m_messages);
    }
    void cleanup()
    {
        QVERIFY(!m_driver.failed());
        QVERIFY(m_messages.shown().isEmpty());
        finishCase();
        m_window.reset();
        m_db.reset();
    }

    void windowShowsOnlyTheOperationsEntriesByNorm()
    {
        whileOpen(1, [&] {
            QCOMPARE(m_window->objectName(), QStringLiteral("TForm22"));
            QCOMPARE(m_window->windowTitle(), QStringLiteral("Норматив"));
            QCOMPARE(m_window->size(), QSize(365, 278));
            QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
            QVERIFY(m_window->saveButton()->isDefault());
            QVERIFY(m_window->deleteButton()->x() < m_window->saveButton()->x());
            QVERIFY(grid().verticalHeader()->isVisible());
            QVERIFY(grid().horizontalHeader()->font().bold());
            QCOMPARE(grid().horizontalHeader()->defaultAlignment(), Qt::Alignment(Qt::AlignCenter));
            const QList<QPair<QString, int>> titles{{"Норматив", 133}, {"Цена", 105}, {"Премия, %", 82}};
            for (int column = 0; column < titles.size(); ++column) {
                QCOMPARE(model().headerData(column, Qt::Horizontal).toString(), titles.at(column).first);
                QCOMPARE(grid().columnWidth(column), titles.at(column).second);
            }
            // The last row is the blank one a new entry is typed into.
            QCOMPARE(column(NormEntriesModel::NormaColumn), (QStringList{"100", "200", "300", ""}));
            QCOMPARE(column(NormEntriesModel::PriceColumn), (QStringList{"2,50", "3,00", "2,125", ""}));
            QCOMPARE(column(NormEntriesModel::PrizeColumn), (QStringList{"5", "10", "0", ""}));
            QCOMPARE(model().headerData(3, Qt::Vertical).toString(), QStringLiteral("*"));
            QCOMPARE(grid().currentIndex(), model().index(0, 0));
        });
        whileOpen(4, [&] { QCOMPARE(column(NormEntriesModel::NormaColumn), QStringList{""}); });
    }

    void pricesShowTwoToThreeDecimals_data()
    {
        QTest::addColumn<double>("price");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("edited");
        QTest::newRow("two decimals") << 2.5 << "2,50"
                                      << "2,5";
        QTest::newRow("three decimals") << 2.125 << "2,125"
                                        << "2,125";
        QTest::newRow("rounded to three") << 2.1256 << "2,126"
                                          << "2,1256";
        QTest::newRow("whole") << 3.0 << "3,00"
                               << "3";
        // The 15 significant digits a double holds, as every box and spreadsheet cell shows it.
        QTest::newRow("binary fraction") << 0.1 + 0.2 << "0,30"
                                         << "0,3";
    }
    void pricesShowTwoToThreeDecimals()
    {
        QFETCH(double, price);
        QFETCH(QString, shown);
        QFETCH(QString, edited);
        m_db->run(QStringLiteral("update accounts_dep.norm set price=:p where id=5"), {{":p", price}});
        NormsBook book(m_db->database());
        NormEntriesModel entries(book);
        entries.load(3);
        QCOMPARE(entries.index(0, NormEntriesModel::PriceColumn).data(Qt::DisplayRole).toString(), shown);
        QCOMPARE(entries.index(0, NormEntriesModel::PriceColumn).data(Qt::EditRole).toString(), edited);
    }

    void cellTextsAreTakenOnlyAsNumbersOfTheirColumn_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("value"); // invalid: refused; null: an empty cell
        const int norma = NormEntriesModel::NormaColumn;
        const int price = NormEntriesModel::PriceColumn;
        const int prize = NormEntriesModel::PrizeColumn;
        QTest::newRow("norm") << norma << "150" << QVariant(150);
        QTest::newRow("norm with blanks") << norma << " 15 " << QVariant(15);
        QTest::newRow("norm with a decimal mark") << norma << "1,5" << QVariant();
        QTest::newRow("norm beyond the integer range") << norma << "2147483648" << QVariant();
        QTest::newRow("bonus negative") << prize << "-3" << QVariant(-3);
        QTest::newRow("bonus letters") << prize << "5%" << QVariant();
        QTest::newRow("empty bonus") << prize << "" << QVariant(QMetaType::fromType<int>());
        QTest::newRow("price with comma") << price << "2,75" << QVariant(2.75);
        QTest::newRow("price with point") << price << "2.75" << QVariant(2.75);
        QTest::newRow("price mark first") << price << ",5" << QVariant(0.5);
        QTest::newRow("price two marks") << price << "1,2.3" << QVariant();
        QTest::newRow("price exponent") << price << "1e3" << QVariant();
        QTest::newRow("price sign only") << price << "-" << QVariant();
        QTest::newRow("empty price") << price << "  " << QVariant(QMetaType::fromType<double>());
    }
    void cellTextsAreTakenOnlyAsNumbersOfTheirColumn()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(QVariant, value);
        const std::optional<QVariant> parsed = NormEntriesModel::parseCell(column, text);
        QCOMPARE(parsed.has_value(), value.isValid());
        if (parsed) {
            QCOMPARE(parsed->isNull(), value.isNull());
            QCOMPARE(*parsed, value);
        }

        NormsBook book(m_db->database());
        NormEntriesModel entries(book);
        entries.load(3);
        const QModelIndex cell = entries.index(0, column);
        const QString before = cell.data().toString();
        QCOMPARE(entries.setData(cell, text), value.isValid());
        if (!value.isValid()) {
            QCOMPARE(cell.data().toString(), before);
            QVERIFY(!entries.hasPendingChange(0));
        }
    }

    // A negative price or norm reads as a number but is refused, and the user is told why.
    void negativePriceOrNormIsRefusedWithAReason()
    {
        NormsBook book(m_db->database());
        NormEntriesModel entries(book);
        entries.load(3);
        QSignalSpy refused(&entries, &NormEntriesModel::valueRefused);
        const QList<QPair<int, QString>> cases = {
            {NormEntriesModel::PriceColumn, QStringLiteral("Цена не может быть отрицательной!")},
            {NormEntriesModel::NormaColumn, QStringLiteral("Норма не может быть отрицательной!")},
        };
        for (const auto& [column, reason] : cases) {
            const QModelIndex cell = entries.index(0, column);
            const QString before = cell.data().toString();
            QVERIFY(!entries.setData(cell, QStringLiteral("-2")));
            QCOMPARE(cell.data().toString(), before);
            QCOMPARE(refused.takeFirst().first().toString(), reason);
        }
        QVERIFY(!entries.hasPendingChange(0));
        QVERIFY(entries.setData(entries.index(0, NormEntriesModel::PrizeColumn), QStringLiteral("-3")));
        QVERIFY(refused.isEmpty());
    }

    void newRowIsSavedForTheOperationAndLowersItsBasePrice()
    {
        DataModule module(m_db->database());
        StaticQuery& operations = module.operations();
        operations.open();
        QCOMPARE(operations.value(operations.find("id", 1), "cena").toDouble(), 2.125);
        QCOMPARE(operations.value(operations.find("id", 1), "norma").toInt(), 3);
        operations.close();

        whileOpen(1, [&] {
            goTo(3, NormEntriesModel::NormaColumn);
            type("150");
            key(Qt::Key_Tab);
            type("1,75");
            key(Qt::Key_Tab);
            type("7");
            key(Qt::Key_Return);
            QVERIFY(m_window->isVisible()); // Enter in a cell is not "Сохранить"
            QVERIFY(!editor());
            QCOMPARE(model().rowCount(), 5); // a blank row to move on to
            QCOMPARE(entryCount(1), 3);

            key(Qt::Key_Down);
            QCOMPARE(entryCount(1), 4);
            QCOMPARE(m_db->count("select count(*) from accounts_dep.norm where o_id=1 and norma=150 and "
                                 "price=1.75 and prize=7"),
                     1);
            QCoreApplication::processEvents(); // the refresh after leaving the row
            QCOMPARE(column(NormEntriesModel::NormaColumn), (QStringList{"100", "150", "200", "300", ""}));
            QCOMPARE(column(NormEntriesModel::PriceColumn),
                     (QStringList{"2,50", "1,75", "3,00", "2,125", ""}));
            QCOMPARE(grid().currentIndex(), model().index(4, NormEntriesModel::PrizeColumn));
            QTest::mouseClick(m_window->saveButton(), Qt::LeftButton);
            QVERIFY(!m_window->isVisible());
        });
        QCOMPARE(entryCount(1), 4);

        operations.open();
        const int row = operations.find("id", 1);
        QCOMPARE(operations.value(row, "cena").toDouble(), 1.75);
        QCOMPARE(operations.value(row, "norma").toInt(), 4);
        // The operation without entries is still left out of the list.
        QCOMPARE(operations.find("id", 4), -1);
    }

    void firstEntryOfAnOperationWithoutEntries()
    {
        whileOpen(4, [&] {
            type("5");
            key(Qt::Key_Tab);
            type("9.5");
            key(Qt::Key_Return);
            QTest::mouseClick(m_window->saveButton(), Qt::LeftButton);
        });
        QCOMPARE(
            m_db->count("select count(*) from accounts_dep.norm where o_id=4 and norma=5 and price=9.5 and "
                        "prize is null"),
            1);
    }

    void editingAStoredPrice_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("inEditor"); // what the editor let through
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<QString>("shown");
        const int norma = NormEntriesModel::NormaColumn;
        const int price = NormEntriesModel::PriceColumn;
        QTest::newRow("decimal comma") << price << "2,75"
                                       << "2,75" << QVariant(2.75) << "2,75";
        QTest::newRow("decimal point") << price << "1.5"
                                       << "1.5" << QVariant(1.5) << "1,50";
        QTest::newRow("letters refused") << price << "4a,2b"
                                         << "4,2" << QVariant(4.2) << "4,20";
        QTest::newRow("second mark refused") << price << "3,1,2"
                                             << "3,12" << QVariant(3.12) << "3,12";
        QTest::newRow("no decimal in a norm") << norma << "12,5"
                                              << "125" << QVariant(125) << "125";
        QTest::newRow("emptied") << price << ""
                                 << "" << QVariant() << "";
    }
    void editingAStoredPrice()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, inEditor);
        QFETCH(QVariant, expected);
        QFETCH(QString, shown);
        const QString field = column == NormEntriesModel::PriceColumn ? "price" : "norma";
        whileOpen(1, [&] {
            editCell(0, column); // entry 2: norm 100, price 2.5
            type(typed);
            if (typed.isEmpty())
                key(Qt::Key_Backspace);
            QCOMPARE(editor()->text(), inEditor);
            key(Qt::Key_Return);
            QCOMPARE(model().headerData(0, Qt::Vertical).toString(), QStringLiteral("•"));
            QCOMPARE(stored(2, field).toDouble(), field == "price" ? 2.5 : 100.0);
            key(Qt::Key_Down);
            QCOMPARE(stored(2, field).isNull(), expected.isNull());
            QCOMPARE(stored(2, field).toDouble(), expected.toDouble());
            QCoreApplication::processEvents();
            const int row = model().rowOfEntry(2);
            QVERIFY(row >= 0);
            QCOMPARE(model().index(row, column).data().toString(), shown);
            // The cursor stays on the entry it was moved to, wherever sorting put it.
            QCOMPARE(model().entryId(grid().currentIndex().row()), 1);
        });
    }

    void deleteKeepsTheLastEntry()
    {
        whileOpen(2, [&] {
            QTest::mouseClick(m_window->deleteButton(), Qt::LeftButton);
            QCOMPARE(column(NormEntriesModel::NormaColumn), (QStringList{"50", ""}));
        });
        QCOMPARE(entryCount(2), 1);

        whileOpen(1, [&] {
            goTo(1, NormEntriesModel::PriceColumn); // entry 1, norm 200
            QTest::mouseClick(m_window->deleteButton(), Qt::LeftButton);
            QCOMPARE(column(NormEntriesModel::NormaColumn), (QStringList{"100", "300", ""}));
            QVERIFY(stored(1, "id").isNull());
            QCOMPARE(model().entryId(grid().currentIndex().row()), 3);
            QTest::mouseClick(m_window->deleteButton(), Qt::LeftButton);
            QTest::mouseClick(m_window->deleteButton(), Qt::LeftButton);
            QCOMPARE(column(NormEntriesModel::NormaColumn), (QStringList{"100", ""}));
        });
        QCOMPARE(entryCount(1), 1);

        // The rule holds without the window too.
        NormsBook book(m_db->database());
        QVERIFY(!book.removeEntry(4));
        QCOMPARE(entryCount(2), 1);
    }

    void deleteOnAnUnsavedRowDropsWhatWasTyped()
    {
        whileOpen(1, [&] {
            goTo(3, NormEntriesModel::NormaColumn);
            type("400");
            key(Qt::Key_Return);
            QCOMPARE(model().rowCount(), 5);
            QTest::mouseClick(m_window->deleteButton(), Qt::LeftButton);
            QCOMPARE(column(NormEntriesModel::NormaColumn), (QStringList{"100", "200", "300", ""}));
            QTest::mouseClick(m_window->saveButton(), Qt::LeftButton);
        });
        QCOMPARE(entryCount(1), 3);
    }

    void leavingTheWindow_data()
    {
        QTest::addColumn<Leave>("leave");
        QTest::addColumn<int>("storedPrize");
        QTest::newRow("Esc saves") << Leave::Escape << 9;
        QTest::newRow("Enter saves") << Leave::Enter << 9;
        QTest::newRow("Сохранить saves") << Leave::SaveButton << 9;
        QTest::newRow("title bar discards") << Leave::TitleBar << 0;
    }
    void leavingTheWindow()
    {
        QFETCH(Leave, leave);
        QFETCH(int, storedPrize);
        whileOpen(1, [&] {
            // Esc inside a cell only undoes that cell's edit.
            editCell(2, NormEntriesModel::PrizeColumn); // entry 3, bonus 0
            type("5");
            key(Qt::Key_Escape);
            QVERIFY(m_window->isVisible());
            QVERIFY(!model().hasPendingChanges());

            editCell(2, NormEntriesModel::PrizeColumn);
            type("9");
            key(Qt::Key_Return);
            QVERIFY(model().hasPendingChange(2));
            switch (leave) {
            case Leave::Escape:
                key(Qt::Key_Escape);
                break;
            case Leave::Enter:
                key(Qt::Key_Return);
                break;
            case Leave::SaveButton:
                QTest::mouseClick(m_window->saveButton(), Qt::LeftButton);
                break;
            case Leave::TitleBar:
                m_window->close();
                break;
            }
            QVERIFY(!m_window->isVisible());
        });
        QCOMPARE(stored(3, "prize").toInt(), storedPrize);
    }

    void saveTakesTheCellStillBeingEdited()
    {
        whileOpen(1, [&] {
            editCell(0, NormEntriesModel::PrizeColumn);
            type("42");
            QTest::mouseClick(m_window->saveButton(), Qt::LeftButton);
        });
        QCOMPARE(stored(2, "prize").toInt(), 42);
    }

    void failedSaveKeepsTheRowEdited()
    {
        m_db->run("alter table accounts_dep.norm add constraint price_limit check (price < 1000)");
        whileOpen(1, [&] {
            editCell(0, NormEntriesModel::PriceColumn);
            type("5000");
            key(Qt::Key_Return);
            key(Qt::Key_Down); // leaving the row
            QTest::mouseClick(m_window->saveButton(), Qt::LeftButton);
            QVERIFY(m_window->isVisible());
            QVERIFY(model().hasPendingChange(model().rowOfEntry(2)));
            QCOMPARE(model().index(model().rowOfEntry(2), NormEntriesModel::PriceColumn).data().toString(),
                     QStringLiteral("5000,00"));
        });
        QCOMPARE(stored(2, "price").toDouble(), 2.5);
        QCOMPARE(m_messages.shown().size(), 2);
        for (const Message& message : m_messages.shown()) {
            QCOMPARE(message.caption, QStringLiteral("Ошибка"));
            QVERIFY2(message.detail.contains("price_limit"), qPrintable(message.detail));
        }
        m_messages.clear();
    }

    void bookAddsTheFirstEntryInsideTheCallersTransaction()
    {
        NormsBook book(m_db->database());
        Database& database = m_db->database();
        database.begin();
        database.execute(
            "insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values (5, 1, 1, 11, 0)");
        const int id = book.addEntry(5, 0, 4.5, 0);
        QVERIFY(id > 100);
        database.rollback();
        QCOMPARE(entryCount(5), 0);

        const int kept = book.addEntry(4, 20, 1.25, 3);
        QCOMPARE(entryCount(4), 1);
        QCOMPARE(book.entries(4).size(), 1);
        QCOMPARE(book.entries(4).first().id, kept);
        QCOMPARE(*book.entries(4).first().price, 1.25);
        QList<int> norms;
        for (const NormEntry& entry : book.entries(1))
            norms << *entry.norma;
        QCOMPARE(norms, (QList<int>{100, 200, 300}));
    }
};

TABEL_GUI_TEST_MAIN(TestNorms)
#include "TestNorms.moc"
