#include "common/Clock.h"
#include "db/DataModule.h"
#include "production_log/HoursLedger.h"
#include "production_log/MainLogWindow.h"
#include "production_log/ProductionRecordEditor.h"
#include "reference/OperationsListWindow.h"
#include "reference/WorkersListWindow.h"
#include "shell/ApplicationShell.h"
#include "shell/LoginWindow.h"
#include "support/GuiTestCase.h"
#include "support/GuiTestMain.h"
#include "support/ModalDriver.h"
#include "support/TestDatabase.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tabel;

namespace {
const QDate today(2024, 3, 5); // a Tuesday

const char* const fixture = R"(
delete from accounts_dep.ver;
insert into cmn_contractor.person (id, s_caption, s_code) values (1, 'Иванов Иван', '1'), (2, 'Петров Пётр', '2');
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa) values (10, 'А-100', '', 6, 1);
insert into accounts_dep.vid_oper (id, vid) values (1, 'Резка'), (2, 'покраска эмалью');
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values (100, 1, 0, 10, 0), (101, 2, 1, 10, 0);
insert into accounts_dep.norm (o_id, norma, price, prize) values (100, 1, 3.0, 0), (101, 1, 2.5, 0), (101, 2, 2.75, 0);
)";

QPushButton* buttonIn(QWidget* window, const QString& caption)
{
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text() == caption && button->isVisible())
            return button;
    qFatal("no button %s", qPrintable(caption));
}
} // namespace

