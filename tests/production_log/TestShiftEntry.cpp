#include "common/Clock.h"
#include "db/DataModule.h"
#include "production_log/HoursLedger.h"
#include "production_log/MainLogWindow.h"
#include "production_log/ShiftEntryModel.h"
#include "production_log/ShiftEntryWindow.h"
#include "shell/ApplicationShell.h"
#include "shell/LoginWindow.h"
#include "support/GuiTestCase.h"
#include "support/GuiTestMain.h"
#include "support/ModalDriver.h"
#include "support/TestDatabase.h"
#include "support/TypeText.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tabel;

namespace {
const QDate today(2024, 3, 5); // a Tuesday

// Five cutting-like operations with distinct starts, and one paint operation.
const char* const fixture = R"(
delete from accounts_dep.ver;
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa) values (10, 'А-100', '', 6, 1);
insert into accounts_dep.vid_oper (id, vid) values (1, 'Резка'), (2, 'покраска эмалью'), (3, 'Сверловка'),
  (4, 'Гибка'), (5, 'Сварка'), (6, 'Шлифовка');
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values (100, 1, 0, 10, 0), (101, 2, 1, 10, 0),
  (102, 3, 0, 10, 0), (103, 4, 0, 10, 0), (104, 5, 0, 10, 0), (105, 6, 0, 10, 0);
insert into accounts_dep.norm (o_id, norma, price, prize) values (100, 1, 3.0, 0), (101, 10, 2.5, 0),
  (101, 20, 2.75, 0), (102, 1, 1.25, 0), (103, 1, 2, 0), (104, 1, 4, 0), (105, 1, 0.5, 0);
)";

const QStringList tenWorkers{"Абрамов А.А.", "Белов Б.Б.",   "Гусев Г.Г.", "Данилов Д.Д.", "Жуков Ж.Ж.",
                             "Зайцев З.З.",  "Комаров К.К.", "Лосев Л.Л.", "Морозов М.М.", "Носов Н.Н."};
const QStringList fivePrefixes{"резк", "свер", "гибк", "свар", "шлиф"};

// A check that failed returns early and would leave exec() waiting: the window is closed
// without its question.
struct ClosedAtEnd
{
    ShiftEntryWindow& window;
    ~ClosedAtEnd()
    {
        if (window.isVisible())
            window.QDialog::reject();
    }
};

QPushButton* buttonIn(QWidget* window, const QString& caption)
{
    for (QPushButton* button : window->findChildren<QPushButton*>())
        if (button->text() == caption)
            return button;
    qFatal("no button %s", qPrintable(caption));
}
} // namespace

