#pragma once

#include "common/QueryGrid.h"

namespace tabel {

// One day column of a time sheet grid. Weekends are red; the days after the month's end hide
// their values; a 0 is silver, an 8 (a full shift) bold, and more than 8 bold on pale green,
// so that overtime stands out at a glance. The selected cell keeps the system's highlight.
class TimesheetDayDelegate : public GridDelegate
{
public:
    using GridDelegate::GridDelegate;
    void setDay(bool weekend, bool inMonth)
    {
        m_weekend = weekend;
        m_inMonth = inMonth;
    }
    bool weekend() const { return m_weekend; }
    bool inMonth() const { return m_inMonth; }

    // How a cell of this column that is not selected shows a value.
    struct Look
    {
        QColor text;
        bool bold = false;
        QColor background; // invalid: the grid's own
    };
    Look look(int hours, const QPalette& palette) const;

    // The font a cell's value is painted in: the grid's, bold where the look says so, smaller
    // only if the value would not fit its column otherwise. The value is drawn across the
    // whole cell, without the style's text margins, so that "24" in bold fits 20 pixels.
    QFont paintedFont(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    static QColor weekendColour() { return QColor(255, 0, 0); }
    static QColor zeroColour() { return QColor(0xC0, 0xC0, 0xC0); }
    static QColor overtimeBackground() { return QColor(0xC0, 0xDC, 0xC0); }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    bool m_weekend = false;
    bool m_inMonth = true;
};

// A worker's name in its fixed column: a name cut by the column shows whole as its tooltip.
class TimesheetNameDelegate : public GridDelegate
{
public:
    using GridDelegate::GridDelegate;
    // The tooltip of a cell: the whole name where the column cuts it, else nothing.
    QString toolTip(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};

// The month's total: bold on a pale lilac of its own.
class TimesheetTotalDelegate : public GridDelegate
{
public:
    using GridDelegate::GridDelegate;
    static QColor background() { return QColor(0xE1, 0xE4, 0xFF); }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

} // namespace tabel
