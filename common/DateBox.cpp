#include "common/DateBox.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QWheelEvent>

#include <algorithm>

namespace tabel {

namespace {
bool isTab(const QKeyEvent& key)
{
    return (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) &&
           !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

bool isPlainKey(const QKeyEvent& key, Qt::Key which)
{
    return key.key() == which && !(key.modifiers() & ~Qt::KeypadModifier);
}

bool isDigit(const QKeyEvent& key)
{
    return key.text().size() == 1 && key.text().at(0).isDigit();
}
} // namespace

DateBox::DateBox(QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    // Not WheelFocus: the wheel turning over the box must not take the focus, and with it
    // the date.
    setFocusPolicy(Qt::StrongFocus);
    lineEdit()->installEventFilter(this);
    calendarWidget()->window()->installEventFilter(this);
}

bool DateBox::onDropDownButton(const QPoint& position) const
{
    // The same test Qt makes before it opens the calendar.
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    return style()->hitTestComplexControl(QStyle::CC_ComboBox, &option, position, this) ==
           QStyle::SC_ComboBoxArrow;
}

bool DateBox::event(QEvent* event)
{
    // Tab leaves the box as it leaves any other box, rather than going on to the month.
    if (event->type() == QEvent::KeyPress && isTab(*static_cast<QKeyEvent*>(event))) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
        QWidget::focusNextPrevChild(forward);
        return true;
    }
    return QDateEdit::event(event);
}

bool DateBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton)
            notePress(mouse->globalPosition().toPoint());
        // Left alone, a click leaves the caret between the digits of a section, where typing
        // does nothing.
        else if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton &&
                 takeClick(mouse->globalPosition().toPoint()))
            selectDay();
    } else if (event->type() == QEvent::Hide) {
        // The calendar has closed: a date typed next starts at the day.
        selectDay();
    }
    return QDateEdit::eventFilter(watched, event);
}

void DateBox::focusInEvent(QFocusEvent* event)
{
    QDateEdit::focusInEvent(event);
    m_movedOnByItself = false;
    // A click selects the day on its release, and coming back from another window or a
    // menu keeps the place the user left.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::MouseFocusReason && reason != Qt::ActiveWindowFocusReason &&
        reason != Qt::PopupFocusReason)
        selectDay();
}

void DateBox::keyPressEvent(QKeyEvent* event)
{
    if (m_movedOnByItself && event->text() == QLatin1String(".")) {
        m_movedOnByItself = false;
        event->accept();
        return;
    }
    m_movedOnByItself = false;
    if (isPlainKey(*event, Qt::Key_Left) || isPlainKey(*event, Qt::Key_Right)) {
        const bool right = (event->key() == Qt::Key_Right) != isRightToLeft();
        selectSection(currentSectionIndex() + (right ? 1 : -1));
        event->accept();
        return;
    }
    const int sectionBefore = currentSectionIndex();
    QDateEdit::keyPressEvent(event);
    m_movedOnByItself = isDigit(*event) && currentSectionIndex() != sectionBefore;
}

void DateBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && onDropDownButton(event->position().toPoint())) {
        QDateEdit::mousePressEvent(event);
        return;
    }
    // Qt would read the press as a step of the date; it only brings the focus in.
    if (event->button() == Qt::LeftButton)
        notePress(event->globalPosition().toPoint());
    event->accept();
}

void DateBox::mouseReleaseEvent(QMouseEvent* event)
{
    QDateEdit::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && takeClick(event->globalPosition().toPoint()))
        selectDay();
}

void DateBox::wheelEvent(QWheelEvent* event)
{
    if (!hasFocus()) {
        // Left to the window under the box, which may scroll.
        event->ignore();
        return;
    }
    QDateEdit::wheelEvent(event);
}

void DateBox::selectDay()
{
    m_movedOnByItself = false;
    selectSection(0);
}

void DateBox::selectSection(int index)
{
    index = std::clamp(index, 0, sectionCount() - 1);
    setCurrentSectionIndex(index);
    setSelectedSection(sectionAt(index));
}

void DateBox::notePress(const QPoint& globalPosition)
{
    m_pressedAt = globalPosition;
    m_pressed = true;
}

bool DateBox::takeClick(const QPoint& globalPosition)
{
    const bool pressed = m_pressed;
    m_pressed = false;
    // A drag selects text as usual.
    return pressed && (globalPosition - m_pressedAt).manhattanLength() < QApplication::startDragDistance();
}

} // namespace tabel
