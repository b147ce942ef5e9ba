#include "report_engine/RowSource.h"

namespace tabel {

QVariant ReportRow::value(const QString& field) const
{
    const int column = m_source.columnIndex(field);
    return column < 0 ? QVariant() : m_source.value(m_index, column);
}

MemoryRowSource::MemoryRowSource(const QStringList& fields, QList<QVariantList> rows)
    : m_rows(std::move(rows))
{
    for (int column = 0; column < fields.size(); ++column)
        m_columns.insert(fields.at(column), column);
}

QVariant MemoryRowSource::value(int row, int column) const
{
    const QVariantList& values = m_rows.at(row);
    return column >= 0 && column < values.size() ? values.at(column) : QVariant();
}

} // namespace tabel
