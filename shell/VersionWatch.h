#pragma once

#include "common/ActionGuard.h"
#include "shell/BuildStamp.h"

#include <QObject>
#include <functional>

class QTimer;

namespace tabel {

class Messages;
class Database;
class VersionCheck;

// Runs the version check and, when a newer build has connected, tells the user and ends the
// process: when the message is closed, or when the delay runs out while it is still open,
// whichever comes first. The main log window's 30-second timer and every activation of the
// login window call check().
class VersionWatch : public QObject
{
    Q_OBJECT
public:
    // terminate defaults to ending the application's event loops (see quitApplication).
    VersionWatch(VersionCheck& check, Messages& messages, Database& database, int terminateDelayMs = 5000,
                 std::function<void()> terminate = {}, QObject* parent = nullptr);

    BuildStamp build() const;
    bool mismatchFound() const { return m_mismatchFound; }

    // Ends every running event loop, the open message box's included, and still ends the main
    // loop when that has not started yet (a check run from the login window's first show).
    static void quitApplication();

public slots:
    // A failed check is reported through the action guard, except that a lost connection is not
    // (nobody asked for the check); the next call simply tries again.
    void check();

private:
    void terminateOnce();

    VersionCheck& m_check;
    Messages& m_messages;
    Database& m_database;
    ActionGuard m_guard;
    std::function<void()> m_terminate;
    QTimer* m_terminateTimer = nullptr;
    bool m_mismatchFound = false;
    bool m_terminated = false;
};

} // namespace tabel
