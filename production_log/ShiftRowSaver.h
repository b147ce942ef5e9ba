#pragma once

#include "production_log/ShiftEntryRow.h"
#include "production_log/WorkingDay.h"

#include <QString>

namespace tabel {

class Clock;
class DataModule;

// Saves one line of the shift entry through the record editor's own saver, so that every rule
// of a record holds here too, and says where the fault is instead of showing a message box.
class ShiftRowSaver
{
public:
    struct Outcome
    {
        bool saved = false;
        int faultColumn = -1;
        QString message; // the editor's own words for the refusal
        // The worker or operation was deleted meanwhile: the lists to choose from are stale.
        bool referenceGone = false;
    };

    ShiftRowSaver(DataModule& dataModule, const Clock& clock, const WorkingDay& day);

    // A failure of the database itself is thrown, for the window's action guard to report.
    Outcome save(const ShiftEntryRow& row);

private:
    DataModule& m_dataModule;
    const Clock& m_clock;
    WorkingDay m_day;
};

} // namespace tabel
