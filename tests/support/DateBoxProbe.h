#pragma once

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

#include <functional>

// What a user does to a date box with the mouse and the keyboard, sent the way the window
// system sends it: through the box's window, so that each event reaches the part under it.
namespace tabel::dateprobe {

inline QRect dropDownButton(const QDateEdit& box)
{
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    return box.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, &box);
}

inline QWindow* windowOf(const QWidget& widget)
{
    return widget.window()->windowHandle();
}

inline void click(QDateEdit& box, const QPoint& at)
{
    const QPoint inWindow = box.mapTo(box.window(), at);
    QTest::mousePress(windowOf(box), Qt::LeftButton, {}, inWindow);
    QTest::mouseRelease(windowOf(box), Qt::LeftButton, {}, inWindow);
}

// A press and release on every pixel of the box but its drop-down button, the frame included.
// Gives the pixels after which the box showed another date; the date is put back after each.
inline QList<QPoint> pixelsThatMoveTheDate(QDateEdit& box)
{
    const QDate shown = box.date();
    const QRect button = dropDownButton(box);
    QList<QPoint> moved;
    for (int y = 0; y < box.height(); ++y) {
        for (int x = 0; x < box.width(); ++x) {
            const QPoint at(x, y);
            if (button.contains(at))
                continue;
            click(box, at);
            if (box.date() != shown) {
                moved << at;
                box.setDate(shown);
            }
        }
    }
    return moved;
}

inline QString describe(const QList<QPoint>& pixels)
{
    QStringList text;
    for (const QPoint& p : pixels.mid(0, 8))
        text << QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y());
    return QStringLiteral("%1 pixels: %2").arg(pixels.size()).arg(text.join(QLatin1Char(' ')));
}

// Notches of the wheel with the pointer on the box, as the window system sends them.
inline void turnWheel(QDateEdit& box, int notches)
{
    const QPoint at = box.rect().center();
    QWheelEvent wheel(QPointF(at), QPointF(box.mapToGlobal(at)), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    QApplication::sendEvent(&box, &wheel);
}

// A point on the text of the box whose caret position is `position` ("10.12.2026": 1 is in
// the day, 4 in the month, 8 in the year).
inline QPoint onText(QDateEdit& box, int position)
{
    auto* text = box.findChild<QLineEdit*>();
    for (int x = 0; x < text->width(); ++x) {
        const QPoint at(x, text->height() / 2);
        if (text->cursorPositionAt(at) == position)
            return text->mapTo(&box, at);
    }
    return {};
}

// Types into whatever has the keyboard focus, as a keyboard does.
inline void type(const QString& keys)
{
    QTest::keyClicks(QApplication::focusWidget(), keys);
}

// Opens the calendar with its button, moves the calendar to `date` and takes it with Enter.
inline bool chooseInCalendar(QDateEdit& box, const QDate& date)
{
    click(box, dropDownButton(box).center());
    QCalendarWidget* calendar = box.calendarWidget();
    if (!calendar->window()->isVisible())
        return false;
    calendar->setSelectedDate(date);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    return !calendar->window()->isVisible();
}

// The ways a user types 28.11.2026 or 5.12.2026 over a box that shows another date.
struct TypedDate
{
    const char* keys;
    QDate date;
};

inline const QList<TypedDate>& typedDates()
{
    static const QList<TypedDate> dates = {
        {"28.11.2026", QDate(2026, 11, 28)}, {"28112026", QDate(2026, 11, 28)},
        {"5.12.2026", QDate(2026, 12, 5)},   {"05.12.2026", QDate(2026, 12, 5)},
        {"05122026", QDate(2026, 12, 5)},    {"1.1.2027", QDate(2027, 1, 1)},
    };
    return dates;
}

// Types every form of typedDates() after each way into the box: one click on the day, the
// month or the year, or the calendar first (and then one click, when the window takes the
// focus elsewhere once the calendar closes). take() ends the typing as the window expects,
// with Tab or Enter, and gives the date the window then works with. Gives what went wrong.
inline QStringList mistypedDates(QDateEdit& box, QWidget& elsewhere, const std::function<QDate()>& take)
{
    const QDate start(2025, 3, 17);
    const QList<std::pair<QString, int>> ways = {{QStringLiteral("a click on the day"), 1},
                                                 {QStringLiteral("a click on the month"), 4},
                                                 {QStringLiteral("a click on the year"), 8},
                                                 {QStringLiteral("the calendar"), -1}};
    QStringList wrong;
    for (const auto& [way, position] : ways) {
        for (const TypedDate& typed : typedDates()) {
            box.setDate(start);
            elsewhere.setFocus(Qt::OtherFocusReason);
            if (position >= 0) {
                click(box, onText(box, position));
            } else {
                if (!chooseInCalendar(box, start.addDays(40))) {
                    wrong << QStringLiteral("the calendar did not open and close");
                    continue;
                }
                QCoreApplication::processEvents();
                if (!box.hasFocus())
                    click(box, onText(box, 8));
            }
            type(QString::fromLatin1(typed.keys));
            const QDate taken = take();
            if (taken != typed.date || box.date() != typed.date)
                wrong << QStringLiteral("%1 after %2 gave %3")
                             .arg(QString::fromLatin1(typed.keys), way,
                                  taken.toString(QStringLiteral("dd.MM.yyyy")));
        }
    }
    return wrong;
}

} // namespace tabel::dateprobe
