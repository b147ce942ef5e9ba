#pragma once

#include <QDateEdit>
#include <QPoint>

namespace tabel {

// Every date box of the program: DD.MM.YYYY, with the calendar behind its drop-down button.
// Qt's calendar-popup date edit moves dates the user never meant to move, and this box
// mends that:
// - a press on the frame stepped the date, since the combo box's hit codes for its frame
//   and edit field are the spin box's codes for its up and down buttons; here only the
//   drop-down button acts on a press;
// - the wheel changed the date of a box the pointer merely passed over;
// - after a full day or month the box moves on to the next section by itself, and the dot
//   the user types next skipped a whole section ("28.11.2026" became 28.12.2026);
// - Tab walked through day, month and year instead of leaving the box.
// A click anywhere but the drop-down button, the focus coming in, and the calendar closing
// all select the day, so that a whole date can be typed at once; Left and Right move
// between day, month and year.
class DateBox : public QDateEdit
{
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool onDropDownButton(const QPoint& position) const;
    void selectDay();
    void selectSection(int index);
    // A press and its release at the same place, on the box or its text, is a click.
    void notePress(const QPoint& globalPosition);
    bool takeClick(const QPoint& globalPosition);

    QPoint m_pressedAt;
    bool m_pressed = false;
    // The box has just moved on to the next section by itself; a dot typed now is the one
    // that ends the section the user has just filled, not a request to skip another.
    bool m_movedOnByItself = false;
};

} // namespace tabel
