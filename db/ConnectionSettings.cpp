#include "db/ConnectionSettings.h"

#include <QDir>

namespace tabel {

const QString ConnectionSettings::defaultHost = QStringLiteral(TABEL_DEFAULT_SERVER);

ConnectionSettings ConnectionSettings::fromCommandLine(const QStringList& arguments)
{
    ConnectionSettings settings;
    const QString server = arguments.value(1);
    if (!server.isEmpty()) {
        // A folder given relative to where the program starts ("pg", "./pg") means its socket,
        // as an absolute one does; libpq takes only an absolute path for a folder.
        const bool relativeFolder = !server.startsWith(QLatin1Char('/')) &&
                                    (server.contains(QLatin1Char('/')) || QDir(server).exists());
        settings.host = relativeFolder ? QDir(server).absolutePath() : server;
        settings.database = arguments.value(0);
    }
    return settings;
}

QString ConnectionSettings::connectOptions() const
{
    // A server that does not answer must not freeze the start-up for minutes.
    return QStringLiteral("sslmode=%1;connect_timeout=15;keepalives=1;keepalives_idle=%2;"
                          "keepalives_interval=%3;keepalives_count=3;tcp_user_timeout=%4")
        .arg(sslMode)
        .arg(keepaliveIdleS)
        .arg(keepaliveIntervalS)
        .arg(tcpUserTimeoutMs);
}

} // namespace tabel
