#pragma once

#include <QDate>
#include <QString>

namespace tabel {

// What the production record editor and the role rules read from the main log window.
struct WorkingDay
{
    QDate date;
    int shift = 1; // 1..3, 4 = overtime
    bool dayOff = false;
    QString loginName;
};

} // namespace tabel
