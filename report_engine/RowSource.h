#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace tabel {

// The rows a report walks through. Access is by row index, so that a page can be laid out
// again from a checkpoint that holds only the index of its first row.
class RowSource
{
public:
    virtual ~RowSource() = default;
    virtual int rowCount() const = 0;
    // -1 when the rows have no such field.
    virtual int columnIndex(const QString& field) const = 0;
    virtual QVariant value(int row, int column) const = 0;
};

// One row as filters and computed texts see it.
class ReportRow
{
public:
    ReportRow(const RowSource& source, int index) : m_source(source), m_index(index) {}

    int index() const { return m_index; }
    // A null QVariant for a field the rows do not have.
    QVariant value(const QString& field) const;
    QVariant value(int column) const { return m_source.value(m_index, column); }
    int columnIndex(const QString& field) const { return m_source.columnIndex(field); }

private:
    const RowSource& m_source;
    int m_index;
};

// Rows kept in memory: tests, benchmarks and reports assembled by the program itself.
class MemoryRowSource : public RowSource
{
public:
    MemoryRowSource(const QStringList& fields, QList<QVariantList> rows);

    int rowCount() const override { return int(m_rows.size()); }
    int columnIndex(const QString& field) const override { return m_columns.value(field, -1); }
    QVariant value(int row, int column) const override;

private:
    QHash<QString, int> m_columns;
    QList<QVariantList> m_rows;
};

} // namespace tabel
