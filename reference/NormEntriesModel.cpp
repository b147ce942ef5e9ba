#include "reference/NormEntriesModel.h"

#include "common/DecimalText.h"
#include "common/Numbers.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace tabel {

namespace {

QVariant cellValue(const NormEntry& entry, int column)
{
    switch (column) {
    case NormEntriesModel::NormaColumn:
        return entry.norma ? QVariant(*entry.norma) : QVariant();
    case NormEntriesModel::PriceColumn:
        return entry.price ? QVariant(*entry.price) : QVariant();
    case NormEntriesModel::PrizeColumn:
        return entry.prize ? QVariant(*entry.prize) : QVariant();
    default:
        return {};
    }
}

template <typename T> std::optional<T> optionalOf(const QVariant& value)
{
    return value.isNull() ? std::nullopt : std::optional<T>(value.value<T>());
}

void setCellValue(NormEntry& entry, int column, const QVariant& value)
{
    switch (column) {
    case NormEntriesModel::NormaColumn:
        entry.norma = optionalOf<int>(value);
        break;
    case NormEntriesModel::PriceColumn:
        entry.price = optionalOf<double>(value);
        break;
    case NormEntriesModel::PrizeColumn:
        entry.prize = optionalOf<int>(value);
        break;
    default:
        break;
    }
}

} // namespace

NormEntriesModel::NormEntriesModel(NormsBook& book, QObject* parent)
    : QAbstractTableModel(parent), m_book(book)
{
    appendBlankRow();
}

std::optional<QVariant> NormEntriesModel::parseCell(int column, const QString& text)
{
    const QString trimmed = text.trimmed();
    if (column == PriceColumn) {
        if (trimmed.isEmpty())
            return QVariant(QMetaType::fromType<double>());
        // The cell has no validator and has always taken a sign before the number; the number
        // after it reads as in every other box, and a blank between the two is refused.
        const bool negative = trimmed.startsWith(QLatin1Char('-'));
        const QString number = negative || trimmed.startsWith(QLatin1Char('+')) ? trimmed.mid(1) : trimmed;
        if (!number.isEmpty() && number.front().isSpace())
            return std::nullopt;
        const std::optional<double> magnitude = parseDecimal(number);
        if (!magnitude)
            return std::nullopt;
        const double value = negative ? -*magnitude : *magnitude;
        return QVariant(value == 0.0 ? 0.0 : value);
    }
    if (column == NormaColumn || column == PrizeColumn) {
        if (trimmed.isEmpty())
            return QVariant(QMetaType::fromType<int>());
        static const QRegularExpression integer(QStringLiteral("^[+-]?\\d+$"));
        if (!integer.match(trimmed).hasMatch())
            return std::nullopt;
        bool ok = false;
        const qlonglong value = trimmed.toLongLong(&ok);
        if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
            return std::nullopt;
        return QVariant(int(value));
    }
    return std::nullopt;
}

void NormEntriesModel::load(int operationId)
{
    m_operationId = operationId;
    QList<Row> rows;
    for (const NormEntry& entry : m_book.entries(operationId))
        rows.append({entry, false});
    resetRows(rows);
}

void NormEntriesModel::refresh()
{
    QList<Row> rows;
    for (const NormEntry& entry : m_book.entries(m_operationId)) {
        const int local = rowOfEntry(entry.id);
        rows.append(local >= 0 && m_rows.at(local).pending ? m_rows.at(local) : Row{entry, false});
    }
    for (const Row& row : std::as_const(m_rows))
        if (row.entry.id == 0 && row.pending && !isBlank(row.entry))
            rows.append(row);
    resetRows(rows);
}

bool NormEntriesModel::isStored(int row) const
{
    return entryId(row) != 0;
}

int NormEntriesModel::entryId(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).entry.id : 0;
}

int NormEntriesModel::rowOfEntry(int entryId) const
{
    if (entryId == 0)
        return -1;
    for (int row = 0; row < m_rows.size(); ++row)
        if (m_rows.at(row).entry.id == entryId)
            return row;
    return -1;
}

NormEntry NormEntriesModel::entry(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).entry : NormEntry{};
}

