#include "timesheet/TimesheetCellDelegates.h"

#include <QApplication>
#include <QPalette>

namespace tabel {

void TimesheetDayDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    GridDelegate::initStyleOption(option, index);
    if (option->state & QStyle::State_Selected)
        return;
    const QPalette& palette = option->palette;
    const QColor invisible = palette.color(QPalette::Base);
    QColor colour = m_weekend ? weekendColour() : (m_inMonth ? palette.color(QPalette::Text) : invisible);
    const int hours = index.data().toInt();
    if (hours == 0) {
        if (!m_inMonth)
            colour = invisible;
        else if (!m_weekend)
            colour = zeroColour();
    } else if (hours == 8) {
        option->font.setBold(true);
    } else if (hours > 8) {
        option->font.setBold(true);
        option->backgroundBrush = overtimeBackground();
    }
    option->palette.setColor(QPalette::Text, colour);
}

void TimesheetTotalDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    GridDelegate::initStyleOption(option, index);
    option->font.setBold(true);
    if (!(option->state & QStyle::State_Selected))
        option->backgroundBrush = background();
}

} // namespace tabel
