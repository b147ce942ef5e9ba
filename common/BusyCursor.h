#pragma once

#include <QCursor>
#include <QGuiApplication>

namespace tabel {

// The wait cursor for as long as a slow piece of work runs, and back however it ends.
class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace tabel
