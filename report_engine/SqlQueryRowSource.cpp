#include "report_engine/SqlQueryRowSource.h"

#include <QSqlRecord>

namespace tabel {

SqlQueryRowSource::SqlQueryRowSource(QSqlQuery query) : m_query(std::move(query))
{
    // Filters look fields up by name on every row; a record is too dear to build each time.
    const QSqlRecord record = m_query.record();
    for (int column = 0; column < record.count(); ++column)
        m_columns.insert(record.fieldName(column), column);
    // size() is -1 for drivers that do not know it in advance; counting by seeking to the
    // end works for every driver that can seek at all.
    m_rowCount = m_query.size();
    if (m_rowCount < 0) {
        m_rowCount = m_query.last() ? m_query.at() + 1 : 0;
        m_currentRow = m_rowCount - 1;
    }
}

QVariant SqlQueryRowSource::value(int row, int column) const
{
    if (column < 0 || row < 0 || row >= m_rowCount)
        return {};
    if (row != m_currentRow) {
        if (!m_query.seek(row))
            return {};
        m_currentRow = row;
    }
    return m_query.value(column);
}

} // namespace tabel
