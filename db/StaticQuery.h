#pragma once

#include "common/GridSource.h"
#include "db/Database.h"

#include <QHash>
#include <QObject>
#include <QSortFilterProxyModel>
#include <QSqlQueryModel>
#include <functional>
#include <memory>

namespace tabel {

class Database;

// A statement whose whole result is fetched when it opens, then filtered, sorted, counted
// and searched on the client without asking the server again. Every list of the program
// is one of these; grids show model().
class StaticQuery : public QObject, public GridSource
{
    Q_OBJECT
public:
    using RowFilter = std::function<bool(const QSqlQueryModel& rows, int row)>;

    StaticQuery(const Database& database, const QString& sql, QObject* parent = nullptr);

    QString sql() const { return m_sql; }
    void setParameter(const QString& name, const QVariant& value);

    void open();
    void close();
    void reopen();
    bool isOpen() const { return m_open; }

    // Titles survive reopening, unlike the model's own header data.
    void setFieldTitle(const QString& field, const QString& title) override;

    // Rows as the grid shows them: filtered and sorted.
    QAbstractItemModel* model() override { return &m_view; }
    int rowCount() const { return m_view.rowCount(); }
    int fieldIndex(const QString& field) const override;
    QString fieldName(int column) const;
    QVariant value(int row, const QString& field) const;
    // The first shown row whose field equals value, or -1.
    int find(const QString& field, const QVariant& value) const;

    void setFilter(RowFilter filter);
    // Rows whose field starts with prefix, ignoring letter case (Cyrillic and Latin alike) and
    // taking Е and Ё for the same letter.
    // Set it while the query is open: the field is looked up once.
    void setPrefixFilter(const QString& field, const QString& prefix);
    void clearFilter();

private:
    class FilterModel : public QSortFilterProxyModel
    {
    public:
        RowFilter filter;
        void refilter() { invalidateFilter(); }

    protected:
        bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    };

    void applyTitles();

    const Database& m_database;
    QString m_sql;
    std::unique_ptr<QSqlQuery> m_prepared;
    int m_preparedGeneration = 0;
    SqlParams m_params;
    bool m_open = false;
    QSqlQueryModel m_rows;
    FilterModel m_view;
    QHash<QString, QString> m_titles;
};

} // namespace tabel