class TestRecordRoad : public GuiTestCase
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    FixedClock m_clock{today};
    ModalDriver m_driver;
    std::unique_ptr<ApplicationShell> m_shell;

    int ledgerDay(int worker, int shift, const QDate& date)
    {
        // No row reads as 0 here, as it does for the program's own one-value read.
        return m_db->database().readInt(
            QStringLiteral("select * from accounts_dep.h_tabel where w_id=:w and smena=:s "
                           "and month=:m and year=:y"),
            HoursLedger::dayColumn(date.day()),
            {{":w", worker}, {":s", shift}, {":m", date.month()}, {":y", date.year()}});
    }
    void logIn(const QString& word, std::function<void(MainLogWindow&)> work)
    {
        bool ran = false;
        m_driver.onNextModal([&](QWidget*) {
            work(m_shell->mainWindow());
            ran = true;
            m_shell->mainWindow().reject();
        });
        QLineEdit* box = m_shell->loginWindow().passwordBox();
        typeText(box, word);
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(ran);
    }
    // Opens the editor with the main window's button and fills it through the pickers.
    void editRecord(MainLogWindow& main, const QString& button,
                    std::function<void(ProductionRecordEditor&)> fill)
    {
        ProductionRecordEditor& editor = m_shell->recordEditor();
        m_driver.onNextModal(
            [&](QWidget*) {
                // Keys go where a user's would only in the active window: an inactive one gets
                // no focus events, and the "..." button that had the focus stays the default.
                editor.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&editor));
                fill(editor);
                if (editor.isVisible()) { // a refused save: report it instead of waiting forever
                    qWarning("editor still open; messages: %s", qPrintable(m_messages.texts().join(" | ")));
                    editor.reject();
                }
            },
            &main);
        QTest::mouseClick(buttonIn(&main, button), Qt::LeftButton);
    }
    void pickWorker(ProductionRecordEditor& editor, const QString& prefix)
    {
        m_driver.onNextModal(
            [&](QWidget* list) {
                QLineEdit* filter = list->findChild<QLineEdit*>(QStringLiteral("Edit1"));
                typeText(filter, prefix);
                QTest::keyClick(filter, Qt::Key_Return);
            },
            &editor);
        QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("Button3")), Qt::LeftButton);
    }
    void pickOperation(ProductionRecordEditor& editor, int rowsDown)
    {
        m_driver.onNextModal(
            [&](QWidget* list) {
                QLineEdit* filter = list->findChild<QLineEdit*>(QStringLiteral("Edit1"));
                for (int i = 0; i < rowsDown; ++i)
                    QTest::keyClick(filter, Qt::Key_Down);
                QTest::keyClick(filter, Qt::Key_Return);
            },
            &editor);
        QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("Button4")), Qt::LeftButton);
    }

    // Keys go where a user's keys go: to the focused control of the window on top. Each press
    // and each typed character is one keystroke.
    int m_keystrokes = 0;
    static QWidget* keyTarget()
    {
        QWidget* window = QApplication::activeModalWidget();
        return window && window->focusWidget() ? window->focusWidget() : window;
    }
    void press(Qt::Key key)
    {
        ++m_keystrokes;
        QTest::keyClick(keyTarget(), key);
    }
    void type(const QString& text)
    {
        m_keystrokes += text.size();
        for (const QChar ch : text)
            typeText(keyTarget(), QString(ch));
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("road"));
        m_db->run(QString::fromUtf8(fixture));
        m_shell = std::make_unique<ApplicationShell>(m_messages, m_clock, BuildStamp{20240301, 1},
                                                     ApplicationShell::Timing{});
        startCase(&m_shell->database());
        QVERIFY(m_shell->start({m_db->settings().database, m_db->settings().host}));
    }
    void cleanup()
    {
        QVERIFY(!m_driver.failed());
        finishCase();
        m_shell.reset();
        m_db.reset();
    }

    void mastersEntersAPaintRecord()
    {
        logIn(QStringLiteral("masters"), [&](MainLogWindow& main) {
            editRecord(main, QStringLiteral("Добавить"), [&](ProductionRecordEditor& editor) {
                QCOMPARE(editor.windowTitle(), QStringLiteral("Заведение новой позиции"));
                QCOMPARE(editor.datePicker()->date(), today);
                QCOMPARE(editor.rejectsBox()->text(), QStringLiteral("0"));
                pickWorker(editor, QStringLiteral("пет"));
                QCOMPARE(editor.workerBox()->text(), QStringLiteral("Петров Пётр"));
                pickOperation(editor, 0); // the paint operation sorts first: п before Р
                QCOMPARE(editor.operationBox()->text(), QStringLiteral("А-100; покраска эмалью; Заготовки"));
                QVERIFY(editor.colourBox()->isEnabled());
                QCOMPARE(editor.basePriceBox()->text(), QStringLiteral("2,5"));
                QCOMPARE(editor.finalPriceBox()->text(), QStringLiteral("2,5"));
                // The same words as the shift entry's line under its grid.
                QCOMPARE(editor.finalPriceBox()->toolTip(),
                         QStringLiteral("Цена 2,50 — наименьшая по нормам (норма 1)"));
                typeText(editor.quantityBox(), QStringLiteral("10"));
                editor.rejectsBox()->setText(QString());
                typeText(editor.rejectsBox(), QStringLiteral("1"));
                editor.hoursBox()->setText(QString());
                typeText(editor.hoursBox(), QStringLiteral("8"));
                // A paint operation wants its colour.
                QTest::keyClick(editor.hoursBox(), Qt::Key_Return);
                QCOMPARE(m_messages.texts(), QStringList{"Все поля должны быть заполнены!"});
                QVERIFY(editor.isVisible());
                typeText(editor.colourBox(), QStringLiteral("5x")); // the letter cannot be typed
                QCOMPARE(editor.colourBox()->text(), QStringLiteral("5"));
                QTest::keyClick(editor.colourBox(), Qt::Key_Return);
            });
            StaticQuery& list = main.currentList();
            QCOMPARE(list.rowCount(), 1);
            QCOMPARE(list.value(0, QStringLiteral("summa")).toDouble(), 22.5); // round((10-1)*2.5, 2)
            QCOMPARE(list.value(0, QStringLiteral("color")).toInt(), 5);
            QCOMPARE(list.value(0, QStringLiteral("ok")).toString(), QStringLiteral("no"));
        });
        QCOMPARE(ledgerDay(2, 1, today), 8);
        QCOMPARE(m_messages.shown().size(), 1);
    }

    // A shift's records entered without the mouse, by the shortest path: Enter on "Добавить",
    // Enter on the worker's "...", the name's first letter and Enter, Enter on the operation's
    // "...", Down to the cutting (the paint operation sorts first) and Enter, the quantity, Tab,
    // the hours, Enter.
    void aShiftByKeysAlone()
    {
        const QStringList workers{"Абрамов", "Белов",   "Гусев", "Данилов", "Жуков",
                                  "Зайцев",  "Комаров", "Лосев", "Морозов", "Носов"};
        for (int i = 0; i < workers.size(); ++i)
            m_db->run(
                QStringLiteral(
                    "insert into cmn_contractor.person (id, s_caption, s_code) values (:id, :fio, :id)"),
                {{":id", 20 + i}, {":fio", workers.at(i)}});
        logIn(QStringLiteral("masters"), [&](MainLogWindow& main) {
            ProductionRecordEditor& editor = m_shell->recordEditor();
            auto* add = buttonIn(&main, QStringLiteral("Добавить"));
            for (int tabs = 0; keyTarget() != add && tabs < 20; ++tabs)
                press(Qt::Key_Tab);
            QCOMPARE(keyTarget(), add);
            for (int i = 0; i < workers.size(); ++i) {
                const QString quantity = QString::number(10 + i);
                m_driver.onNextModal(
                    [&](QWidget*) {
                        QCOMPARE(keyTarget(), editor.findChild<QPushButton*>(QStringLiteral("Button3")));
                        m_driver.onNextModal(
                            [&](QWidget*) {
                                type(workers.at(i).left(1));
                                press(Qt::Key_Return);
                            },
                            &editor);
                        press(Qt::Key_Return);
                        QCOMPARE(editor.workerBox()->text(), workers.at(i));
                        QCOMPARE(keyTarget(), editor.findChild<QPushButton*>(QStringLiteral("Button4")));
                        m_driver.onNextModal(
                            [&](QWidget*) {
                                press(Qt::Key_Down);
                                press(Qt::Key_Return);
                            },
                            &editor);
                        press(Qt::Key_Return);
                        QCOMPARE(keyTarget(), editor.quantityBox());
                        type(quantity);
                        press(Qt::Key_Tab);
                        type(QStringLiteral("8"));
                        press(Qt::Key_Return);
                        QVERIFY2(!editor.isVisible(), qPrintable(m_messages.texts().join(" | ")));
                    },
                    &main);
                press(Qt::Key_Return);
                QCOMPARE(keyTarget(), add);
            }
            QCOMPARE(main.currentList().rowCount(), workers.size());
        });
        QCOMPARE(
            m_db->count(QStringLiteral("select count(*) from accounts_dep.smena s join accounts_dep.person p "
                                       "on p.id = s.w_id where s.kol_vo = 10 + p.id - 20 and s.time = 8 "
                                       "and s.o_id = 100")),
            workers.size());
        QVERIFY(m_messages.shown().isEmpty());
        qInfo("ten records by keys alone: %d keystrokes", m_keystrokes);
    }

    void fullAccessChangesMovesAndDeletes()
    {
        m_db->run(QStringLiteral(
            "insert into accounts_dep.smena (id, w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, "
            "time, ok) "
            "values (50, 1, 10, 100, 3.0, 10, 0, '2024-03-05', 1, 0, 6, 'no');"
            "insert into accounts_dep.h_tabel (w_id, smena, month, year, d5) values (1, 1, 3, 2024, 6);"));
        logIn(QStringLiteral("73516280"), [&](MainLogWindow& main) {
            main.selectRow(0);
            editRecord(main, QStringLiteral("Изменить"), [&](ProductionRecordEditor& editor) {
                QCOMPARE(editor.windowTitle(), QStringLiteral("Изменение данных о позиции"));
                QCOMPARE(editor.workerBox()->text(), QStringLiteral("Иванов Иван"));
                QCOMPARE(editor.operationBox()->text(), QStringLiteral("А-100; Резка; Готовая продукция"));
                QVERIFY(!editor.colourBox()->isEnabled());
                QCOMPARE(editor.basePriceBox()->text(), QStringLiteral("3"));
                editor.quantityBox()->setFocus();
                editor.quantityBox()->setText(QStringLiteral("12"));
                QTest::keyClick(editor.quantityBox(), Qt::Key_Return);
            });
            QCOMPARE(main.currentList().value(0, QStringLiteral("summa")).toDouble(), 36.0);
            QCOMPARE(ledgerDay(1, 1, today), 6);

            main.selectRow(0);
            editRecord(main, QStringLiteral("Изменить"), [&](ProductionRecordEditor& editor) {
                editor.datePicker()->setDate(today.addDays(-1));
                editor.quantityBox()->setFocus();
                QTest::keyClick(editor.quantityBox(), Qt::Key_Return);
            });
            QCOMPARE(main.currentList().rowCount(), 0); // today's list: the record left it
            QCOMPARE(ledgerDay(1, 1, today), 0);
            QCOMPARE(ledgerDay(1, 1, today.addDays(-1)), 6);

            main.findChild<QDateEdit*>(QStringLiteral("DateT"))->setDate(today.addDays(-1));
            main.chooseDate();
            QCOMPARE(main.currentList().rowCount(), 1);
            main.selectRow(0);
            m_messages.answerNext(MessageAnswer::Yes);
            QTest::mouseClick(buttonIn(&main, QStringLiteral("Удалить")), Qt::LeftButton);
            QCOMPARE(main.currentList().rowCount(), 0);
        });
        QCOMPARE(ledgerDay(1, 1, today.addDays(-1)), 0);
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.smena")), 0);
        QCOMPARE(m_messages.texts(), QStringList{"Удалить позицию из списка?"});
    }
};

TABEL_GUI_TEST_MAIN(TestRecordRoad)
#include "TestRecordRoad.moc"
