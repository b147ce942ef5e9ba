#include "common/DateBox.h"
#include "support/DateBoxProbe.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTest>

#include <memory>

using namespace tabel;
using namespace tabel::dateprobe;

namespace {
const QDate shown(2025, 3, 17);

// A box between two others, as in every window of the program; beside it Qt's own date
// box, to show that the probes reach what goes wrong there.
struct Window
{
    QWidget widget;
    QLineEdit* before = new QLineEdit(&widget);
    DateBox* box = new DateBox(&widget);
    QLineEdit* after = new QLineEdit(&widget);
    QDateEdit* plain = new QDateEdit(&widget);

    Window()
    {
        auto* row = new QHBoxLayout(&widget);
        for (QWidget* child : {static_cast<QWidget*>(before), static_cast<QWidget*>(box),
                               static_cast<QWidget*>(after), static_cast<QWidget*>(plain)})
            row->addWidget(child);
        plain->setCalendarPopup(true);
        plain->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        box->setDate(shown);
        plain->setDate(shown);
    }
};
} // namespace

class TestDateBox : public QObject
{
    Q_OBJECT
    std::unique_ptr<Window> m_window;

    QString selected() const { return m_window->box->findChild<QLineEdit*>()->selectedText(); }

private slots:
    void init()
    {
        m_window = std::make_unique<Window>();
        m_window->widget.show();
        QVERIFY(QTest::qWaitForWindowActive(&m_window->widget));
        m_window->before->setFocus();
    }
    void cleanup() { m_window.reset(); }

    void onlyTheDropDownButtonActsOnAPress()
    {
        const QList<QPoint> stepped = pixelsThatMoveTheDate(*m_window->plain);
        QVERIFY2(!stepped.isEmpty(), "the sweep must reach the frame, where Qt's own box steps the date");
        m_window->before->setFocus();

        const QList<QPoint> moved = pixelsThatMoveTheDate(*m_window->box);
        QVERIFY2(moved.isEmpty(), qPrintable(describe(moved)));
        QCOMPARE(m_window->box->date(), shown);
        QVERIFY(m_window->box->hasFocus());

        click(*m_window->box, dropDownButton(*m_window->box).center());
        QVERIFY(m_window->box->calendarWidget()->window()->isVisible());
        m_window->box->calendarWidget()->window()->hide();
    }

    void theWheelMovesOnlyTheBoxBeingWorkedIn()
    {
        turnWheel(*m_window->plain, 1);
        QCOMPARE(m_window->plain->date(), shown.addDays(1)); // the probe reaches the box

        turnWheel(*m_window->box, 1);
        QCOMPARE(m_window->box->date(), shown);
        QVERIFY(m_window->before->hasFocus());

        m_window->box->setFocus(Qt::TabFocusReason);
        turnWheel(*m_window->box, 1);
        QCOMPARE(m_window->box->date(), shown.addDays(1));
    }

    void aTypedDateIsTheDateShown_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QDate>("typed");
        QTest::addColumn<int>("way"); // caret position clicked, or -1 for the calendar first
        const QList<std::pair<const char*, int>> ways = {
            {"click on the day", 1}, {"click on the month", 4}, {"click on the year", 8}, {"calendar", -1}};
        for (const auto& [wayName, way] : ways)
            for (const TypedDate& typed : typedDates())
                QTest::addRow("%s, %s", wayName, typed.keys)
                    << QString::fromLatin1(typed.keys) << typed.date << way;
    }
    void aTypedDateIsTheDateShown()
    {
        QFETCH(QString, keys);
        QFETCH(QDate, typed);
        QFETCH(int, way);
        DateBox& box = *m_window->box;
        if (way < 0) {
            QVERIFY(chooseInCalendar(box, shown.addDays(40)));
            QCOMPARE(box.date(), shown.addDays(40));
        } else {
            click(box, onText(box, way));
        }
        QVERIFY(box.hasFocus());
        QCOMPARE(selected(), box.date().toString(QStringLiteral("dd")));
        type(keys);
        QCOMPARE(box.date(), typed);
        QTest::keyClick(&box, Qt::Key_Tab);
        QVERIFY(m_window->after->hasFocus());
        QCOMPARE(box.date(), typed);
    }

    void tabLeavesTheBoxAndTheArrowsWalkItsSections()
    {
        DateBox& box = *m_window->box;
        QTest::keyClick(m_window->before, Qt::Key_Tab);
        QVERIFY(box.hasFocus());
        QCOMPARE(selected(), QStringLiteral("17"));
        QTest::keyClick(&box, Qt::Key_Tab);
        QVERIFY(m_window->after->hasFocus());
        QTest::keyClick(m_window->after, Qt::Key_Backtab);
        QVERIFY(box.hasFocus());
        QCOMPARE(selected(), QStringLiteral("17")); // the day, not the year, coming back too
        QTest::keyClick(&box, Qt::Key_Backtab);
        QVERIFY(m_window->before->hasFocus());

        m_window->after->setFocus();
        QTest::keyClick(m_window->after, Qt::Key_Tab, Qt::ShiftModifier);
        QVERIFY(box.hasFocus());
        const QList<std::pair<Qt::Key, const char*>> walk = {{Qt::Key_Left, "17"},
                                                             {Qt::Key_Right, "03"},
                                                             {Qt::Key_Right, "2025"},
                                                             {Qt::Key_Right, "2025"},
                                                             {Qt::Key_Left, "03"}};
        for (const auto& [key, section] : walk) {
            QTest::keyClick(&box, key);
            QCOMPARE(selected(), QString::fromLatin1(section));
        }
        type(QStringLiteral("11"));
        QCOMPARE(box.date(), QDate(2025, 11, 17));
        QCOMPARE(selected(), QStringLiteral("2025"));
    }
};

QTEST_MAIN(TestDateBox)
#include "TestDateBox.moc"
