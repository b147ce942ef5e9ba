#include "common/Clock.h"
#include "db/DataModule.h"
#include "production_log/ProductionRecordEditor.h"
#include "support/DateBoxProbe.h"
#include "support/GuiTestCase.h"
#include "support/GuiTestMain.h"
#include "support/TestDatabase.h"
#include "support/TypeText.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace tabel;

namespace {
const QDate day(2024, 3, 5);

const char* const fixture = R"(
insert into cmn_contractor.person (id, s_caption, s_code) values (1, 'Иванов Иван', '1');
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_description, id_msm_bs, massa) values (10, 'А-100', '', 6, 1);
insert into accounts_dep.vid_oper (id, vid) values (1, 'Резка'), (2, 'ПоКрАсКа');
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values (100, 1, 0, 10, 0), (101, 2, 0, 10, 0);
insert into accounts_dep.norm (o_id, norma, price, prize) values (100, 1, 2.0, 0), (101, 1, 4.0, 0);
)";

const OperationChoice cutting{10, 100, 2.0, QStringLiteral("А-100; Резка; Готовая продукция")};
const OperationChoice painting{10, 101, 4.0, QStringLiteral("А-100; ПоКрАсКа; Готовая продукция")};
} // namespace

class TestProductionRecordEditor : public GuiTestCase
{
    Q_OBJECT
    std::unique_ptr<TestDatabase> m_db;
    FixedClock m_clock{day};
    std::unique_ptr<DataModule> m_module;
    std::unique_ptr<ProductionRecordEditor> m_editor;
    OperationChoice m_nextOperation = cutting;

    int records() { return m_db->count(QStringLiteral("select count(*) from accounts_dep.smena")); }
    // A complete record in add mode, ready to save.
    void fillIn(const OperationChoice& operation, const WorkingDay& working = {day, 1, false, "masters"})
    {
        m_editor->prepareAdd(working);
        m_nextOperation = operation;
        m_editor->pickWorker();
        m_editor->pickOperation();
        m_editor->quantityBox()->setText(QStringLiteral("10"));
        m_editor->hoursBox()->setText(QStringLiteral("8"));
        if (m_editor->colourBox()->isEnabled())
            m_editor->colourBox()->setText(QStringLiteral("3"));
    }

    void showEditor()
    {
        m_editor->show();
        QVERIFY(QTest::qWaitForWindowActive(m_editor.get()));
    }
    QWidget* named(const QString& name) { return m_editor->findChild<QWidget*>(name); }
    // "Запись" clicked with the mouse, which takes the focus to the button.
    void clickSave() { QTest::mouseClick(static_cast<QPushButton*>(named("Button1")), Qt::LeftButton); }
    // The user leaves the box with Tab.
    void leave(QLineEdit* box)
    {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Tab);
        QVERIFY(!box->hasFocus());
    }

