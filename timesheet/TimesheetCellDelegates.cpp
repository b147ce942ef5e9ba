#include "timesheet/TimesheetCellDelegates.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QPalette>
#include <QToolTip>

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

namespace {

constexpr int valueMargin = 1; // pixels either side of a day's value
constexpr double smallestPointSize = 5;

QStyle* styleOf(const QStyleOptionViewItem& option)
{
    return option.widget ? option.widget->style() : QApplication::style();
}

} // namespace

QFont TimesheetDayDelegate::paintedFont(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    QFont font = cell.font;
    const int room = cell.rect.width() - 2 * valueMargin;
    while (QFontMetricsF(font).horizontalAdvance(cell.text) > room && font.pointSizeF() > smallestPointSize)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    return font;
}

void TimesheetDayDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QString text = cell.text;
    cell.text.clear();
    styleOf(cell)->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
    if (text.isEmpty())
        return;
    painter->save();
    painter->setFont(paintedFont(option, index));
    const bool selected = cell.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (cell.state & QStyle::State_Active) ? QPalette::Active
                                                                             : QPalette::Inactive;
    painter->setPen(cell.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(cell.rect.adjusted(valueMargin, 0, -valueMargin, 0), Qt::AlignCenter | Qt::TextDontClip,
                      text);
    painter->restore();
}

QString TimesheetNameDelegate::toolTip(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const int margin = styleOf(cell)->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, cell.widget) + 1;
    const bool cut = QFontMetricsF(cell.font).horizontalAdvance(cell.text) > cell.rect.width() - 2 * margin;
    return cut ? cell.text : QString();
}

bool TimesheetNameDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                      const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip)
        return GridDelegate::helpEvent(event, view, option, index);
    const QString whole = toolTip(option, index);
    if (whole.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), whole, view->viewport(), option.rect);
    return true;
}

void TimesheetTotalDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    GridDelegate::initStyleOption(option, index);
    option->font.setBold(true);
    if (!(option->state & QStyle::State_Selected))
        option->backgroundBrush = background();
}

} // namespace tabel
