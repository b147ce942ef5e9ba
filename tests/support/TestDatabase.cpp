#include "support/TestDatabase.h"

#include "db/DbError.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlQuery>
#include <QTest>

#include <libpq-fe.h>
#ifdef _WIN32
#include <winsock2.h>
#else
#include <poll.h>
#endif

namespace tabel {

namespace {
QString serverFolder(TestDatabase::Server server)
{
    const char* variable =
        server == TestDatabase::Server::RestrictedSys ? "TABEL_TEST_RESTRICTED_PGHOST" : "TABEL_TEST_PGHOST";
    const QString host = qEnvironmentVariable(variable);
    if (host.isEmpty())
        qFatal("%s is not set: run the tests through scripts/test", variable);
    return host;
}

QString templateName()
{
    const QString name = qEnvironmentVariable("TABEL_TEST_TEMPLATE");
    return name.isEmpty() ? QStringLiteral("tabel_template") : name;
}
} // namespace

TestDatabase::TestDatabase(const QString& name, Server server)
    : m_name(QStringLiteral("t_%1_%2")
                 .arg(QString(name).toLower().replace(QRegularExpression(QStringLiteral("[^a-z0-9]")),
                                                      QStringLiteral("_")))
                 .arg(QCoreApplication::applicationPid())),
      m_server(server), m_database(QStringLiteral("fixture-") + name)
{
    admin(QStringLiteral("DROP DATABASE IF EXISTS \"%1\"").arg(m_name));
    admin(QStringLiteral("CREATE DATABASE \"%1\" TEMPLATE \"%2\"").arg(m_name, templateName()));
    ConnectionSettings owner = ownerSettings();
    owner.database = m_name;
    m_database.open(owner);
}

TestDatabase::~TestDatabase()
{
    m_database.close();
    try {
        admin(QStringLiteral("DROP DATABASE IF EXISTS \"%1\" WITH (FORCE)").arg(m_name));
    } catch (const DbError& error) {
        qWarning("%s", qPrintable(error.text()));
    }
}

ConnectionSettings TestDatabase::settings() const
{
    ConnectionSettings settings;
    settings.host = serverFolder(m_server);
    settings.database = m_name;
    return settings;
}

ConnectionSettings TestDatabase::ownerSettings() const
{
    ConnectionSettings settings;
    settings.host = serverFolder(m_server);
    settings.database = QStringLiteral("postgres");
    if (m_server == Server::RestrictedSys) {
        // scripts/local-postgres's superuser.
        settings.user = QStringLiteral("postgres");
        settings.password = QStringLiteral("local-admin");
    }
    return settings;
}

void TestDatabase::admin(const QString& sql)
{
    // Creating a database cannot run inside another database's connection to the template.
    Database admin(QStringLiteral("admin-") + m_name);
    admin.open(ownerSettings());
    admin.execute(sql);
}

void TestDatabase::run(const QString& sql, const SqlParams& params)
{
    m_database.execute(sql, params);
}

void TestDatabase::endSessionOf(const Database& program)
{
    const int pid = program.readInt(QStringLiteral("select pg_backend_pid() as pid"), QStringLiteral("pid"));
    run(QStringLiteral("select pg_terminate_backend(:pid)"), {{":pid", pid}});
    const QVariant handle = program.connection().driver()->handle();
    const int socket = PQsocket(*static_cast<PGconn* const*>(handle.constData()));
    // The session leaves the server's list a moment before the server closes the socket.
#ifdef _WIN32
    // Winsock tells a close only once what came before it is read, and the server's reason
    // comes first: what can be seen is the reason, and the session gone from the list. The
    // socket closes as the server process ends, right after.
    const auto closed = [&] {
        WSAPOLLFD watched{static_cast<SOCKET>(socket), POLLRDNORM, 0};
        return WSAPoll(&watched, 1, 0) == 1 &&
               count(QStringLiteral("select count(*) from pg_stat_activity where pid = :pid"),
                     {{":pid", pid}}) == 0;
    };
    if (!QTest::qWaitFor(closed, 10000))
        qFatal("the server did not end session %d", pid);
    QTest::qWait(200);
#else
    const auto closed = [socket] {
        pollfd watched{socket, POLLRDHUP, 0};
        return poll(&watched, 1, 0) == 1 && (watched.revents & (POLLRDHUP | POLLHUP));
    };
    if (!QTest::qWaitFor(closed, 10000))
        qFatal("the server did not end session %d", pid);
#endif
}

int TestDatabase::count(const QString& sql, const SqlParams& params)
{
    QSqlQuery query = m_database.execute(sql, params);
    return query.next() ? query.value(0).toInt() : -1;
}

} // namespace tabel
