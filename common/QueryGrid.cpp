#include "common/QueryGrid.h"

#include "common/GridSource.h"
#include "common/Numbers.h"

#include <QDateTime>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>

namespace tabel {

QString GridDelegate::displayText(const QVariant& value, const QLocale& locale) const
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QDateTime:
        return value.toDateTime().date().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::Double:
    case QMetaType::Float:
        return halfEvenText(value.toDouble(), m_minDecimals, std::max(4, m_minDecimals));
    default:
        break;
    }
    return QStyledItemDelegate::displayText(value, locale);
}

void GridDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->displayAlignment = m_alignment;
}

QueryGrid::QueryGrid(QTableView& view, QList<GridColumn> columns)
    : QObject(&view), m_view(view), m_columns(std::move(columns))
{
    QHeaderView& header = *m_view.horizontalHeader();
    QFont bold = header.font();
    bold.setBold(true);
    header.setFont(bold);
    header.setDefaultAlignment(Qt::AlignCenter);
}

void QueryGrid::show(GridSource& rows)
{
    m_rows = &rows;
    if (m_view.model() != rows.model()) {
        disconnect(m_resetConnection);
        m_view.setModel(rows.model());
        m_resetConnection =
            connect(rows.model(), &QAbstractItemModel::modelReset, this, &QueryGrid::applyLayout);
    }
    applyLayout();
}

void QueryGrid::setDelegate(const QString& field, GridDelegate* delegate)
{
    delegate->setParent(&m_view);
    delete m_delegates.value(field);
    m_delegates.insert(field, delegate);
    applyLayout();
}

void QueryGrid::applyLayout()
{
    if (!m_rows)
        return;
    QHeaderView& header = *m_view.horizontalHeader();
    const int count = m_rows->model()->columnCount();
    for (int column = 0; column < count; ++column)
        m_view.setColumnHidden(column, true);
    int visual = 0;
    for (const GridColumn& wanted : m_columns) {
        const int column = m_rows->fieldIndex(wanted.field);
        if (column < 0)
            continue;
        m_rows->setFieldTitle(wanted.field, wanted.title);
        m_view.setColumnHidden(column, false);
        header.moveSection(header.visualIndex(column), visual++);
        if (wanted.width > 0)
            m_view.setColumnWidth(column, wanted.width);
        GridDelegate* delegate = m_delegates.value(wanted.field);
        if (!delegate) {
            delegate = new GridDelegate(&m_view);
            m_delegates.insert(wanted.field, delegate);
        }
        delegate->setAlignment(wanted.alignment);
        delegate->setMinDecimals(wanted.minDecimals);
        m_view.setItemDelegateForColumn(column, delegate);
    }
}

} // namespace tabel
