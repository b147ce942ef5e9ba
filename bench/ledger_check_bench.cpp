// How long the ledger check of the time sheet takes on a big plant's busiest month, beside the
// month rebuild of the same month: on the ledger as stored, and on a spoiled copy of it (some
// cells changed, rows deleted and doubled) to show the cost of a long list of differences.
// Whatever is written runs in a transaction that is rolled back, so the database is left as
// it was.
//
//   tabel_bench_ledger_check SOCKET_FOLDER DATABASE [RUNS]

#include "Figures.h"

#include "db/Database.h"
#include "db/Transaction.h"
#include "timesheet/LedgerCheck.h"
#include "timesheet/MonthRebuild.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlQuery>
#include <QTextStream>
#include <unistd.h>

using namespace tabel;
using namespace tabel::bench;

namespace {
// Every 20th row of the month gets an hour more on the 5th, every 50th loses its row, every
// 100th is doubled.
void spoil(Database& database, int month, int year)
{
    const SqlParams monthKey{{":m", month}, {":y", year}};
    database.execute(
        QStringLiteral("update accounts_dep.h_tabel set d5 = d5 + 1 where month = :m and year = :y "
                       "and id % 20 = 0"),
        monthKey);
    database.execute(
        QStringLiteral("delete from accounts_dep.h_tabel where month = :m and year = :y and id % 50 = 1"),
        monthKey);
    database.execute(QStringLiteral("insert into accounts_dep.h_tabel (w_id, smena, month, year, d1, d2, d3) "
                                    "select w_id, smena, month, year, d1, d2, d3 from accounts_dep.h_tabel "
                                    "where month = :m and year = :y and id % 100 = 2"),
                     monthKey);
}
// CPU time the server process of this connection has spent so far, in ms, when it runs on this
// machine; -1 otherwise. On a machine shared with other work it says what the statement costs
// the server, which the wall clock does not.
double serverCpuMs(int backend)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(backend));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // The fields after the command name, which is in parentheses: utime and stime are the
    // 12th and 13th of them.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return double(fields.at(11).toLongLong() + fields.at(12).toLongLong()) * 1000.0 /
           double(sysconf(_SC_CLK_TCK));
}

// The server's CPU time per run of action, over runs runs in a row.
QString serverCpuPerRun(int backend, int runs, const std::function<void()>& action)
{
    const double before = serverCpuMs(backend);
    for (int run = 0; run < runs; ++run)
        action();
    const double after = serverCpuMs(backend);
    if (before < 0 || after < 0)
        return QStringLiteral("n/a (server on another machine)");
    return ms((after - before) / runs);
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        QTextStream(stderr) << "usage: tabel_bench_ledger_check SOCKET_FOLDER DATABASE [RUNS]\n";
        return 2;
    }
    const int runs = args.size() > 3 ? std::max(1, args.at(3).toInt()) : 10;
    ConnectionSettings settings;
    settings.host = args.at(1);
    settings.database = args.at(2);
    Database database;
    database.open(settings);
    QTextStream out(stdout);

    QSqlQuery busiest = database.execute(QStringLiteral("select extract(month from data)::int, extract(year "
                                                        "from data)::int, count(*) from accounts_dep.smena "
                                                        "group by 1, 2 order by 3 desc, 2, 1 limit 1"));
    if (!busiest.next()) {
        out << "no records\n";
        return 1;
    }
    const int month = busiest.value(0).toInt();
    const int year = busiest.value(1).toInt();
    out << "Ledger check of the time sheet on " << settings.database << ", busiest month "
        << QStringLiteral("%1.%2").arg(month, 2, 10, QLatin1Char('0')).arg(year) << ": "
        << busiest.value(2).toLongLong() << " records\n";

    LedgerCheck check(database);
    MonthRebuild rebuild(database);
    LedgerCheckResult stored;
    const QList<Figures> figures = interleaved(2, runs,
                                               {
                                                   wallClock([&] { stored = check.run(month, year); }),
                                                   [&] {
                                                       Transaction transaction(database);
                                                       return wallClock([&] { rebuild.run(month, year); })();
                                                   },
                                               });
    out << "  ledger as stored: " << stored.summary() << "\n";
    out << "  LedgerCheck, " << figures[0].runs
        << " runs after 2 untimed, median / p90 / min ms: " << ms(figures[0].median) << " "
        << ms(figures[0].p90) << " " << ms(figures[0].min) << "\n";
    out << "  MonthRebuild (rolled back), median / p90 / min ms:      " << ms(figures[1].median) << " "
        << ms(figures[1].p90) << " " << ms(figures[1].min) << "\n";
    out << "  check / rebuild (medians): " << QString::number(figures[0].median / figures[1].median, 'f', 2)
        << "\n";
    const int backend =
        database.readInt(QStringLiteral("select pg_backend_pid() as pid"), QStringLiteral("pid"));
    out << "  server CPU per run, ms (" << runs << " in a row each): LedgerCheck "
        << serverCpuPerRun(backend, runs, [&] { check.run(month, year); }) << ", MonthRebuild "
        << serverCpuPerRun(backend, runs,
                           [&] {
                               Transaction transaction(database);
                               rebuild.run(month, year);
                           })
        << "\n";

    {
        Transaction transaction(database);
        rebuild.run(month, year);
        out << "  after a rebuild: " << check.run(month, year).summary() << "\n";
    }
    {
        Transaction transaction(database);
        spoil(database, month, year);
        LedgerCheckResult spoiled;
        QList<double> times;
        for (int run = 0; run < runs + 2; ++run) {
            const double time = wallClock([&] { spoiled = check.run(month, year); })();
            if (run >= 2)
                times << time;
        }
        const Figures figures = figuresOf(times);
        out << "  spoiled copy: " << spoiled.summary() << "\n";
        out << "  LedgerCheck on it, median / p90 / min ms: " << ms(figures.median) << " " << ms(figures.p90)
            << " " << ms(figures.min) << "\n";
    }
    out << "Goal: the check <= 300 ms: " << (figures[0].median <= 300 ? "met" : "NOT met") << "\n";
    return 0;
}
