#pragma once

#include "report_engine/RowSource.h"

#include <QSqlQuery>

namespace tabel {

// The rows of an executed query. QPSQL keeps the whole result on the client, so seeking to
// any row is cheap; the query must not be forward-only.
class SqlQueryRowSource : public RowSource
{
public:
    explicit SqlQueryRowSource(QSqlQuery query);

    int rowCount() const override { return m_rowCount; }
    int columnIndex(const QString& field) const override { return m_columns.value(field, -1); }
    QVariant value(int row, int column) const override;

private:
    mutable QSqlQuery m_query;
    QHash<QString, int> m_columns;
    int m_rowCount = 0;
    mutable int m_currentRow = -1;
};

} // namespace tabel
