#pragma once

#include "production_log/ShiftEntryRow.h"
#include "production_log/WorkingDay.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

namespace tabel {

class StaticQuery;

// The shift entry grid: above, the shift's records that already exist (read-only, greyed);
// below, the lines entered in this window, saved ones read-only and the last one being typed.
class ShiftEntryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ShiftEntryModel(const WorkingDay& day, QObject* parent = nullptr);

    // The records as the main window lists them (its list of the day's shift).
    void setExisting(StaticQuery& dailyList);
    int existingCount() const { return int(m_existing.size()); }

    int entryCount() const { return int(m_entries.size()); }
    // The model row of entry i.
    int rowOf(int entry) const { return existingCount() + entry; }
    const ShiftEntryRow& entry(int i) const { return m_entries.at(i); }
    void setEntry(int i, const ShiftEntryRow& row);
    void appendEntry(const ShiftEntryRow& row);
    // The line being typed: the last one.
    int currentEntry() const { return entryCount() - 1; }
    const ShiftEntryRow& current() const { return m_entries.last(); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    WorkingDay m_day;
    QList<QStringList> m_existing;
    QList<ShiftEntryRow> m_entries;
};

} // namespace tabel
