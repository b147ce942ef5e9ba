// Several copies of the program saving, changing, deleting and closing records of a few shared
// days at once, each in a process of its own running the program's own code, while sessions
// are killed at random. Prints operations per second, the slowest operation, the errors by
// kind, and at the end the ledger against the records: mismatches, duplicate records and
// duplicate ledger rows must all be 0.
//
//   tabel_bench_load SOCKET_FOLDER DATABASE [CLIENTS] [SECONDS] [--no-kills]
//
// The database must hold the demo factory (db/sql/demo-data.sql); the benchmark adds and
// removes records of 1 to 3 March 2021, a month the demo does not use, and leaves them there.

#include "common/Clock.h"
#include "common/Messages.h"
#include "db/DataModule.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "production_log/ProductionRecordSaver.h"
#include "production_log/ProductionRecords.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTextStream>
#include <QThread>

using namespace tabel;

namespace {
const QDate firstDay(2021, 3, 1);

class CountedMessages : public Messages
{
public:
    int refusals = 0;
    MessageAnswer show(const Message&) override
    {
        ++refusals;
        return MessageAnswer::Ok;
    }
};

QString kindName(FailureKind kind)
{
    switch (kind) {
    case FailureKind::ConnectionLost:
        return QStringLiteral("connection-lost");
    case FailureKind::Busy:
        return QStringLiteral("lock-timeout");
    case FailureKind::Conflict:
        return QStringLiteral("deadlock-or-serialization");
    case FailureKind::NumberOutOfRange:
        return QStringLiteral("number-out-of-range");
    case FailureKind::TextTooLong:
        return QStringLiteral("text-too-long");
    case FailureKind::NoPermission:
        return QStringLiteral("permission");
    case FailureKind::Duplicate:
        return QStringLiteral("unique");
    case FailureKind::CheckFailed:
        return QStringLiteral("check");
    case FailureKind::General:
        break;
    }
    return QStringLiteral("other");
}

ConnectionSettings settingsOf(const QStringList& args)
{
    ConnectionSettings settings;
    settings.host = args.at(0);
    settings.database = args.at(1);
    return settings;
}

// One copy of the program: prints "ops N refusals N slowest_ms X errors kind=n ..." at the end.
int runClient(const QStringList& args)
{
    const int seconds = args.at(2).toInt();
    QRandomGenerator random(args.at(3).toUInt());
    Database database(QStringLiteral("client"));
    database.open(settingsOf(args));
    DataModule module(database);
    CountedMessages messages;
    FixedClock clock(QDate(2021, 3, 4));
    ProductionRecordSaver saver(module, messages, clock);
    ProductionRecords records(database);

    QList<int> workers;
    QList<QPair<int, int>> operations; // operation, product
    {
        QSqlQuery rows =
            database.execute(QStringLiteral("select id from cmn_contractor.person order by id limit 8"));
        while (rows.next())
            workers << rows.value(0).toInt();
        rows = database.execute(QStringLiteral("select id, i_id from accounts_dep.oper order by id limit 6"));
        while (rows.next())
            operations << qMakePair(rows.value(0).toInt(), rows.value(1).toInt());
    }
    auto randomRecord = [&] {
        ProductionRecord r;
        r.workerId = workers.at(random.bounded(int(workers.size())));
        const auto operation = operations.at(random.bounded(int(operations.size())));
        r.operationId = operation.first;
        r.productId = operation.second;
        r.price = 1.5;
        r.quantity = 10;
        r.rejects = random.bounded(3);
        r.date = firstDay.addDays(random.bounded(3));
        r.shift = 1 + random.bounded(4);
        r.colour = random.bounded(3);
        r.hours = random.bounded(5);
        return r;
    };
    auto randomRecordId = [&](QString* mark) {
        QSqlQuery ids =
            database.execute(QStringLiteral("select id, ok from accounts_dep.smena where data between "
                                            ":a and :b order by random() limit 1"),
                             {{":a", firstDay}, {":b", firstDay.addDays(2)}});
        if (!ids.next())
            return 0;
        *mark = ids.value(1).toString();
        return ids.value(0).toInt();
    };

    int operationsDone = 0;
    double slowest = 0;
    QMap<QString, int> errors;
    QElapsedTimer clockTime;
    clockTime.start();
    while (clockTime.elapsed() < seconds * 1000) {
        QElapsedTimer one;
        one.start();
        try {
            const int action = random.bounded(20);
            QString mark;
            if (action < 10) {
                saver.add(randomRecord());
            } else if (action < 14) {
                if (const int id = randomRecordId(&mark))
                    saver.change(id, randomRecord());
            } else if (action < 17) {
                if (const int id = randomRecordId(&mark))
                    records.deleteRecord(id);
            } else if (const int id = randomRecordId(&mark)) {
                records.toggleClosedMark(id, mark);
            }
        } catch (const DbError& error) {
            database.rollback();
            if (errors[kindName(error.kind())]++ == 0)
                QTextStream(stderr) << kindName(error.kind()) << ": " << error.text() << "\n";
            if (error.kind() == FailureKind::ConnectionLost)
                QThread::msleep(50);
        }
        slowest = std::max(slowest, double(one.nsecsElapsed()) / 1e6);
        ++operationsDone;
    }
    QTextStream out(stdout);
    out << "ops " << operationsDone << " refusals " << messages.refusals << " slowest_ms " << slowest;
    for (auto it = errors.cbegin(); it != errors.cend(); ++it)
        out << " " << it.key() << "=" << it.value();
    out << "\n";
    return 0;
}

const char* const ledgerMismatches = R"(
with sums as (
  select w_id, smena, extract(month from data)::int m, extract(year from data)::int y,
         extract(day from data)::int d, sum(time) t
  from accounts_dep.smena where data between '2021-03-01' and '2021-03-31' group by 1, 2, 3, 4, 5),
days as (
  select h.w_id, h.smena, h.month m, h.year y, d.n d, (array[d1,d2,d3,d4,d5,d6,d7,d8,d9,d10,d11,d12,d13,d14,d15,
         d16,d17,d18,d19,d20,d21,d22,d23,d24,d25,d26,d27,d28,d29,d30,d31])[d.n] t
  from accounts_dep.h_tabel h cross join generate_series(1, 31) d(n) where h.month = 3 and h.year = 2021)
select count(*) as n from days full join sums using (w_id, smena, m, y, d)
where coalesce(days.t, 0) <> coalesce(sums.t, 0)
)";
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (!args.isEmpty() && args.first() == QLatin1String("--client"))
        return runClient(args.mid(1));
    const bool kills = !args.removeAll(QStringLiteral("--no-kills"));
    if (args.size() < 2) {
        QTextStream(stderr)
            << "usage: tabel_bench_load SOCKET_FOLDER DATABASE [CLIENTS] [SECONDS] [--no-kills]\n";
        return 2;
    }
    const int clients = args.value(2, QStringLiteral("8")).toInt();
    const int seconds = args.value(3, QStringLiteral("60")).toInt();
    QTextStream out(stdout);
    Database database(QStringLiteral("coordinator"));
    database.open(settingsOf(args));
    database.execute(QStringLiteral("delete from accounts_dep.smena where data between :a and :b"),
                     {{":a", firstDay}, {":b", firstDay.addDays(30)}});
    database.execute(QStringLiteral("delete from accounts_dep.h_tabel where month = 3 and year = 2021"));

    QList<QProcess*> processes;
    for (int client = 0; client < clients; ++client) {
        auto* process = new QProcess(&app);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(app.applicationFilePath(), {QStringLiteral("--client"), args.at(0), args.at(1),
                                                   QString::number(seconds), QString::number(1000 + client)});
        processes << process;
    }
    int killed = 0;
    QElapsedTimer elapsed;
    elapsed.start();
    QRandomGenerator random(7);
    while (elapsed.elapsed() < seconds * 1000) {
        QThread::msleep(1000 + random.bounded(1000));
        if (!kills)
            continue;
        killed += database.readInt(
            QStringLiteral(
                "select count(pg_terminate_backend(pid)) as n from (select pid from pg_stat_activity "
                "where datname = current_database() and pid <> pg_backend_pid() and backend_type = "
                "'client backend' order by random() limit 1) victim"),
            QStringLiteral("n"));
    }
    long long operations = 0;
    int refusals = 0;
    double slowest = 0;
    QMap<QString, int> errors;
    for (QProcess* process : processes) {
        process->waitForFinished(seconds * 1000 + 60000);
        const QStringList parts = QString::fromUtf8(process->readAllStandardOutput()).simplified().split(' ');
        for (int i = 0; i + 1 < parts.size(); i += 2) {
            if (parts.at(i) == QLatin1String("ops"))
                operations += parts.at(i + 1).toLongLong();
            else if (parts.at(i) == QLatin1String("refusals"))
                refusals += parts.at(i + 1).toInt();
            else if (parts.at(i) == QLatin1String("slowest_ms"))
                slowest = std::max(slowest, parts.at(i + 1).toDouble());
            else
                --i;
        }
        for (const QString& part : parts)
            if (part.contains(QLatin1Char('=')))
                errors[part.section(QLatin1Char('='), 0, 0)] += part.section(QLatin1Char('='), 1).toInt();
    }
    out << "Load: " << clients << " clients for " << seconds << " s on " << args.at(1)
        << (kills ? QStringLiteral(", a random session killed every 1 to 2 s (%1 killed)").arg(killed)
                  : QStringLiteral(", no sessions killed"))
        << "\n";
    out << "  operations: " << operations << " (" << QString::number(double(operations) / seconds, 'f', 1)
        << " per second), refused with a message (duplicates, over 24 hours): " << refusals << "\n";
    out << "  slowest operation: " << QString::number(slowest, 'f', 1) << " ms\n";
    out << "  errors by kind:";
    if (errors.isEmpty())
        out << " none";
    for (auto it = errors.cbegin(); it != errors.cend(); ++it)
        out << " " << it.key() << "=" << it.value();
    out << "\n";
    const int mismatches = database.readInt(QString::fromUtf8(ledgerMismatches), QStringLiteral("n"));
    const int duplicateRecords = database.readInt(
        QStringLiteral(
            "select count(*) as n from (select 1 from accounts_dep.smena where data between '2021-03-01' "
            "and '2021-03-31' group by w_id, i_id, o_id, data, smena, color having count(*) > 1) d"),
        QStringLiteral("n"));
    const int duplicateLedgerRows = database.readInt(
        QStringLiteral(
            "select count(*) as n from (select 1 from accounts_dep.h_tabel where month = 3 and year = 2021 "
            "group by w_id, smena, month, year having count(*) > 1) d"),
        QStringLiteral("n"));
    out << "  at the end: ledger mismatches " << mismatches << ", duplicate records " << duplicateRecords
        << ", duplicate ledger rows " << duplicateLedgerRows << "\n";
    return mismatches + duplicateRecords + duplicateLedgerRows == 0 ? 0 : 1;
}
