#include "db/ConnectionSettings.h"

namespace tabel {

const QString ConnectionSettings::defaultHost = QStringLiteral(TABEL_DEFAULT_SERVER);

ConnectionSettings ConnectionSettings::fromCommandLine(const QStringList& arguments)
{
    ConnectionSettings settings;
    const QString server = arguments.value(1);
    if (!server.isEmpty()) {
        settings.host = server;
        settings.database = arguments.value(0);
    }
    return settings;
}

QString ConnectionSettings::connectOptions() const
{
    // A server that does not answer must not freeze the start-up for minutes.
    return QStringLiteral("sslmode=%1;connect_timeout=15").arg(sslMode);
}

} // namespace tabel
