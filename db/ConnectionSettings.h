#pragma once

#include <QString>
#include <QStringList>

namespace tabel {

struct ConnectionSettings
{
    // Chosen when the program is built (TABEL_DEFAULT_SERVER), so that a site's package
    // starts without arguments on its own server.
    static const QString defaultHost;
    static inline const QString defaultDatabase = QStringLiteral("kelvo_erp");

    QString host = defaultHost; // a folder means the Unix socket in that folder
    int port = 5432;
    QString database = defaultDatabase;
    QString user = QStringLiteral("sys");
    QString password = QStringLiteral("mwtalpe");
    QString sslMode = QStringLiteral("allow");
    // How long a statement waits for another session's lock before it gives up, so that a
    // table locked elsewhere never freezes the window. 0: without limit.
    int lockTimeoutMs = 5000;
    // Over TCP, a server or network that stops answering ends the connection within about
    // this long instead of freezing the window without limit: the kernel probes an idle
    // connection and gives up on data the server does not acknowledge. A Unix socket has no use
    // for either.
    int tcpUserTimeoutMs = 20000;
    int keepaliveIdleS = 10;
    int keepaliveIntervalS = 5;

    // arguments: the command line without the program name. The first is the database,
    // the second the server; the first alone is ignored, and an empty first one with a
    // server given means an empty database name.
    static ConnectionSettings fromCommandLine(const QStringList& arguments);

    // libpq options beyond host, port, database and credentials.
    QString connectOptions() const;
};

} // namespace tabel