bool NormEntriesModel::hasPendingChange(int row) const
{
    return row >= 0 && row < m_rows.size() && m_rows.at(row).pending;
}

bool NormEntriesModel::hasPendingChanges() const
{
    return std::any_of(m_rows.cbegin(), m_rows.cend(), [](const Row& row) { return row.pending; });
}

int NormEntriesModel::storedCount() const
{
    return int(
        std::count_if(m_rows.cbegin(), m_rows.cend(), [](const Row& row) { return row.entry.id != 0; }));
}

void NormEntriesModel::saveRow(int row)
{
    if (!hasPendingChange(row))
        return;
    const NormEntry entry = m_rows.at(row).entry;
    if (entry.id != 0)
        m_book.changeEntry(entry);
    else if (!isBlank(entry))
        m_rows[row].entry.id = m_book.addEntry(m_operationId, entry);
    m_rows[row].pending = false;
    emit headerDataChanged(Qt::Vertical, row, row);
}

void NormEntriesModel::savePending()
{
    for (int row = 0; row < m_rows.size(); ++row)
        saveRow(row);
}

bool NormEntriesModel::deleteRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return false;
    if (isStored(row)) {
        if (!m_book.removeEntry(entryId(row)))
            return false;
    } else if (row == m_rows.size() - 1) {
        return false; // the blank row the user can always type into
    }
    // The row is gone: moving the cursor off it must not try to save it.
    m_rows[row].pending = false;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
    return true;
}

int NormEntriesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int NormEntriesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant NormEntriesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const QVariant value = cellValue(m_rows.at(index.row()).entry, index.column());
    switch (role) {
    case Qt::DisplayRole:
        if (value.isNull())
            return {};
        return index.column() == PriceColumn ? halfEvenText(value.toDouble(), 2, 3) : value.toString();
    case Qt::EditRole:
        if (value.isNull())
            return QString();
        // The whole value, so that editing a price of 2,1256 (shown rounded) does not lose digits.
        return index.column() == PriceColumn ? shortestText(value.toDouble()) : value.toString();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

bool NormEntriesModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= m_rows.size())
        return false;
    const std::optional<QVariant> parsed = parseCell(index.column(), value.toString());
    if (!parsed)
        return false;
    // A negative price would make the base price and every amount negative.
    if (index.column() == PriceColumn && parsed->toDouble() < 0) {
        emit valueRefused(QStringLiteral("Цена не может быть отрицательной!"));
        return false;
    }
    if (index.column() == NormaColumn && parsed->toInt() < 0) {
        emit valueRefused(QStringLiteral("Норма не может быть отрицательной!"));
        return false;
    }
    Row& row = m_rows[index.row()];
    const QVariant before = cellValue(row.entry, index.column());
    if (before.isNull() == parsed->isNull() && (before.isNull() || before == *parsed))
        return true;
    setCellValue(row.entry, index.column(), *parsed);
    row.pending = true;
    emit dataChanged(index, index);
    emit headerDataChanged(Qt::Vertical, index.row(), index.row());
    if (index.row() == m_rows.size() - 1)
        appendBlankRow();
    return true;
}

Qt::ItemFlags NormEntriesModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

QVariant NormEntriesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal) {
        switch (section) {
        case NormaColumn:
            return QStringLiteral("Норматив");
        case PriceColumn:
            return QStringLiteral("Цена");
        case PrizeColumn:
            return QStringLiteral("Премия, %");
        default:
            return {};
        }
    }
    // The row indicator: "*" not yet in the database, "•" changed and not yet saved.
    if (section < 0 || section >= m_rows.size())
        return {};
    if (!isStored(section))
        return QStringLiteral("*");
    return m_rows.at(section).pending ? QStringLiteral("•") : QString();
}

bool NormEntriesModel::isBlank(const NormEntry& entry)
{
    return !entry.norma && !entry.price && !entry.prize;
}

void NormEntriesModel::resetRows(QList<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_rows.append(Row{});
    endResetModel();
}

void NormEntriesModel::appendBlankRow()
{
    const int row = int(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.append(Row{});
    endInsertRows();
}

} // namespace tabel