class TestShiftEntry : public GuiTestCase
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    FixedClock m_clock{today};
    ModalDriver m_driver;
    std::unique_ptr<ApplicationShell> m_shell;

    // Keys go where a user's keys go: to the focused control of the window on top. Each press
    // and each typed character is one keystroke; the data (letters of names, digits) are
    // counted apart from the keys that move and save.
    int m_keys = 0;
    int m_dataKeys = 0;
    static QWidget* keyTarget()
    {
        QWidget* window = QApplication::activeModalWidget();
        return window && window->focusWidget() ? window->focusWidget() : window;
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        ++m_keys;
        QTest::keyClick(keyTarget(), key, modifiers);
    }
    void type(const QString& text)
    {
        m_dataKeys += text.size();
        for (const QChar ch : text)
            typeText(keyTarget(), QString(ch));
    }

    void addWorkers(const QStringList& names, int firstId = 20)
    {
        for (int i = 0; i < names.size(); ++i)
            m_db->run(
                QStringLiteral(
                    "insert into cmn_contractor.person (id, s_caption, s_code) values (:id, :fio, :id)"),
                {{":id", firstId + i}, {":fio", names.at(i)}});
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
    // Opens the shift entry with the main window's button and works in it.
    void enterShift(MainLogWindow& main, std::function<void(ShiftEntryWindow&)> work)
    {
        bool opened = false;
        m_driver.whenOpen(
            [&](QWidget* window) {
                auto* entry = qobject_cast<ShiftEntryWindow*>(window);
                QVERIFY(entry);
                opened = true;
                ClosedAtEnd closed{*entry};
                work(*entry);
            },
            &main);
        QTest::mouseClick(buttonIn(&main, QStringLiteral("Ввод смены")), Qt::LeftButton);
        QVERIFY(opened);
    }
    static QString cell(ShiftEntryWindow& entry, int entryRow, int column)
    {
        ShiftEntryModel& model = entry.model();
        return model.index(model.rowOf(entryRow), column).data().toString();
    }
    // One line by keys: returns the keys other than the data that it took.
    // A new worker is typed where the caret is (the worker cell of the first line, else
    // "Операция"), or in the worker cell reached by Shift+Tab.
    int typeLine(ShiftEntryWindow& entry, const QString& workerPrefix, const QString& operationPrefix,
                 const QString& quantity, const QString& hours, bool viaWorkerCell = false)
    {
        const int before = m_keys;
        if (!workerPrefix.isEmpty()) {
            if (viaWorkerCell && entry.currentColumn() != WorkerColumn)
                press(Qt::Key_Backtab);
            type(workerPrefix);
            press(Qt::Key_Return);
        }
        type(operationPrefix);
        press(Qt::Key_Return);
        type(quantity);
        press(Qt::Key_Return);
        press(Qt::Key_Return); // rejects stay 0
        type(hours);
        press(Qt::Key_Return);
        return m_keys - before;
    }
    int ledgerDay(int worker, int shift, const QDate& date)
    {
        return m_db->database().readInt(
            QStringLiteral("select * from accounts_dep.h_tabel where w_id=:w and smena=:s "
                           "and month=:m and year=:y"),
            HoursLedger::dayColumn(date.day()),
            {{":w", worker}, {":s", shift}, {":m", date.month()}, {":y", date.year()}});
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("shift_entry"));
        m_db->run(QString::fromUtf8(fixture));
        m_shell = std::make_unique<ApplicationShell>(m_messages, m_clock, BuildStamp{20240301, 1},
                                                     ApplicationShell::Timing{});
        startCase(&m_shell->database());
        QVERIFY(m_shell->start({m_db->settings().database, m_db->settings().host}));
        m_keys = m_dataKeys = 0;
    }
    void cleanup()
    {
        QVERIFY(!m_driver.failed());
        finishCase();
        m_shell.reset();
        m_db.reset();
    }

    void captions_data()
    {
        QTest::addColumn<int>("shift");
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<QString>("caption");
        QTest::newRow("1") << 1 << false << "Ввод смены — Смена №1, 05.03.2024";
        QTest::newRow("2") << 2 << false << "Ввод смены — Смена №2, 05.03.2024";
        QTest::newRow("3") << 3 << false << "Ввод смены — Смена №3, 05.03.2024";
        QTest::newRow("overtime") << 4 << false << "Ввод смены — Переработка, 05.03.2024";
        QTest::newRow("day off") << 3 << true << "Ввод смены — Смена №3, 05.03.2024, выходной";
    }
    // The caption follows the main window's shift and "Выходной" box at opening.
    void captions()
    {
        QFETCH(int, shift);
        QFETCH(bool, dayOff);
        QFETCH(QString, caption);
        logIn(QStringLiteral("masters"), [&](MainLogWindow& main) {
            main.findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(shift))->setChecked(true);
            main.findChild<QCheckBox*>(QStringLiteral("CBox1"))->setChecked(dayOff);
            enterShift(main, [&](ShiftEntryWindow& entry) { QCOMPARE(entry.windowTitle(), caption); });
        });
    }

    void theButtonFollowsAddsRole_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("masters") << "masters" << true;
        QTest::newRow("sklad") << "sklad" << false;
        QTest::newRow("econom") << "econom" << false;
        QTest::newRow("full access") << "73516280" << true;
    }
    void theButtonFollowsAddsRole()
    {
        QFETCH(QString, word);
        QFETCH(bool, enabled);
        logIn(word, [&](MainLogWindow& main) {
            QCOMPARE(buttonIn(&main, QStringLiteral("Добавить"))->isEnabled(), enabled);
            QCOMPARE(buttonIn(&main, QStringLiteral("Ввод смены"))->isEnabled(), enabled);
        });
    }

    // The goals: at most 5 keys besides the data for each of ten workers' lines, and at most 4
    // for each line after a worker's first. The editor takes 121 keystrokes for ten records.
    void aShiftByKeys()
    {
        addWorkers(tenWorkers);
        addWorkers({"Орлов О.О.", "Павлов П.П."}, 40);
        logIn(QStringLiteral("masters"), [&](MainLogWindow& main) {
            QPushButton* button = buttonIn(&main, QStringLiteral("Ввод смены"));
            for (int tabs = 0; keyTarget() != button && tabs < 20; ++tabs)
                press(Qt::Key_Tab);
            QCOMPARE(keyTarget(), button);
            const int openingKeys = m_keys;
            QList<int> tenLines;
            QList<int> twoWorkers;
            int totalTen = 0;
            m_driver.onNextModal(
                [&](QWidget* window) {
                    auto& entry = *qobject_cast<ShiftEntryWindow*>(window);
                    ClosedAtEnd closed{entry};
                    QCOMPARE(keyTarget(), entry.cellEditor());
                    for (int i = 0; i < tenWorkers.size(); ++i)
                        tenLines << typeLine(entry, tenWorkers.at(i).left(3).toLower(),
                                             QStringLiteral("резк"), QString::number(10 + i),
                                             QStringLiteral("8"));
                    totalTen = m_keys + m_dataKeys - openingKeys;
                    for (int worker = 0; worker < 2; ++worker)
                        for (int i = 0; i < fivePrefixes.size(); ++i)
                            twoWorkers
                                << typeLine(entry, i == 0 ? QStringList{"орл", "пав"}.at(worker) : QString(),
                                            fivePrefixes.at(i), QString::number(i + 1), QStringLiteral("1"));
                    QVERIFY2(entry.refusalLine()->text().isEmpty(), qPrintable(entry.refusalLine()->text()));
                    QCOMPARE(entry.model().entryCount(), 21); // and the new line, the worker carried
                    QCOMPARE(cell(entry, 20, WorkerColumn), QStringLiteral("Павлов П.П."));
                    QCOMPARE(entry.currentColumn(), int(OperationColumn));
                    press(Qt::Key_Escape); // on a line with nothing typed: the window closes
                },
                &main);
            press(Qt::Key_Return);
            QVERIFY(!QApplication::activeModalWidget() || QApplication::activeModalWidget() == &main);
            QCOMPARE(main.currentList().rowCount(), 20);
            for (const int keys : tenLines)
                QVERIFY2(keys <= 5, qPrintable(QString::number(keys)));
            for (int i = 0; i < twoWorkers.size(); ++i)
                if (i % 5 != 0)
                    QVERIFY2(twoWorkers.at(i) <= 4, qPrintable(QString::number(twoWorkers.at(i))));
            int tenKeys = 0, twoKeys = 0;
            for (const int keys : tenLines)
                tenKeys += keys;
            for (const int keys : twoWorkers)
                twoKeys += keys;
            qInfo("ten workers: %d keys besides the data, %d keystrokes in all inside the window "
                  "(%d more to reach and press the button)",
                  tenKeys, totalTen, openingKeys + 1);
            qInfo("two workers, five operations each: %d keys besides the data (per line: %s)", twoKeys,
                  qPrintable([&] {
                      QStringList list;
                      for (const int keys : twoWorkers)
                          list << QString::number(keys);
                      return list.join(' ');
                  }()));
        });
        QCOMPARE(
            m_db->count(QStringLiteral("select count(*) from accounts_dep.smena s where s.o_id = 100 and "
                                       "s.kol_vo = 10 + s.w_id - 20 and s.time = 8 and s.brak = 0 and "
                                       "s.data = '2024-03-05' and s.smena = 1")),
            10);
        QCOMPARE(
            m_db->count(QStringLiteral("select count(*) from accounts_dep.smena where w_id in (40, 41)")),
            10);
        QVERIFY(m_messages.shown().isEmpty());
    }

    // The record road's own ten records (a name's first letter, the cutting, the quantity and
    // 8 hours), typed here with the worker always in its own cell (one letter such as "Г" also
    // starts an operation): all keystrokes counted, from the main window's grid to the window
    // closed again, against the editor's 121.
    void theEditorsTenRecordsInTheGrid()
    {
        const QStringList workers{"Абрамов", "Белов",   "Гусев", "Данилов", "Жуков",
                                  "Зайцев",  "Комаров", "Лосев", "Морозов", "Носов"};
        addWorkers(workers);
        logIn(QStringLiteral("masters"), [&](MainLogWindow& main) {
            QPushButton* button = buttonIn(&main, QStringLiteral("Ввод смены"));
            for (int tabs = 0; keyTarget() != button && tabs < 20; ++tabs)
                press(Qt::Key_Tab);
            m_driver.onNextModal(
                [&](QWidget* window) {
                    auto& entry = *qobject_cast<ShiftEntryWindow*>(window);
                    ClosedAtEnd closed{entry};
                    for (int i = 0; i < workers.size(); ++i) {
                        typeLine(entry, workers.at(i).left(1), QStringLiteral("р"), QString::number(10 + i),
                                 QStringLiteral("8"), true);
                        QVERIFY2(entry.refusalLine()->text().isEmpty(),
                                 qPrintable(entry.refusalLine()->text()));
                    }
                    press(Qt::Key_Escape);
                },
                &main);
            press(Qt::Key_Return);
        });
        QCOMPARE(
            m_db->count(QStringLiteral("select count(*) from accounts_dep.smena s join accounts_dep.person p "
                                       "on p.id = s.w_id where s.kol_vo = 10 + p.id - 20 and s.time = 8 "
                                       "and s.o_id = 100")),
            workers.size());
        const int all = m_keys + m_dataKeys;
        qInfo("the record road's ten records in the grid: %d keystrokes in all (%d besides the data)", all,
              m_keys);
        QVERIFY2(all < 121, qPrintable(QString::number(all)));
    }

    void refusalsKeepTheLine()
    {
        addWorkers({"Абрамов А.А."});
        logIn(QStringLiteral("masters"), [&](MainLogWindow& main) {
            enterShift(main, [&](ShiftEntryWindow& entry) {
                // Rejects above the quantity: the line stays as typed, the caret in "Брак".
                type(QStringLiteral("абр"));
                press(Qt::Key_Return);
                type(QStringLiteral("резк"));
                press(Qt::Key_Return);
                type(QStringLiteral("5"));
                press(Qt::Key_Return);
                type(QStringLiteral("7"));
                press(Qt::Key_Return);
                type(QStringLiteral("8"));
                press(Qt::Key_Return);
                QCOMPARE(entry.refusalLine()->text(),
                         QStringLiteral("Брак не может быть больше количества!"));
                QCOMPARE(entry.currentColumn(), int(RejectsColumn));
                QCOMPARE(entry.cellEditor()->text(), QStringLiteral("7"));
                const QStringList typed = {"Абрамов А.А.", "А-100; Резка; Готовая продукция", "5", "7", "8"};
                for (int column = 0; column < typed.size(); ++column)
                    QCOMPARE(cell(entry, 0, column), typed.at(column));
                QCOMPARE(cell(entry, 0, PriceColumn), QStringLiteral("3"));
                QCOMPARE(cell(entry, 0, AmountColumn), QStringLiteral("-6,00"));

                // Put right, saved; the same line again is a duplicate, the caret in "Операция".
                type(QStringLiteral("1"));
                press(Qt::Key_Return);
                press(Qt::Key_Return);
                QVERIFY(entry.refusalLine()->text().isEmpty());
                QCOMPARE(cell(entry, 0, AmountColumn), QStringLiteral("12,00"));
                QCOMPARE(entry.model().entryCount(), 2);
                type(QStringLiteral("резк"));
                press(Qt::Key_Return);
                type(QStringLiteral("3"));
                press(Qt::Key_Return);
                press(Qt::Key_Return);
                press(Qt::Key_Return);
                QCOMPARE(entry.refusalLine()->text(),
                         QStringLiteral("Позиция с такими параметрами уже заведена!"));
                QCOMPARE(entry.currentColumn(), int(OperationColumn));
                QCOMPARE(cell(entry, 1, QuantityColumn), QStringLiteral("3"));

                // Another operation, but 8 + 20 hours in one shift and day.
                type(QStringLiteral("гибк"));
                press(Qt::Key_Return);
                press(Qt::Key_Return);
                press(Qt::Key_Return);
                type(QStringLiteral("20"));
                press(Qt::Key_Return);
                QVERIFY2(entry.refusalLine()->text().startsWith(
                             QStringLiteral("У рабочего за эту смену и день уже 8 ч.")),
                         qPrintable(entry.refusalLine()->text()));
                QCOMPARE(entry.currentColumn(), int(HoursColumn));

                // The worker deleted meanwhile by someone else.
                type(QStringLiteral("2"));
                m_db->run(QStringLiteral("delete from cmn_contractor.person where id = 20"));
                press(Qt::Key_Return);
                QCOMPARE(entry.refusalLine()->text(),
                         QStringLiteral(
                             "Рабочий удалён из списка, запись не сохранена. Выберите рабочего заново."));
                QCOMPARE(entry.currentColumn(), int(WorkerColumn));
                QCOMPARE(cell(entry, 1, OperationColumn), QStringLiteral("А-100; Гибка; Готовая продукция"));
                type(QStringLiteral("абр")); // no longer offered
                QVERIFY(!entry.completionList()->isVisible());

                // An empty quantity, after Ctrl+Delete cleared the line.
                press(Qt::Key_Delete, Qt::ControlModifier);
                QCOMPARE(cell(entry, 1, OperationColumn), QString());
                QCOMPARE(cell(entry, 1, WorkerColumn), QString());
                press(Qt::Key_Return);
                press(Qt::Key_Return);
                press(Qt::Key_Return);
                press(Qt::Key_Return);
                press(Qt::Key_Return);
                QCOMPARE(entry.refusalLine()->text(), QStringLiteral("Все поля должны быть заполнены!"));
                QCOMPARE(entry.currentColumn(), int(WorkerColumn));
            });
        });
        QVERIFY(m_messages.shown().isEmpty()); // no message box at all
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.smena")), 1);
    }

    void thePaintRuleAndTheExplainedPrice()
    {
        addWorkers({"Абрамов А.А."});
        logIn(QStringLiteral("masters"), [&](MainLogWindow& main) {
            main.findChild<QRadioButton*>(QStringLiteral("RadioButton4"))->setChecked(true);
            main.findChild<QCheckBox*>(QStringLiteral("CBox1"))->setChecked(true);
            enterShift(main, [&](ShiftEntryWindow& entry) {
                type(QStringLiteral("абр"));
                press(Qt::Key_Return);
                type(QStringLiteral("покр"));
                QVERIFY(entry.completionList()->isVisible());
                QCOMPARE(entry.completionList()->count(), 1);
                press(Qt::Key_Return);
                QCOMPARE(entry.explanationLine()->text(),
                         QStringLiteral("Цена 2,50 — наименьшая по нормам (норма 10) × 2 (выходной) × 1,5 "
                                        "(переработка) = 7,50"));
                QCOMPARE(cell(entry, 0, PriceColumn), QStringLiteral("7,5"));
                type(QStringLiteral("4"));
                QCOMPARE(cell(entry, 0, AmountColumn), QStringLiteral("30,00")); // shown while typing
                press(Qt::Key_Return);
                press(Qt::Key_Return);
                type(QStringLiteral("2"));
                press(Qt::Key_Return);
                QCOMPARE(entry.currentColumn(), int(ColourColumn)); // paint wants its colour
                type(QStringLiteral("3"));
                press(Qt::Key_Return);
                QVERIFY2(entry.refusalLine()->text().isEmpty(), qPrintable(entry.refusalLine()->text()));

                // Any other operation: Enter on "Время" saves, passing over "Цвет".
                type(QStringLiteral("рез"));
                press(Qt::Key_Return);
                type(QStringLiteral("5"));
                press(Qt::Key_Return);
                press(Qt::Key_Return);
                press(Qt::Key_Tab);
                QCOMPARE(entry.currentColumn(), int(HoursColumn)); // Tab at the end neither moves nor saves
                type(QStringLiteral("1"));
                press(Qt::Key_Return);
                QCOMPARE(entry.model().entryCount(), 3);
                QCOMPARE(cell(entry, 1, ColourColumn), QString());
            });
        });
        QCOMPARE(m_db->count(
                     QStringLiteral("select count(*) from accounts_dep.smena where o_id = 101 and color = 3 "
                                    "and cena = 7.5 and smena = 4 and time = 2")),
                 1);
        QCOMPARE(m_db->count(
                     QStringLiteral("select count(*) from accounts_dep.smena where o_id = 100 and color = 0 "
                                    "and cena = 9 and time = 1")),
                 1);
    }

    // Twenty lines through the grid leave the ledger holding what the records hold.
    void theLedgerAfterTwentyLines()
    {
        addWorkers({"Абрамов А.А.", "Белов Б.Б.", "Гусев Г.Г.", "Данилов Д.Д."});
        logIn(QStringLiteral("masters"), [&](MainLogWindow& main) {
            enterShift(main, [&](ShiftEntryWindow& entry) {
                for (int worker = 0; worker < 4; ++worker)
                    for (int i = 0; i < 5; ++i)
                        typeLine(entry,
                                 i == 0 ? QStringList{"абр", "бел", "гус", "дан"}.at(worker) : QString(),
                                 fivePrefixes.at(i), QString::number(10 * worker + i + 1),
                                 QString::number(worker + i % 3));
                QVERIFY2(entry.refusalLine()->text().isEmpty(), qPrintable(entry.refusalLine()->text()));
                QCOMPARE(entry.model().entryCount(), 21);
            });
            QCOMPARE(main.currentList().rowCount(), 20); // the main window lists them on closing
        });
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.smena")), 20);
        QSqlQuery sums = m_db->database().execute(
            QStringLiteral("select w_id, sum(time) from accounts_dep.smena group by w_id order by w_id"));
        int workers = 0;
        while (sums.next()) {
            ++workers;
            QCOMPARE(ledgerDay(sums.value(0).toInt(), 1, today), sums.value(1).toInt());
        }
        QCOMPARE(workers, 4);
        QCOMPARE(ledgerDay(20, 1, today), 0 + 1 + 2 + 0 + 1);
    }

    // F4 (and Alt+Down) open the lists in selection mode, as the editor's "..." does.
    void theListsByF4()
    {
        addWorkers({"Абрамов А.А.", "Белов Б.Б."});
        logIn(QStringLiteral("masters"), [&](MainLogWindow& main) {
            enterShift(main, [&](ShiftEntryWindow& entry) {
                m_driver.onNextModal(
                    [&](QWidget* list) {
                        QCOMPARE(list->windowTitle(), QStringLiteral("Список рабочих"));
                        QLineEdit* filter = list->findChild<QLineEdit*>(QStringLiteral("Edit1"));
                        typeText(filter, QStringLiteral("бел"));
                        QTest::keyClick(filter, Qt::Key_Return);
                    },
                    &entry);
                press(Qt::Key_F4);
                QCOMPARE(cell(entry, 0, WorkerColumn), QStringLiteral("Белов Б.Б."));
                QCOMPARE(entry.currentColumn(), int(OperationColumn));
                m_driver.onNextModal(
                    [&](QWidget* list) {
                        QLineEdit* filter = list->findChild<QLineEdit*>(QStringLiteral("Edit1"));
                        QTest::keyClick(filter, Qt::Key_Return); // the first in the list's order
                    },
                    &entry);
                press(Qt::Key_Down, Qt::AltModifier);
                QCOMPARE(cell(entry, 0, OperationColumn), QStringLiteral("А-100; Гибка; Готовая продукция"));
                QCOMPARE(cell(entry, 0, PriceColumn), QStringLiteral("2"));
                QCOMPARE(entry.currentColumn(), int(QuantityColumn));
                QCOMPARE(keyTarget(), entry.cellEditor());
                QVERIFY(entry.refusalLine()->text().isEmpty());
                press(Qt::Key_Delete, Qt::ControlModifier);
                press(Qt::Key_Escape);
            });
        });
        QVERIFY(m_messages.shown().isEmpty());
    }

    void existingLinesEscAndClosing()
    {
        addWorkers({"Абрамов А.А.", "Белов Б.Б."});
        m_db->run(QStringLiteral("insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, "
                                 "data, smena, color, time, ok) "
                                 "values (21, 10, 100, 3.0, 10, 1, '2024-03-05', 1, 0, 6, 'no')"));
        logIn(QStringLiteral("masters"), [&](MainLogWindow& main) {
            enterShift(main, [&](ShiftEntryWindow& entry) {
                ShiftEntryModel& model = entry.model();
                QCOMPARE(model.existingCount(), 1);
                QCOMPARE(model.index(0, WorkerColumn).data().toString(), QStringLiteral("Белов Б.Б."));
                QCOMPARE(model.index(0, AmountColumn).data().toString(), QStringLiteral("27,00"));
                QVERIFY(model.index(0, 0).data(Qt::BackgroundRole).isValid()); // greyed
                QCOMPARE(entry.currentColumn(), int(WorkerColumn));

                // Esc undoes the cell's edit; a worker is taken only from the list.
                type(QStringLiteral("бел"));
                press(Qt::Key_Escape);
                QCOMPARE(entry.cellEditor()->text(), QString());
                QVERIFY(!entry.completionList()->isVisible());
                type(QStringLiteral("xyz"));
                press(Qt::Key_Return);
                QCOMPARE(entry.currentColumn(), int(WorkerColumn));
                QCOMPARE(entry.refusalLine()->text(),
                         QStringLiteral("Нет рабочего, чья фамилия начинается с «xyz»."));
                press(Qt::Key_Escape);
                type(QStringLiteral("а"));
                press(Qt::Key_Down);
                QCOMPARE(entry.completionList()->currentRow(), 0); // one match: stays on it
                press(Qt::Key_Tab);
                QCOMPARE(cell(entry, 0, WorkerColumn), QStringLiteral("Абрамов А.А."));
                QCOMPARE(entry.currentColumn(), int(OperationColumn));
                type(QStringLiteral("свер"));
                press(Qt::Key_Return);
                type(QStringLiteral("12"));
                press(Qt::Key_Escape);
                QCOMPARE(cell(entry, 0, QuantityColumn), QString());

                // Closing with a typed line asks; "Нет" stays, "Да" closes.
                m_messages.answerNext(MessageAnswer::No);
                entry.reject();
                QVERIFY(entry.isVisible());
                QCOMPARE(m_messages.texts(), QStringList{"Строка не записана. Закрыть окно?"});
                m_messages.answerNext(MessageAnswer::Yes);
                entry.reject();
                QVERIFY(!entry.isVisible());
            });
        });
        QCOMPARE(m_messages.shown().size(), 2);
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.smena")), 1);
    }
};

TABEL_GUI_TEST_MAIN(TestShiftEntry)
#include "TestShiftEntry.moc"
