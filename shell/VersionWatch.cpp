#include "shell/VersionWatch.h"

#include "common/Messages.h"
#include "db/Database.h"
#include "shell/VersionCheck.h"

#include <QCoreApplication>
#include <QTimer>

namespace tabel {

VersionWatch::VersionWatch(VersionCheck& check, Messages& messages, Database& database, int terminateDelayMs,
                           std::function<void()> terminate, QObject* parent)
    : QObject(parent), m_check(check), m_messages(messages), m_database(database),
      m_guard(messages, database),
      m_terminate(terminate ? std::move(terminate) : std::function<void()>(&VersionWatch::quitApplication)),
      m_terminateTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("versionWatch"));
    // The login window's Timer1 in the earlier program.
    m_terminateTimer->setObjectName(QStringLiteral("terminateTimer"));
    m_terminateTimer->setSingleShot(true);
    m_terminateTimer->setInterval(terminateDelayMs);
    connect(m_terminateTimer, &QTimer::timeout, this, &VersionWatch::terminateOnce);
}

BuildStamp VersionWatch::build() const
{
    return m_check.build();
}

void VersionWatch::check()
{
    // Once the process is on its way out, a timer tick that arrives while the message is
    // still open must not show it a second time.
    if (m_mismatchFound)
        return;
    // A tick that comes while an action holds the connection (the import reading its rows,
    // a transaction waiting for an answer) would take the connection from under it.
    if (m_database.isInUse())
        return;
    bool mismatch = false;
    if (!m_guard.run([&] { mismatch = m_check.run(); }, ActionGuard::WhenOffline::StaySilent) || !mismatch)
        return;
    m_mismatchFound = true;
    // Started before the message, because the message waits for the user and the process
    // has to end even if nobody is there to close it.
    m_terminateTimer->start();
    // "соответсвует" is misspelt in the users' own text, as they know it: it must stay.
    m_messages.show({QStringLiteral("Ошибка"),
                     QStringLiteral("Версия программы не соответсвует БД! Запустите программу через 5 мин."),
                     MessageIcon::Error,
                     MessageButtons::Ok,
                     {}});
    terminateOnce();
}

void VersionWatch::terminateOnce()
{
    m_terminateTimer->stop();
    if (m_terminated)
        return;
    m_terminated = true;
    m_terminate();
}

void VersionWatch::quitApplication()
{
    if (!QCoreApplication::instance())
        return;
    QCoreApplication::exit(0);
    // exit() only ends loops that are running; QCoreApplication::exec() forgets it when it
    // starts later, so ask again from inside the main loop.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

} // namespace tabel
