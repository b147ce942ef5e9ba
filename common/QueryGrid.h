#pragma once

#include <QHash>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QStyledItemDelegate>

class QTableView;

namespace tabel {

class GridSource;

struct GridColumn
{
    QString field;
    QString title;
    int width = -1; // -1: the view's default
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int minDecimals = 0; // money: 2, so that 261 reads 261,00
};

class GridDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override;
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    void setMinDecimals(int decimals) { m_minDecimals = decimals; }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int m_minDecimals = 0;
};

// Shows rows in a grid with only these columns, in this order, with centred bold titles,
// and keeps that layout when the rows reload (a model reset forgets hidden and moved columns).
// Dates read as DD.MM.YYYY and numbers with the decimal comma, whatever the machine's locale.
class QueryGrid : public QObject
{
public:
    QueryGrid(QTableView& view, QList<GridColumn> columns);
    void show(GridSource& rows);
    // A drawing of its own for one field's cells; the grid takes ownership.
    void setDelegate(const QString& field, GridDelegate* delegate);

private:
    void applyLayout();

    QTableView& m_view;
    QList<GridColumn> m_columns;
    GridSource* m_rows = nullptr;
    QHash<QString, GridDelegate*> m_delegates;
    QMetaObject::Connection m_resetConnection;
};

} // namespace tabel
