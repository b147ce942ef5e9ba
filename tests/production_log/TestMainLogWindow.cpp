#include "common/Clock.h"
#include "db/DataModule.h"
#include "production_log/HoursLedger.h"
#include "production_log/MainLogWindow.h"
#include "shell/AccessPolicy.h"
#include "support/DateBoxProbe.h"
#include "support/GuiTestCase.h"
#include "support/GuiTestMain.h"
#include "support/TestDatabase.h"
#include "support/TypeText.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using namespace tabel;

namespace {
const QDate today(2024, 3, 5); // a Tuesday
const QDate saturday(2024, 3, 9);

const char* const fixture = R"(
insert into cmn_contractor.person (id, s_caption, s_code) values (1, 'Иванов Иван', '1'), (2, 'Петров Пётр', '2');
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa) values (10, 'А-100', '', 6, 1);
insert into accounts_dep.vid_oper (id, vid) values (1, 'Резка');
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values (100, 1, 0, 10, 0);
insert into accounts_dep.norm (o_id, norma, price, prize) values (100, 10, 2.5, 0);
insert into accounts_dep.smena (id, w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, ok) values
  (1, 1, 10, 100, 2.5, 10, 0, '2024-03-05', 1, 0, 4, 'no'),
  (2, 1, 10, 100, 2.5, 10, 0, '2024-03-05', 1, 1, 3, 'ok'),
  (3, 1, 10, 100, 2.5, 10, 0, '2024-03-05', 1, 2, 1, 'да'),
  (4, 1, 10, 100, 2.5, 10, 0, '2024-03-05', 1, 3, 1, ''),
  (5, 2, 10, 100, 2.5, 4, 1, '2024-03-05', 4, 0, 6, 'no'),
  (6, 2, 10, 100, 2.5, 4, 1, '2024-03-09', 1, 0, 2, 'no');
insert into accounts_dep.h_tabel (w_id, smena, month, year, d4, d5) values (1, 1, 3, 2024, 8, 9), (2, 4, 3, 2024, 0, 6);
)";
} // namespace

