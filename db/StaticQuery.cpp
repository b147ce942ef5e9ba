#include "db/StaticQuery.h"

#include "db/DbError.h"

#include <QSqlError>
#include <QSqlRecord>

namespace tabel {

StaticQuery::StaticQuery(const Database& database, const QString& sql, QObject* parent)
    : QObject(parent), m_database(database), m_sql(sql)
{
    m_view.setSourceModel(&m_rows);
    m_view.setSortLocaleAware(true);
    m_view.setDynamicSortFilter(false);
}

void StaticQuery::setParameter(const QString& name, const QVariant& value)
{
    for (auto& param : m_params) {
        if (param.first == name) {
            param.second = value;
            return;
        }
    }
    m_params.append({name, value});
}

void StaticQuery::open()
{
    // Prepared once and run again at every opening: a list that reopens at each date change
    // saves the server a parse and the connection two round trips each time.
    m_database.reconnectIfLost();
    if (!m_prepared || m_preparedGeneration != m_database.generation()) {
        m_rows.clear();
        m_prepared = std::make_unique<QSqlQuery>(m_database.prepare(m_sql));
        m_preparedGeneration = m_database.generation();
    }
    m_rows.clear(); // the rows shown share the statement that is about to run again
    try {
        m_database.execute(*m_prepared, m_params);
    } catch (const DbError&) {
        m_prepared.reset(); // the statement may be gone with a broken connection
        throw;
    }
    // The model takes the statement and shares it back, so that the next opening runs the
    // same prepared statement again.
    m_rows.setQuery(std::move(*m_prepared));
    *m_prepared = m_rows.query();
    if (m_rows.lastError().isValid())
        throw DbError(m_rows.lastError().text());
    while (m_rows.canFetchMore())
        m_rows.fetchMore();
    applyTitles();
    m_view.refilter();
    m_open = true;
}

void StaticQuery::close()
{
    m_rows.clear();
    m_open = false;
}

void StaticQuery::reopen()
{
    close();
    open();
}

void StaticQuery::setFieldTitle(const QString& field, const QString& title)
{
    m_titles.insert(field, title);
    applyTitles();
}

void StaticQuery::applyTitles()
{
    for (auto it = m_titles.cbegin(); it != m_titles.cend(); ++it) {
        const int column = m_rows.record().indexOf(it.key());
        if (column >= 0)
            m_rows.setHeaderData(column, Qt::Horizontal, it.value());
    }
}

int StaticQuery::fieldIndex(const QString& field) const
{
    return m_rows.record().indexOf(field);
}

QString StaticQuery::fieldName(int column) const
{
    return m_rows.record().fieldName(column);
}

QVariant StaticQuery::value(int row, const QString& field) const
{
    const int column = fieldIndex(field);
    if (column < 0 || row < 0 || row >= m_view.rowCount())
        return {};
    return m_rows.data(m_view.mapToSource(m_view.index(row, column)));
}

int StaticQuery::find(const QString& field, const QVariant& value) const
{
    const int column = fieldIndex(field);
    if (column < 0)
        return -1;
    for (int row = 0; row < m_view.rowCount(); ++row) {
        const QModelIndex source = m_view.mapToSource(m_view.index(row, column));
        if (m_rows.data(source) == value)
            return row;
    }
    return -1;
}

bool StaticQuery::FilterModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    return !filter || filter(*static_cast<const QSqlQueryModel*>(sourceModel()), sourceRow);
}

void StaticQuery::setFilter(RowFilter filter)
{
    m_view.filter = std::move(filter);
    m_view.refilter();
}

namespace {
// Е and Ё are one letter to the sort order and to most typists, who write Е for both.
QString withoutYo(QString text)
{
    text.replace(QChar(0x0401), QChar(0x0415)); // Ё -> Е
    text.replace(QChar(0x0451), QChar(0x0435)); // ё -> е
    return text;
}
} // namespace

void StaticQuery::setPrefixFilter(const QString& field, const QString& prefix)
{
    if (prefix.isEmpty()) {
        clearFilter();
        return;
    }
    const int column = fieldIndex(field);
    const QString wanted = withoutYo(prefix);
    setFilter([column, wanted](const QSqlQueryModel& rows, int row) {
        return column >= 0 && withoutYo(rows.data(rows.index(row, column)).toString().left(wanted.size()))
                                  .startsWith(wanted, Qt::CaseInsensitive);
    });
}

void StaticQuery::clearFilter()
{
    setFilter({});
}

} // namespace tabel
