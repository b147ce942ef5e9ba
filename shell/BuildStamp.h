#pragma once

#include <QString>

namespace tabel {

// When this copy of the program was built. The database keeps the stamp of the newest build
// that has connected, and an older copy must stop, so the stamp is compared as (date, time).
struct BuildStamp
{
    int date = 0; // YYYYMMDD
    int time = 0; // seconds since midnight

    // dateText and timeText in the compiler's __DATE__ and __TIME__ forms ("Mar  9 2024",
    // "11:12:13"). A compiler that cannot tell the date writes "??? ?? ????", which reads as
    // 1 January 1900.
    static BuildStamp parse(const QString& dateText, const QString& timeText);
    // The stamp of this build; its source is compiled anew at every build.
    static BuildStamp current();

    // "20230829.40333": both numbers in decimal without padding, as the login caption shows them.
    QString text() const;

    bool isOlderThan(const BuildStamp& other) const
    {
        return date < other.date || (date == other.date && time < other.time);
    }
    bool isNewerThan(const BuildStamp& other) const { return other.isOlderThan(*this); }
    bool operator==(const BuildStamp& other) const { return date == other.date && time == other.time; }
    bool operator!=(const BuildStamp& other) const { return !(*this == other); }
};

} // namespace tabel
