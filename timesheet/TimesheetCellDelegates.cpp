#include "timesheet/TimesheetCellDelegates.h"

#include <QApplication>
#include <QPalette>

namespace tabel {

TimesheetDayDelegate::Look TimesheetDayDelegate::look(int hours, const QPalette& palette) const
{
    const QColor invisible = palette.color(QPalette::Base);
    Look look;
    look.text = m_weekend ? weekendColour() : (m_inMonth ? palette.color(QPalette::Text) : invisible);
    if (hours == 0) {
        if (!m_inMonth)
            look.text = invisible;
        else if (!m_weekend)
            look.text = zeroColour();
    } else if (hours >= 8) {
        look.bold = true;
        if (hours > 8)
            look.background = overtimeBackground();
    }
    return look;
}

void TimesheetDayDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    GridDelegate::initStyleOption(option, index);
    if (option->state & QStyle::State_Selected)
        return;
    const Look cell = look(index.data().toInt(), option->palette);
    option->palette.setColor(QPalette::Text, cell.text);
    option->font.setBold(cell.bold);
    if (cell.background.isValid())
        option->backgroundBrush = cell.background;
}

void TimesheetTotalDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    GridDelegate::initStyleOption(option, index);
    option->font.setBold(true);
    if (!(option->state & QStyle::State_Selected))
        option->backgroundBrush = background();
}

} // namespace tabel
