#pragma once

namespace tabel {

// What the main log window leaves enabled for the logged-in user; everything else is
// switched off for the rest of the process.
struct MainWindowAccess
{
    bool add = true;
    bool change = true;
    bool remove = true;
    bool shiftButtons = true;
    bool dayOff = true;
    bool refresh = true;
    bool grid = true;
    bool datePicker = true;
    bool referenceMenu = true;
    bool timesheetMenu = true;
    // The import replaces seven tables: off unless the role grants it explicitly.
    bool legacyImport = false;
};

} // namespace tabel
