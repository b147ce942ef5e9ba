#include "production_log/ShiftEntryModel.h"

#include "common/Numbers.h"
#include "db/StaticQuery.h"
#include "reference/OperationChoice.h"

#include <QBrush>
#include <QColor>

namespace tabel {

ShiftEntryModel::ShiftEntryModel(const WorkingDay& day, QObject* parent)
    : QAbstractTableModel(parent), m_day(day)
{
}

void ShiftEntryModel::setExisting(StaticQuery& dailyList)
{
    beginResetModel();
    m_existing.clear();
    for (int row = 0; row < dailyList.rowCount(); ++row) {
        const auto value = [&](const char* field) {
            return dailyList.value(row, QString::fromLatin1(field));
        };
        const bool paint = isPaintOperation(value("vid").toString());
        m_existing.append(
            {value("fio").toString().trimmed(),
             operationChoiceText(value("marka").toString(), value("vid").toString(), value("naimen").toInt()),
             QString::number(value("kol_vo").toLongLong()), QString::number(value("brak").toInt()),
             QString::number(value("time").toInt()),
             paint ? QString::number(value("color").toInt()) : QString(),
             displayPrice(value("cena").toDouble()), halfEvenText(value("summa").toDouble(), 2, 2)});
    }
    endResetModel();
}

void ShiftEntryModel::setEntry(int i, const ShiftEntryRow& row)
{
    m_entries[i] = row;
    emit dataChanged(index(rowOf(i), 0), index(rowOf(i), ShiftEntryColumnCount - 1));
}

void ShiftEntryModel::appendEntry(const ShiftEntryRow& row)
{
    beginInsertRows(QModelIndex(), rowOf(entryCount()), rowOf(entryCount()));
    m_entries.append(row);
    endInsertRows();
}

int ShiftEntryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : existingCount() + entryCount();
}

int ShiftEntryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ShiftEntryColumnCount;
}

QVariant ShiftEntryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row();
    const int column = index.column();
    const bool existing = row < existingCount();
    switch (role) {
    case Qt::DisplayRole:
        return existing ? m_existing.at(row).value(column)
                        : m_entries.at(row - existingCount()).text(column, m_day);
    case Qt::TextAlignmentRole:
        return column >= QuantityColumn ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                        : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (existing)
            return QBrush(QColor(0x60, 0x60, 0x60));
        break;
    case Qt::BackgroundRole:
        if (existing)
            return QBrush(QColor(0xE8, 0xE8, 0xE8));
        // A line that has gone into the log is told apart from the one still being typed.
        if (m_entries.at(row - existingCount()).saved)
            return QBrush(QColor(0xE6, 0xF2, 0xE6));
        if (column >= PriceColumn || (column == ColourColumn && !m_entries.at(row - existingCount()).paint()))
            return QBrush(QColor(0xF4, 0xF4, 0xF4));
        break;
    default:
        break;
    }
    return {};
}

QVariant ShiftEntryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList titles = {QStringLiteral("Фамилия И.О."), QStringLiteral("Операция"),
                                       QStringLiteral("Кол-во"),       QStringLiteral("Брак"),
                                       QStringLiteral("Время"),        QStringLiteral("Цвет"),
                                       QStringLiteral("Цена"),         QStringLiteral("Сумма")};
    return titles.value(section);
}

} // namespace tabel