private slots:
    void init()
    {
        m_db = std::make_unique<TestDatabase>(QStringLiteral("editor"));
        m_db->run(QString::fromUtf8(fixture));
        startCase(&m_db->database());
        m_module = std::make_unique<DataModule>(m_db->database());
        m_editor = std::make_unique<ProductionRecordEditor>(*m_module, m_messages, m_clock);
        m_editor->setPickers(
            [] {
                return std::optional<ListChoice>(ListChoice{QStringLiteral("Иванов Иван"), 1});
            },
            [this](int) { return std::optional<OperationChoice>(m_nextOperation); });
    }
    void cleanup()
    {
        finishCase();
        m_editor.reset();
        m_module.reset();
        m_db.reset();
    }

    void everyEmptyFieldIsRefused_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("focus"); // where the user is taken to put it right
        QTest::newRow("worker") << "worker"
                                << "Button3";
        QTest::newRow("operation") << "operation"
                                   << "Button4";
        QTest::newRow("quantity") << "quantity"
                                  << "Edit3";
        QTest::newRow("rejects") << "rejects"
                                 << "Edit6";
        QTest::newRow("colour of a paint operation") << "colour"
                                                     << "Edit5";
        QTest::newRow("hours") << "hours"
                               << "Edit4";
        QTest::newRow("blanks only") << "blanks"
                                     << "Button3";
    }
    void everyEmptyFieldIsRefused()
    {
        QFETCH(QString, box);
        QFETCH(QString, focus);
        fillIn(painting);
        showEditor();
        const QHash<QString, QLineEdit*> boxes = {
            {"worker", m_editor->workerBox()},     {"operation", m_editor->operationBox()},
            {"quantity", m_editor->quantityBox()}, {"rejects", m_editor->rejectsBox()},
            {"colour", m_editor->colourBox()},     {"hours", m_editor->hoursBox()},
            {"blanks", m_editor->workerBox()}};
        boxes.value(box)->setText(box == QLatin1String("blanks") ? QStringLiteral("   ") : QString());
        clickSave();
        QCOMPARE(m_messages.texts(), QStringList{"Все поля должны быть заполнены!"});
        QCOMPARE(records(), 0);
        QCOMPARE(QApplication::focusWidget(), named(focus));
    }

    void aRefusedSaveTakesTheUserToWhatCausedIt_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("rejects above quantity") << "Edit6"
                                                << "11"
                                                << "Брак не может быть больше количества!"
                                                << "Edit6";
        QTest::newRow("more than a day") << "Edit4"
                                         << "25"
                                         << "Время не может быть больше 24 часов!"
                                         << "Edit4";
        QTest::newRow("the same record again") << ""
                                               << ""
                                               << "Позиция с такими параметрами уже заведена!"
                                               << "Button3";
    }
    void aRefusedSaveTakesTheUserToWhatCausedIt()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        if (box.isEmpty()) {
            fillIn(cutting);
            m_editor->save();
            QCOMPARE(records(), 1);
        }
        fillIn(cutting);
        if (!box.isEmpty())
            static_cast<QLineEdit*>(named(box))->setText(typed);
        showEditor();
        clickSave();
        QCOMPARE(m_messages.texts(), QStringList{message});
        QCOMPARE(QApplication::focusWidget(), named(focus));
    }

    void tabStepsOverTheDateAsOverAnyBox()
    {
        fillIn(painting);
        showEditor();
        QDateEdit* date = m_editor->datePicker();
        m_editor->hoursBox()->setFocus(Qt::TabFocusReason);
        const QStringList forward = {"Edit5", "DateT", "Edit6"};
        for (const QString& next : forward) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QVERIFY(date->hasFocus());
        QCOMPARE(date->findChild<QLineEdit*>()->selectedText(), QStringLiteral("05"));
        dateprobe::type(QStringLiteral("7"));
        QCOMPARE(date->date(), QDate(2024, 3, 7)); // a digit lands in the day, not the year
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), m_editor->colourBox());
    }

    void theDateBoxKeepsItsDateAndTakesTypedOnes()
    {
        fillIn(cutting);
        showEditor();
        QDateEdit* date = m_editor->datePicker();
        const QList<QPoint> moved = dateprobe::pixelsThatMoveTheDate(*date);
        QVERIFY2(moved.isEmpty(), qPrintable(dateprobe::describe(moved)));
        QCOMPARE(date->date(), day);
        const QStringList wrong = dateprobe::mistypedDates(*date, *m_editor->rejectsBox(), [&] {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            return date->date();
        });
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));

        // The record takes the date as typed.
        date->setFocus(Qt::TabFocusReason);
        dateprobe::type(QStringLiteral("28.11.2026"));
        clickSave();
        QVERIFY(m_messages.shown().isEmpty());
        QCOMPARE(
            m_db->count(QStringLiteral("select count(*) from accounts_dep.smena where data = '2026-11-28'")),
            1);
    }

    void colourOnlyForPaintInAnyLetterCase()
    {
        fillIn(cutting);
        QVERIFY(!m_editor->colourBox()->isEnabled());
        m_editor->save();
        QVERIFY(m_messages.shown().isEmpty());
        QCOMPARE(m_db->count(QStringLiteral("select color from accounts_dep.smena where o_id = 100")), 0);

        fillIn(painting);
        QVERIFY(m_editor->colourBox()->isEnabled());
        m_editor->save();
        QCOMPARE(m_db->count(QStringLiteral("select color from accounts_dep.smena where o_id = 101")), 3);
    }

    void pickPricesByTheWorkingDay()
    {
        fillIn(cutting, {day, 4, true, "masters"});
        showEditor();
        QCOMPARE(m_editor->operationBox()->cursorPosition(), 0);
        leave(m_editor->quantityBox());
        QCOMPARE(m_editor->basePriceBox()->text(), QStringLiteral("2"));
        QCOMPARE(m_editor->finalPriceBox()->text(), QStringLiteral("6"));
        QCOMPARE(m_editor->finalPriceBox()->toolTip(),
                 QStringLiteral("Цена 2,00 — по норме 1 × 2 (выходной) × 1,5 (переработка) = 6,00"));
        QCOMPARE(m_editor->amountBox()->text(), QStringLiteral("60")); // rejects not subtracted here
        m_editor->save();
        QCOMPARE(m_db->count(
                     QStringLiteral("select count(*) from accounts_dep.smena where cena = 6 and smena = 4")),
                 1);
    }

    void emptyBoxBecomesZeroOnLeaving_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("amount"); // refreshed on leaving, from what the boxes then hold
        QTest::newRow("Кол-во") << "quantity"
                                << "0";
        QTest::newRow("Время") << "hours"
                               << "20";
    }
    void emptyBoxBecomesZeroOnLeaving()
    {
        QFETCH(QString, box);
        QFETCH(QString, amount);
        fillIn(cutting);
        showEditor();
        QLineEdit* emptied =
            box == QLatin1String("quantity") ? m_editor->quantityBox() : m_editor->hoursBox();
        emptied->clear();
        m_editor->amountBox()->clear();
        leave(emptied);
        QCOMPARE(emptied->text(), QStringLiteral("0"));
        QCOMPARE(m_editor->amountBox()->text(), amount);
        m_editor->save();
        QVERIFY2(m_messages.shown().isEmpty(), qPrintable(m_messages.texts().join(" | ")));
        QCOMPARE(records(), 1);
    }

    // 0,6875 on overtime is 1,03125: shown and stored as 1,0312, but ten pieces earn 10,3125.
    void amountComesFromTheUnroundedPrice()
    {
        const OperationChoice odd{10, 100, 0.6875, QStringLiteral("А-100; Резка; Готовая продукция")};
        fillIn(odd, {day, 4, false, "masters"});
        showEditor();
        leave(m_editor->quantityBox());
        QCOMPARE(m_editor->finalPriceBox()->text(), QStringLiteral("1,0312"));
        QCOMPARE(m_editor->amountBox()->text(), QStringLiteral("10,3125"));
        m_editor->save();
        QCOMPARE(m_db->count(QStringLiteral("select count(*) from accounts_dep.smena where cena = 1.0312")),
                 1);
    }

    void rejectsAboveQuantityAndOutOfRangeNumbers()
    {
        fillIn(cutting);
        m_editor->rejectsBox()->setText(QStringLiteral("11"));
        m_editor->save();
        QCOMPARE(m_messages.texts(), QStringList{"Брак не может быть больше количества!"});
        QCOMPARE(records(), 0);

        // Rejects and hours fit a smallint, quantity and colour an integer: longer numbers,
        // letters and signs cannot be typed.
        m_editor->rejectsBox()->clear();
        typeText(m_editor->rejectsBox(), QStringLiteral("40000"));
        QCOMPARE(m_editor->rejectsBox()->text(), QStringLiteral("4000"));
        m_editor->quantityBox()->clear();
        typeText(m_editor->quantityBox(), QStringLiteral("-12a99999999999"));
        QCOMPARE(m_editor->quantityBox()->text(), QStringLiteral("1299999999"));
    }

    void changeKeepsStoredPriceWithoutNewPick()
    {
        m_db->run(QStringLiteral("insert into accounts_dep.smena (id, w_id, i_id, o_id, cena, kol_vo, brak, "
                                 "data, smena, color, time, ok) "
                                 "values (7, 1, 10, 100, 7.77, 10, 0, '2024-03-05', 1, 0, 6, 'ok')"));
        const QVariantMap record = {{"id", 7},
                                    {"w_id", 1},
                                    {"i_id", 10},
                                    {"o_id", 100},
                                    {"cena", 7.77},
                                    {"kol_vo", 10.0},
                                    {"brak", 0},
                                    {"time", 6},
                                    {"color", 0},
                                    {"data", day},
                                    {"fio", "Иванов Иван "},
                                    {"marka", "А-100"},
                                    {"vid", "Резка"},
                                    {"naimen", 0}};
        m_editor->prepareChange({day, 1, true, "73516280"}, record); // the day off no longer matters
        QCOMPARE(m_editor->windowTitle(), QStringLiteral("Изменение данных о позиции"));
        QCOMPARE(m_editor->workerBox()->text(), QStringLiteral("Иванов Иван"));
        QCOMPARE(m_editor->operationBox()->cursorPosition(), 0); // the grade at the start in sight
        QCOMPARE(m_editor->basePriceBox()->text(), QStringLiteral("2"));
        QCOMPARE(m_editor->finalPriceBox()->text(), QStringLiteral("7,77"));
        // Today's norms no longer make 7.77: nothing to explain it by.
        QCOMPARE(m_editor->finalPriceBox()->toolTip(), QString());
        QCOMPARE(m_editor->amountBox()->text(), QStringLiteral("77,7"));
        m_editor->quantityBox()->setText(QStringLiteral("12"));
        m_editor->save();
        QVERIFY(m_messages.shown().isEmpty());
        QCOMPARE(
            m_db->count(QStringLiteral("select count(*) from accounts_dep.smena where id = 7 and cena = 7.77 "
                                       "and kol_vo = 12 and ok = 'ok' and vvod = '2024-03-05'")),
            1);
    }
};

TABEL_GUI_TEST_MAIN(TestProductionRecordEditor)
#include "TestProductionRecordEditor.moc"