class TestMainLogWindow : public GuiTestCase
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    FixedClock m_clock{today};
    std::unique_ptr<DataModule> m_module;
    std::unique_ptr<MainLogWindow> m_window;

    template <typename T> T* child(const QString& name)
    {
        T* found = m_window->findChild<T*>(name);
        if (!found)
            qFatal("no child %s", qPrintable(name));
        return found;
    }
    QPushButton* button(const QString& caption)
    {
        for (QPushButton* candidate : m_window->findChildren<QPushButton*>())
            if (candidate->text() == caption)
                return candidate;
        qFatal("no button %s", qPrintable(caption));
    }
    // A menu item is found by its name, as the actions are triggered; the caption is the one
    // the user sees.
    QAction* menu(const QString& objectName, const QString& caption)
    {
        auto* action = m_window->findChild<QAction*>(objectName);
        if (!action || action->text() != caption)
            qFatal("no menu item %s \"%s\"", qPrintable(objectName), qPrintable(caption));
        return action;
    }
    QStringList marks()
    {
        QStringList result;
        StaticQuery& list = m_window->currentList();
        for (int row = 0; row < list.rowCount(); ++row)
            result << list.value(row, QStringLiteral("id")).toString() + "=" +
                          list.value(row, QStringLiteral("ok")).toString();
        return result;
    }
    void doubleClickRecord(int id)
    {
        auto* grid = child<QTableView>(QStringLiteral("DBGrid2"));
        const int row = m_window->currentList().find(QStringLiteral("id"), id);
        QVERIFY(row >= 0);
        const QModelIndex cell =
            grid->model()->index(row, m_window->currentList().fieldIndex(QStringLiteral("fio")));
        const QPoint at = grid->visualRect(cell).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
    }
    int ledgerDay(int worker, int shift, int day)
    {
        return m_db->database().readInt(
            QStringLiteral("select * from accounts_dep.h_tabel where w_id=:w and smena=:s"),
            HoursLedger::dayColumn(day), {{":w", worker}, {":s", shift}});
    }
    void logIn(const QString& word)
    {
        const auto level = accessForLoginWord(word);
        QVERIFY(level);
        m_window->logIn(word.trimmed(), mainWindowAccess(*level));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("mainwindow"));
        m_db->run(QString::fromUtf8(fixture));
        startCase(&m_db->database());
        m_clock.setToday(today);
        m_module = std::make_unique<DataModule>(m_db->database());
        m_module->setDailyListExcludedMark(QStringLiteral("ta"));
        m_window = std::make_unique<MainLogWindow>(*m_module, m_clock, m_messages);
    }
    void cleanup()
    {
        finishCase();
        m_window.reset();
        m_module.reset();
        m_db.reset();
    }

    void accessLevels_data()
    {
        QTest::addColumn<QString>("word");
        // add, change, delete, shifts, day off, refresh, grid, date, reference menu, time sheet menu
        QTest::addColumn<QString>("enabled");
        // clang-format off
        QTest::newRow("econom") << "econom" << "0000000000";
        QTest::newRow("masters") << "masters" << "1001111100";
        QTest::newRow("sklad") << "sklad" << "0001111100";
        QTest::newRow("full access") << "73516280" << "1111111111";
        // clang-format on
    }
    void accessLevels()
    {
        QFETCH(QString, word);
        QFETCH(QString, enabled);
        logIn(word);
        const QList<bool> actual = {
            button(QStringLiteral("Добавить"))->isEnabled(),
            button(QStringLiteral("Изменить"))->isEnabled(),
            button(QStringLiteral("Удалить"))->isEnabled(),
            child<QRadioButton>(QStringLiteral("RadioButton4"))->isEnabled(),
            child<QCheckBox>(QStringLiteral("CBox1"))->isEnabled(),
            button(QStringLiteral("Обновить"))->isEnabled(),
            child<QTableView>(QStringLiteral("DBGrid2"))->isEnabled(),
            child<QDateEdit>(QStringLiteral("DateT"))->isEnabled(),
            menu(QStringLiteral("referenceMenu"), QStringLiteral("Справочники"))->isEnabled(),
            menu(QStringLiteral("timesheetAction"), QStringLiteral("Табель по времени"))->isEnabled(),
        };
        QString flags;
        for (bool on : actual)
            flags += on ? '1' : '0';
        QCOMPARE(flags, enabled);
        // Reports and exit stay open to everyone; the import item is never shown.
        QVERIFY(menu(QStringLiteral("reportsMenu"), QStringLiteral("Отчеты"))->isEnabled());
        QVERIFY(menu(QStringLiteral("exitAction"), QStringLiteral("Выход"))->isEnabled());
        QVERIFY(!menu(QStringLiteral("importAction"), QStringLiteral("Импорт"))->isVisible());
        QCOMPARE(button(QStringLiteral("Выход"))->isEnabled(), true);
        // Every level opens on today's first shift.
        QCOMPARE(m_window->currentShift(), 1);
        QCOMPARE(m_window->workingDay().date, today);
        QCOMPARE(m_window->currentList().rowCount(), 4);
    }

    void doubleClickClosesAndReopens()
    {
        logIn(QStringLiteral("73516280"));
        QCOMPARE(marks(), (QStringList{"1=no", "2=ok", "3=да", "4="}));
        for (int id : {1, 2, 3, 4})
            doubleClickRecord(id);
        QCOMPARE(marks(), (QStringList{"1=ok", "2=no", "3=no", "4=ok"}));
        QVERIFY(m_messages.shown().isEmpty());
    }

    void mastersDoubleClickDoesNothing()
    {
        logIn(QStringLiteral("masters"));
        doubleClickRecord(1);
        QCOMPARE(marks(), (QStringList{"1=no", "2=ok", "3=да", "4="}));
    }

    void weekendRuleOfTheDatePicker()
    {
        logIn(QStringLiteral("sklad"));
        auto* dayOff = child<QCheckBox>(QStringLiteral("CBox1"));
        auto* date = child<QDateEdit>(QStringLiteral("DateT"));
        QVERIFY(!dayOff->isChecked());

        date->setFocus();
        date->setDate(saturday);
        QCOMPARE(m_window->currentList().rowCount(), 4); // typing alone does not reload
        QTest::keyClick(date, Qt::Key_Return);
        QVERIFY(dayOff->isChecked());
        QCOMPARE(marks(), QStringList{"6=no"});

        date->setDate(today);
        QTest::keyClick(date, Qt::Key_Enter);
        QVERIFY(!dayOff->isChecked());

        // Activation on a weekday leaves a ticked box as it is; on a weekend it ticks it.
        dayOff->setChecked(true);
        m_window->activate();
        QVERIFY(dayOff->isChecked());
        dayOff->setChecked(false);
        m_clock.setToday(saturday);
        m_window->activate();
        QVERIFY(dayOff->isChecked());
        QCOMPARE(m_window->workingDay().date, saturday);
    }

    void overtimeShowsShiftFour()
    {
        logIn(QStringLiteral("masters"));
        QTest::mouseClick(child<QRadioButton>(QStringLiteral("RadioButton4")), Qt::LeftButton);
        QCOMPARE(m_window->currentShift(), 4);
        QCOMPARE(m_window->workingDay().shift, 4);
        QCOMPARE(marks(), QStringList{"5=no"});
        const QString current = child<QRadioButton>(QStringLiteral("RadioButton4"))->styleSheet();
        QVERIFY(current.contains("font-weight: bold"));
        QVERIFY(current.contains("background-color: #008000"));
        QVERIFY(current.contains("color: #FFFFFF")); // readable on the green
        QVERIFY(child<QRadioButton>(QStringLiteral("RadioButton1"))->styleSheet().isEmpty());
    }

    void deletingOnlyRecordOfDayZeroesLedger()
    {
        logIn(QStringLiteral("73516280"));
        QTest::mouseClick(child<QRadioButton>(QStringLiteral("RadioButton4")), Qt::LeftButton);
        m_window->selectRow(0);

        m_messages.answerNext(MessageAnswer::No);
        QTest::mouseClick(button(QStringLiteral("Удалить")), Qt::LeftButton);
        QCOMPARE(marks(), QStringList{"5=no"});
        QCOMPARE(ledgerDay(2, 4, 5), 6);

        m_messages.answerNext(MessageAnswer::Yes);
        QTest::mouseClick(button(QStringLiteral("Удалить")), Qt::LeftButton);
        QCOMPARE(m_messages.shown().size(), 2);
        QCOMPARE(m_messages.shown().last().text, QStringLiteral("Удалить позицию из списка?"));
        QCOMPARE(m_messages.shown().last().caption, QStringLiteral("Удаление"));
        QCOMPARE(m_messages.shown().last().buttons, MessageButtons::YesNo);
        QVERIFY(marks().isEmpty());
        QCOMPARE(ledgerDay(2, 4, 5), 0);
        QCOMPARE(ledgerDay(2, 4, 4), 0);
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.smena where id=5")), 0);

        // An empty list: nothing to delete, nothing asked.
        QTest::mouseClick(button(QStringLiteral("Удалить")), Qt::LeftButton);
        QCOMPARE(m_messages.shown().size(), 2);
    }

    void errorInHandlerIsShownOnceAndProgramGoesOn()
    {
        logIn(QStringLiteral("73516280"));
        m_db->run(QStringLiteral(
            "create function forbid() returns trigger language plpgsql as $$ begin raise exception "
            "'удаление запрещено'; end $$; create trigger forbid before delete on accounts_dep.smena "
            "for each row execute function forbid();"));
        m_window->selectRow(0);
        m_messages.answerNext(MessageAnswer::Yes);
        QTest::mouseClick(button(QStringLiteral("Удалить")), Qt::LeftButton);
        QCOMPARE(m_messages.shown().size(), 2);
        QVERIFY2(m_messages.shown().last().detail.contains(QStringLiteral("удаление запрещено")),
                 qPrintable(m_messages.shown().last().detail));
        QVERIFY(!m_db->database().inTransaction());
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.smena")), 6);
        QCOMPARE(ledgerDay(1, 1, 5), 9);
        // The window still works.
        doubleClickRecord(1);
        QCOMPARE(marks().first(), QStringLiteral("1=ok"));
        QCOMPARE(m_messages.shown().size(), 2);
    }

    void activationAfterModalChildReturnsToToday()
    {
        logIn(QStringLiteral("73516280"));
        auto* date = child<QDateEdit>(QStringLiteral("DateT"));
        date->setDate(saturday);
        m_window->chooseDate();
        QCOMPARE(marks(), QStringList{"6=no"});
        bool opened = false;
        MainLogWindow::Openers openers;
        openers.addRecord = [&] { opened = true; };
        m_window->setOpeners(std::move(openers));
        QTest::mouseClick(button(QStringLiteral("Добавить")), Qt::LeftButton);
        QVERIFY(opened);
        QCOMPARE(date->date(), today);
        QCOMPARE(m_window->currentList().rowCount(), 4);
        // Saturday's tick does not come back with Tuesday: the next record is not priced twice.
        QVERIFY(!child<QCheckBox>(QStringLiteral("CBox1"))->isChecked());
        QVERIFY(!m_window->workingDay().dayOff);
    }

    void oneClickThenTypeADate()
    {
        logIn(QStringLiteral("sklad"));
        auto* date = child<QDateEdit>(QStringLiteral("DateT"));
        auto* text = date->findChild<QLineEdit*>();
        child<QTableView>(QStringLiteral("DBGrid2"))->setFocus();
        // On the year, where a click leaves the caret behind the last digit.
        QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(text->width() - 4, text->height() / 2));
        QVERIFY(date->hasFocus());
        typeText(text, QStringLiteral("09032024"));
        QCOMPARE(date->date(), saturday);
        QTest::keyClick(text, Qt::Key_Return);
        QCOMPARE(marks(), QStringList{"6=no"});
        QVERIFY(child<QCheckBox>(QStringLiteral("CBox1"))->isChecked());
    }

    void theDateStaysWhereTheUserPutsIt()
    {
        logIn(QStringLiteral("sklad"));
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        auto* date = child<QDateEdit>(QStringLiteral("DateT"));
        const QList<QPoint> moved = dateprobe::pixelsThatMoveTheDate(*date);
        QVERIFY2(moved.isEmpty(), qPrintable(dateprobe::describe(moved)));
        QCOMPARE(date->date(), today);
        child<QTableView>(QStringLiteral("DBGrid2"))->setFocus();
        dateprobe::turnWheel(*date, 1);
        QCOMPARE(date->date(), today);
        const QStringList wrong =
            dateprobe::mistypedDates(*date, *child<QTableView>(QStringLiteral("DBGrid2")), [&] {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                return m_window->workingDay().date;
            });
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    }

    void keysOfTheGridAndButtons()
    {
        logIn(QStringLiteral("73516280"));
        int changes = 0;
        int adds = 0;
        MainLogWindow::Openers openers;
        openers.addRecord = [&] { ++adds; };
        openers.changeRecord = [&] { ++changes; };
        m_window->setOpeners(std::move(openers));
        auto* grid = child<QTableView>(QStringLiteral("DBGrid2"));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
        QCOMPARE(changes, 1);
        QTest::keyClick(grid, Qt::Key_Tab);
        QVERIFY(!grid->hasFocus());
        QCOMPARE(m_window->focusWidget(), button(QStringLiteral("Добавить")));
        QTest::keyClick(m_window->focusWidget(), Qt::Key_Return);
        QCOMPARE(adds, 1);
        QCOMPARE(changes, 1);
        // Enter means the focused button, whichever it is.
        m_db->run(QStringLiteral("delete from accounts_dep.smena"));
        button(QStringLiteral("Обновить"))->setFocus();
        QTest::keyClick(button(QStringLiteral("Обновить")), Qt::Key_Enter);
        QVERIFY(marks().isEmpty());
        QCOMPARE(adds, 1);
    }

    void enterOnARecordWhereChangingIsAllowed()
    {
        logIn(QStringLiteral("masters"));
        bool changed = false;
        MainLogWindow::Openers openers;
        openers.changeRecord = [&] { changed = true; };
        m_window->setOpeners(std::move(openers));
        auto* grid = child<QTableView>(QStringLiteral("DBGrid2"));
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
        QVERIFY(!changed);
    }

    void altWalksTheMenuBar()
    {
        logIn(QStringLiteral("73516280"));
        auto* bar = m_window->findChild<QMenuBar*>();
        QTest::keyClick(m_window->focusWidget(), Qt::Key_Alt, Qt::AltModifier);
        QVERIFY(bar->activeAction());
        QCOMPARE(bar->activeAction()->text(), QStringLiteral("Справочники"));
        QVERIFY(bar->hasFocus());
        // Along the bar to its last item, "Выход", which Enter runs.
        QTest::keyClick(bar, Qt::Key_Left);
        QCOMPARE(bar->activeAction()->text(), QStringLiteral("Выход"));
        QTest::keyClick(bar, Qt::Key_Return);
        QVERIFY(!m_window->isVisible());
    }

    void f10OpensTheFirstMenuOpenToTheUser_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("firstItem");
        QTest::newRow("full access") << "73516280"
                                     << "Справочники"
                                     << "workers";
        QTest::newRow("econom") << "econom"
                                << "Отчеты"
                                << "reports";
    }
    void f10OpensTheFirstMenuOpenToTheUser()
    {
        QFETCH(QString, word);
        QFETCH(QString, menu);
        QFETCH(QString, firstItem);
        logIn(word);
        QStringList requested;
        MainLogWindow::Openers openers;
        openers.workers = [&] { requested << "workers"; };
        openers.reports = [&] { requested << "reports"; };
        m_window->setOpeners(std::move(openers));
        QTest::keyClick(m_window->focusWidget(), Qt::Key_F10);
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(popup);
        QCOMPARE(popup->menuAction()->text(), menu);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Return);
        QCOMPARE(requested, QStringList{firstItem});
    }

    void deleteKeepsTheRowAndNamesTheRecord()
    {
        logIn(QStringLiteral("73516280"));
        m_window->selectRow(2);
        const QString third = m_window->currentValue(QStringLiteral("id")).toString();
        const QString fourth = m_window->currentList().value(3, QStringLiteral("id")).toString();
        m_messages.answerNext(MessageAnswer::No);
        QTest::mouseClick(button(QStringLiteral("Удалить")), Qt::LeftButton);
        QCOMPARE(m_window->currentRow(), 2);
        const Message asked = m_messages.shown().last();
        QCOMPARE(asked.text, QStringLiteral("Удалить позицию из списка?"));
        QCOMPARE(asked.detail, QStringLiteral("Иванов Иван; А-100; Резка; кол-во 10"));

        m_messages.answerNext(MessageAnswer::Yes);
        QTest::mouseClick(button(QStringLiteral("Удалить")), Qt::LeftButton);
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.smena where id = :id"),
                             {{":id", third.toInt()}}),
                 0);
        QCOMPARE(m_window->currentRow(), 2);
        QCOMPARE(m_window->currentValue(QStringLiteral("id")).toString(), fourth);
    }
};

TABEL_GUI_TEST_MAIN(TestMainLogWindow)
#include "TestMainLogWindow.moc"
