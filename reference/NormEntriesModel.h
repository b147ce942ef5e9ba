#pragma once

#include "reference/NormsBook.h"

#include <QAbstractTableModel>
#include <QList>
#include <optional>

namespace tabel {

// The norm entries of one operation as an editable grid sees them: the stored entries, lowest
// norm first, and one blank row at the end that becomes a new entry once something is typed
// into it (another blank row then follows, so the user can always move past it).
//
// Edits stay in the model until saveRow() or savePending() writes them; the window decides
// when (leaving a row, "Сохранить"). Rows are kept locally rather than in a QSqlTableModel,
// whose filter is a piece of SQL text.
class NormEntriesModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { NormaColumn, PriceColumn, PrizeColumn, ColumnCount };

    explicit NormEntriesModel(NormsBook& book, QObject* parent = nullptr);

    // A cell text as the column stores it: a null QVariant for an empty text, nothing when the
    // text is not a number of the column's type (either decimal mark is taken for prices).
    static std::optional<QVariant> parseCell(int column, const QString& text);

    // Reads the operation's entries afresh; unsaved changes are dropped.
    void load(int operationId);
    // Reads the entries afresh (another client may have changed them) and keeps unsaved
    // changes: a failed save leaves its row edited, not lost.
    void refresh();
    int operationId() const { return m_operationId; }

    bool isStored(int row) const;
    int entryId(int row) const;        // 0 for a row not yet stored
    int rowOfEntry(int entryId) const; // -1 when not shown
    NormEntry entry(int row) const;
    bool hasPendingChange(int row) const;
    bool hasPendingChanges() const;
    int storedCount() const;

    // Writes the row's unsaved change, if any, in one transaction; a new row gets the
    // operation's id. Throws DbError; the row then keeps its change.
    void saveRow(int row);
    void savePending();
    // A stored row: its entry is deleted unless it is the operation's last one. A row not yet
    // stored: what was typed into it is dropped. True when something went.
    bool deleteRow(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // A value that reads as a number but that a norm entry cannot take; nothing was changed.
    void valueRefused(const QString& reason);

private:
    struct Row
    {
        NormEntry entry;
        bool pending = false;
    };

    static bool isBlank(const NormEntry& entry);
    void resetRows(QList<Row> rows);
    void appendBlankRow();

    NormsBook& m_book;
    int m_operationId = 0;
    QList<Row> m_rows;
};

} // namespace tabel
