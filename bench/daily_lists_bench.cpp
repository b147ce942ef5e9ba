// How long the main log window's four daily lists take to open on a big plant's database,
// next to what the server itself spends on them, and how long the day recompute of the hours
// ledger takes. Prints figures; it checks nothing.
//
//   tabel_bench_daily SOCKET_FOLDER DATABASE [RUNS] [--random-days N] [--single-join-runs N]
//
// Leaves the database as it found it: the recompute runs in transactions that roll back.

#include "bench/Figures.h"
#include "bench/ServerTimes.h"
#include "common/Clock.h"
#include "common/Messages.h"
#include "db/DataModule.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/StaticQuery.h"
#include "db/Transaction.h"
#include "production_log/HoursLedger.h"
#include "production_log/MainLogWindow.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTextStream>
#include <cstdio>

using namespace tabel;
using namespace tabel::bench;

namespace {

constexpr int warmUps = 2;
constexpr double listGoalMs = 20;
constexpr double overheadGoal = 1.30;
const QString excludedMark = QStringLiteral("ta");

QTextStream out(stdout);

class PrintedMessages : public Messages
{
public:
    MessageAnswer show(const Message& message) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
        return MessageAnswer::Ok;
    }
};

// The daily lists as they were first written: one join with an "or", which leaves the
// server no way but to test every record of the day against every person. Kept here only
// to show what the two-part form the program uses saves.
QString singleJoinList(int shift)
{
    const QString id = QStringLiteral("smena.id, ");
    const QString prize = QStringLiteral("smena.prize, ");
    return QStringLiteral(
               "select %1smena.data, smena.smena, smena.i_id, smena.o_id, smena.w_id, \n"
               "smena.cena,person.s_caption fio, izdel.marka, vid_oper.vid, (SELECT (CASE naimen "
               "WHEN 0 THEN 'Готовая продукция' ELSE 'Заготовки' END)) as nmn, oper.naimen,  "
               "smena.brak, smena.kol_vo::numeric,\n"
               "round((kol_vo-brak)*smena.cena::numeric, 2) as summa, %2color,time, smena.ok, vvod, "
               "smena.id_doc, smena.id_doc_item, smena.f_gds_qty_use, smena.id_gds_use, "
               "smena.id_cons_use\n"
               "from cmn_contractor.person person, accounts_dep.izdel,accounts_dep.oper,"
               "accounts_dep.smena,accounts_dep.vid_oper \n"
               "where smena.i_id=izdel.id and smena.o_id=oper.id and (w_id=person.id or "
               "s_code::t_id=w_id) and \n"
               "oper.vid=vid_oper.id and smena.smena=%3 and smena.data=:data and ok%4:ok order by \n"
               "%5")
        .arg(shift == 1 ? id : QString(), shift == 1 ? prize : prize + id)
        .arg(shift)
        .arg(shift == 1 ? QStringLiteral("!=") : QStringLiteral("<>"),
             shift == 1 ? QStringLiteral("fio, izdel.marka, vid_oper.vid, oper.naimen, color")
                        : QStringLiteral("fio"));
}

struct Options
{
    QString folder;
    QString database;
    int runs = 30;
    int randomDays = 3;
    int singleJoinRuns = 5;
};

Options parse(const QStringList& arguments)
{
    Options options;
    QStringList positional;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if ((argument == QStringLiteral("--random-days") ||
             argument == QStringLiteral("--single-join-runs")) &&
            i + 1 < arguments.size()) {
            (argument == QStringLiteral("--random-days") ? options.randomDays : options.singleJoinRuns) =
                arguments.at(++i).toInt();
        } else {
            positional.append(argument);
        }
    }
    if (positional.size() < 2 || positional.size() > 3) {
        std::fprintf(stderr, "usage: tabel_bench_daily SOCKET_FOLDER DATABASE [RUNS] [--random-days N] "
                             "[--single-join-runs N]\n");
        std::exit(2);
    }
    options.folder = positional.at(0);
    options.database = positional.at(1);
    if (positional.size() == 3)
        options.runs = std::max(1, positional.at(2).toInt());
    return options;
}

QString day(const QDate& date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString percent(double ratio)
{
    return QStringLiteral("%1%2 %")
        .arg(ratio >= 1 ? QStringLiteral("+") : QString())
        .arg(qRound((ratio - 1) * 100));
}

// The last day that has records, then days drawn at random (always the same ones for the
// same data) among those that have records.
QList<QDate> daysToMeasure(Database& database, int randomDays)
{
    QList<QDate> days;
    QSqlQuery range = database.execute(QStringLiteral("select min(data), max(data) from accounts_dep.smena"));
    if (!range.next() || range.value(1).isNull())
        throw DbError(QStringLiteral("accounts_dep.smena has no records: fill it with bench/generate-data"));
    const QDate first = range.value(0).toDate();
    const QDate last = range.value(1).toDate();
    days.append(last);
    QRandomGenerator random(20240829);
    const qint64 span = first.daysTo(last);
    for (int attempt = 0; days.size() < 1 + randomDays && attempt < 1000; ++attempt) {
        const QDate candidate = first.addDays(qint64(random.bounded(quint64(span) + 1)));
        if (days.contains(candidate))
            continue;
        if (database.readInt(
                QStringLiteral("select count(*) as cnt from accounts_dep.smena where data=:data"),
                QStringLiteral("cnt"), {{":data", candidate}}) > 0)
            days.append(candidate);
    }
    return days;
}

struct ListFigures
{
    QString name;
    int rows = 0;
    Figures program;
    Figures server;
    Figures direct;
    double ratio() const { return server.median > 0 ? program.median / server.median : 0; }
    double directRatio() const { return direct.median > 0 ? program.median / direct.median : 0; }
};

void printHeader()
{
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9\n")
               .arg(QStringLiteral("day"), -10)
               .arg(QStringLiteral("list"), -7)
               .arg(QStringLiteral("rows"), 5)
               .arg(QStringLiteral("program med"), 12)
               .arg(QStringLiteral("p90"), 7)
               .arg(QStringLiteral("server med"), 11)
               .arg(QStringLiteral("p90"), 7)
               .arg(QStringLiteral("  program/server"), -24)
               .arg(QStringLiteral("libpq med   program/libpq"));
}

void printRow(const QString& date, const ListFigures& list)
{
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7   %8 %9\n")
               .arg(date, -10)
               .arg(list.name, -7)
               .arg(list.rows, 5)
               .arg(ms(list.program.median, 12))
               .arg(ms(list.program.p90, 7))
               .arg(ms(list.server.median, 11))
               .arg(ms(list.server.p90, 7))
               .arg(QStringLiteral("%1 (%2)").arg(list.ratio(), 5, 'f', 2).arg(percent(list.ratio())), -22)
               .arg(list.direct.runs ? QStringLiteral("%1   %2 (%3)")
                                           .arg(ms(list.direct.median, 8))
                                           .arg(list.directRatio(), 5, 'f', 2)
                                           .arg(percent(list.directRatio()))
                                     : QString());
    out.flush();
}

double loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0).toDouble() : -1;
}

struct Bench
{
    Options options;
    Database& database;
    DataModule& dataModule;
    Messages& messages;
    const ServerTimes& server;

    std::function<double()> serverTime(const QString& sql, const SqlParams& params) const
    {
        return [this, sql, params] { return server.explain(sql, params).totalMs(); };
    }

    // a-c: the lists as the program opens them, one by one and all four as a date switch.
    void lists(const QList<QDate>& days)
    {
        dataModule.setDailyListExcludedMark(excludedMark);
        QList<ListFigures> all;
        QList<ListFigures> together;
        printHeader();
        for (const QDate& date : days) {
            dataModule.setDailyListDate(date);
            const SqlParams params{{":data", date}, {":ok", excludedMark}};
            int rowSum = 0;
            for (int shift = 1; shift <= 4; ++shift) {
                StaticQuery& list = dataModule.dailyList(shift);
                const QList<Figures> figures =
                    interleaved(warmUps, options.runs,
                                {wallClock([&] { list.reopen(); }), serverTime(list.sql(), params),
                                 wallClock([&] { server.runDirect(list.sql(), params); })});
                ListFigures row{QStringLiteral("Smena%1").arg(shift), list.rowCount(), figures.at(0),
                                figures.at(1), figures.at(2)};
                rowSum += row.rows;
                printRow(day(date), row);
                all.append(row);
            }
            // Choosing a date in the main log window: all four closed, then all four opened.
            const QList<Figures> figures =
                interleaved(warmUps, options.runs,
                            {wallClock([&] {
                                 dataModule.setDailyListDate(date);
                                 for (int shift = 1; shift <= 4; ++shift)
                                     dataModule.dailyList(shift).close();
                                 for (int shift = 1; shift <= 4; ++shift)
                                     dataModule.dailyList(shift).open();
                             }),
                             [&] {
                                 double sum = 0;
                                 for (int shift = 1; shift <= 4; ++shift)
                                     sum +=
                                         server.explain(dataModule.dailyList(shift).sql(), params).totalMs();
                                 return sum;
                             },
                             wallClock([&] {
                                 for (int shift = 1; shift <= 4; ++shift)
                                     server.runDirect(dataModule.dailyList(shift).sql(), params);
                             })});
            ListFigures four{QStringLiteral("all 4"), rowSum, figures.at(0), figures.at(1), figures.at(2)};
            printRow(day(date), four);
            together.append(four);
        }

        const auto slowest = [](const QList<ListFigures>& rows, auto measure) {
            double worst = 0;
            for (const ListFigures& row : rows)
                worst = std::max(worst, measure(row));
            return worst;
        };
        const double worstMedian = slowest(all, [](const ListFigures& row) { return row.program.median; });
        const double worstP90 = slowest(all, [](const ListFigures& row) { return row.program.p90; });
        const double worstRatio = slowest(all, [](const ListFigures& row) { return row.ratio(); });
        out << QStringLiteral(
                   "\nGoal: each daily list <= %1 ms: %2 (slowest median %3 ms, slowest p90 %4 ms)\n")
                   .arg(listGoalMs)
                   .arg(worstP90 <= listGoalMs      ? QStringLiteral("met")
                        : worstMedian <= listGoalMs ? QStringLiteral("met by every median, not by every p90")
                                                    : QStringLiteral("NOT met"))
                   .arg(worstMedian, 0, 'f', 1)
                   .arg(worstP90, 0, 'f', 1);
        out << QStringLiteral(
                   "Goal: the program adds <= %1 % to the server's time: %2 (worst median ratio %3, %4)\n")
                   .arg(qRound((overheadGoal - 1) * 100))
                   .arg(worstRatio <= overheadGoal ? QStringLiteral("met") : QStringLiteral("NOT met"))
                   .arg(worstRatio, 0, 'f', 2)
                   .arg(percent(worstRatio));
        out << QStringLiteral("Date switch (all four lists): slowest median %1 ms, slowest p90 %2 ms\n\n")
                   .arg(slowest(together, [](const ListFigures& row) { return row.program.median; }), 0, 'f',
                        1)
                   .arg(slowest(together, [](const ListFigures& row) { return row.program.p90; }), 0, 'f', 1);
        out.flush();
    }

    // The date switch as the user waits for it: the main log window, shown (offscreen unless
    // QT_QPA_PLATFORM says otherwise), takes a new date, reopens its four lists and repaints.
    void window(const QList<QDate>& days)
    {
        FixedClock clock(days.first());
        MainLogWindow window(dataModule, clock, messages);
        dataModule.setDailyListExcludedMark(excludedMark);
        window.logIn(QStringLiteral("bench"), MainWindowAccess{});
        window.show();
        QApplication::processEvents();
        out << QStringLiteral(
                   "Date switch in the main log window, shown on platform %1 (MainLogWindow::activate "
                   "and the repaint), median / p90 ms:\n")
                   .arg(QGuiApplication::platformName());
        for (const QDate& date : days) {
            const Figures figures = interleaved(warmUps, options.runs, {wallClock([&] {
                                                    clock.setToday(date);
                                                    window.activate();
                                                    QApplication::processEvents();
                                                })})
                                        .first();
            out << QStringLiteral("  %1 %2 %3\n")
                       .arg(day(date), -10)
                       .arg(ms(figures.median))
                       .arg(ms(figures.p90));
        }
        out << "\n";
        out.flush();
        window.hide();
    }

    // Where the program's time goes, on one list.
    void breakdown(const QDate& date, int shift)
    {
        const SqlParams params{{":data", date}, {":ok", excludedMark}};
        dataModule.setDailyListDate(date);
        StaticQuery& list = dataModule.dailyList(shift);
        const QString sql = list.sql();
        QSqlQuery kept = database.prepare(sql);
        const QList<Figures> figures =
            interleaved(warmUps, options.runs,
                        {wallClock([&] { list.reopen(); }),
                         wallClock([&] { QSqlQuery query = database.execute(sql, params); }),
                         wallClock([&] { database.execute(kept, params); }),
                         wallClock([&] { server.runDirect(sql, params); }), serverTime(sql, params),
                         clientCpu([&] { list.reopen(); }),
                         clientCpu([&] { QSqlQuery query = database.execute(sql, params); }),
                         clientCpu([&] { server.runDirect(sql, params); })});
        kept = QSqlQuery();
        const QList<Figures> trips = interleaved(
            warmUps, options.runs * 10,
            {wallClock([&] { server.ping(); }),
             wallClock([&] { QSqlQuery query = database.execute(QStringLiteral("select 1 as v")); }),
             wallClock([&] {
                 QSqlQuery query = database.execute(QStringLiteral("select :v as v"), {{":v", 1}});
             })});

        out << QStringLiteral("Where the time of Smena%1 on %2 goes (%3 rows), median / p90 ms:\n")
                   .arg(shift)
                   .arg(day(date))
                   .arg(list.rowCount());
        const auto line = [](const QString& what, const Figures& figures) {
            out << QStringLiteral("  %1 %2 %3\n").arg(what, -70).arg(ms(figures.median)).arg(ms(figures.p90));
        };
        line(QStringLiteral("StaticQuery::reopen (QPSQL + QSqlQueryModel, all rows fetched)"), figures.at(0));
        line(QStringLiteral("Database::execute (PREPARE, EXECUTE, DEALLOCATE; values not read)"),
             figures.at(1));
        line(QStringLiteral("EXECUTE only, statement prepared once (values not read)"), figures.at(2));
        line(QStringLiteral("libpq PQexecParams: one round trip, every value read into a QString"),
             figures.at(3));
        line(QStringLiteral("server: planning + execution (EXPLAIN ANALYZE)"), figures.at(4));
        line(QStringLiteral("client CPU of StaticQuery::reopen"), figures.at(5));
        line(QStringLiteral("client CPU of Database::execute (values not read)"), figures.at(6));
        line(QStringLiteral("client CPU of libpq PQexecParams (every value read into a QString)"),
             figures.at(7));
        line(QStringLiteral("an empty round trip (libpq)"), trips.at(0));
        line(QStringLiteral("Database::execute(\"select 1\"): one round trip through QPSQL"), trips.at(1));
        line(QStringLiteral("Database::execute(\"select :v\"): PREPARE, EXECUTE, DEALLOCATE"), trips.at(2));
        out << "\n";
        out.flush();
    }

    // d: the single-join form, for comparison only.
    void singleJoin(const QDate& date)
    {
        const SqlParams params{{":data", date}, {":ok", excludedMark}};
        out << QStringLiteral(
                   "The single join \"(w_id=person.id or s_code::t_id=w_id)\": %1 runs after 1 untimed, "
                   "on %2\n")
                   .arg(options.singleJoinRuns)
                   .arg(day(date));
        printHeader();
        dataModule.setDailyListDate(date);
        for (int shift = 1; shift <= 4; ++shift) {
            StaticQuery list(database, singleJoinList(shift));
            list.setParameter(QStringLiteral(":data"), date);
            list.setParameter(QStringLiteral(":ok"), excludedMark);
            const QList<Figures> figures =
                interleaved(1, options.singleJoinRuns,
                            {wallClock([&] { list.reopen(); }), serverTime(list.sql(), params)});
            const ListFigures row{QStringLiteral("Smena%1").arg(shift), list.rowCount(), figures.at(0),
                                  figures.at(1), Figures{}};
            printRow(day(date), row);
            StaticQuery& rewritten = dataModule.dailyList(shift);
            rewritten.reopen();
            if (rewritten.rowCount() != row.rows)
                out << QStringLiteral("  !! the program's list has %1 rows\n").arg(rewritten.rowCount());
        }
        out << "\n";
        out.flush();
    }

    // e: the day recompute after a save, rolled back each time.
    void recompute()
    {
        HoursLedger ledger(database);
        QRandomGenerator random(20240830);
        QSqlQuery range = database.execute(QStringLiteral("select min(id), max(id) from accounts_dep.smena"));
        range.next();
        const int lowest = range.value(0).toInt();
        const int highest = range.value(1).toInt();
        range = QSqlQuery();

        QList<double> inside, whole, lock, count, sum, update, serverTotal;
        for (int round = 0; round < warmUps + options.runs; ++round) {
            QSqlQuery record = database.execute(
                QStringLiteral(
                    "select w_id, smena, data from accounts_dep.smena where id>=:id order by id limit 1"),
                {{":id", lowest + int(random.bounded(quint64(highest - lowest) + 1))}});
            record.next();
            const int worker = record.value(0).toInt();
            const int shift = record.value(1).toInt();
            const QDate date = record.value(2).toDate();
            record = QSqlQuery();

            QElapsedTimer wholeTimer;
            wholeTimer.start();
            double recomputeMs = 0;
            {
                Transaction transaction(database);
                QElapsedTimer timer;
                timer.start();
                ledger.recomputeAfterSave(worker, shift, date);
                recomputeMs = double(timer.nsecsElapsed()) / 1e6;
            }
            const double wholeMs = double(wholeTimer.nsecsElapsed()) / 1e6;

            // The statements the recompute sends, with the same values, also rolled back.
            Transaction transaction(database);
            const SqlParams row{{":w", worker}, {":s", shift}, {":m", date.month()}, {":y", date.year()}};
            const QString key = QStringLiteral("h_tabel/%1/%2/%3/%4")
                                    .arg(worker)
                                    .arg(shift)
                                    .arg(date.month())
                                    .arg(date.year());
            const double lockMs =
                server
                    .explain(QStringLiteral("select pg_advisory_xact_lock(hashtextextended(:key, 0))"),
                             {{":key", key}})
                    .totalMs();
            const double countMs =
                server
                    .explain(QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel "
                                            "where w_id=:w and smena=:s and month=:m and year=:y"),
                             row)
                    .totalMs();
            const double sumMs =
                server
                    .explain(QStringLiteral("select sum(time) as tim from accounts_dep.smena where "
                                            "w_id=:w and smena=:s and data=:data group by w_id, smena, "
                                            "data"),
                             {{":w", worker}, {":s", shift}, {":data", date}})
                    .totalMs();
            const double updateMs =
                server
                    .explain(
                        QStringLiteral("update accounts_dep.h_tabel set %1=:t where w_id=:w and smena=:s and "
                                       "month=:m and year=:y")
                            .arg(HoursLedger::dayColumn(date.day())),
                        SqlParams{{":t", 8}} + row)
                    .totalMs();
            if (round < warmUps)
                continue;
            inside.append(recomputeMs);
            whole.append(wholeMs);
            lock.append(lockMs);
            count.append(countMs);
            sum.append(sumMs);
            update.append(updateMs);
            serverTotal.append(lockMs + countMs + sumMs + updateMs);
        }
        const Figures program = figuresOf(inside);
        const Figures servers = figuresOf(serverTotal);
        out << QStringLiteral("Day recompute after a save (HoursLedger::recomputeAfterSave) for %1 random "
                              "(worker, shift, day) with records, each rolled back; median / p90 ms:\n")
                   .arg(options.runs);
        const auto line = [](const QString& what, const Figures& figures) {
            out << QStringLiteral("  %1 %2 %3\n").arg(what, -56).arg(ms(figures.median)).arg(ms(figures.p90));
        };
        line(QStringLiteral("program: recomputeAfterSave"), program);
        line(QStringLiteral("program: with the BEGIN and ROLLBACK around it"), figuresOf(whole));
        line(QStringLiteral("server: advisory lock"), figuresOf(lock));
        line(QStringLiteral("server: count of the ledger row"), figuresOf(count));
        line(QStringLiteral("server: sum of the day's hours"), figuresOf(sum));
        line(QStringLiteral("server: update of the day column"), figuresOf(update));
        line(QStringLiteral("server: the four statements together"), servers);
        out << QStringLiteral("  program/server (medians): %1 (%2)\n\n")
                   .arg(program.median / servers.median, 0, 'f', 2)
                   .arg(percent(program.median / servers.median));
        out.flush();
    }
};

} // namespace

int main(int argc, char* argv[])
{
    // The date switch is also measured in the window, which needs a window system.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const Options options = parse(app.arguments().mid(1));

    try {
        ConnectionSettings settings;
        settings.host = options.folder;
        settings.database = options.database;
        Database database(QStringLiteral("bench"));
        database.open(settings);
        PrintedMessages messages;
        DataModule dataModule(database);
        const ServerTimes server(database);

        const int records = database.readInt(QStringLiteral("select count(*) as cnt from accounts_dep.smena"),
                                             QStringLiteral("cnt"));
        const int persons = database.readInt(
            QStringLiteral("select count(*) as cnt from cmn_contractor.person"), QStringLiteral("cnt"));
        const QList<QDate> days = daysToMeasure(database, options.randomDays);

        out << QStringLiteral("Daily lists: %1 records, %2 persons; %3; load average %4 at the start\n")
                   .arg(records)
                   .arg(persons)
                   .arg(database.readValue(QStringLiteral("select version() as v"), QStringLiteral("v"))
                            .toString()
                            .section(QLatin1Char(' '), 0, 1))
                   .arg(loadAverage());
        out << QStringLiteral(
                   "Median and 90th percentile of %1 runs after %2 untimed ones, in ms. Program and server "
                   "runs alternate.\n")
                   .arg(options.runs)
                   .arg(warmUps);
        out << "program = DataModule::dailyList(n).reopen(), as the main log window opens a list\n"
               "server  = planning + execution time from EXPLAIN (ANALYZE, TIMING OFF) of the same statement "
               "with\n"
               "          the same bound values on the same connection (rows are neither formatted nor "
               "sent)\n"
               "libpq   = the same statement and values through libpq's PQexecParams, one round trip, every "
               "value\n"
               "          read into a QString: what any client must spend at least\n\n";
        out.flush();

        Bench bench{options, database, dataModule, messages, server};
        bench.lists(days);
        bench.window(days);
        bench.breakdown(days.first(), 1);
        bench.breakdown(days.first(), 4);
        bench.singleJoin(days.first());
        bench.recompute();
        out << QStringLiteral("Load average %1 at the end\n").arg(loadAverage());
    } catch (const DbError& error) {
        std::fprintf(stderr, "tabel_bench_daily: %s\n", qPrintable(error.text()));
        return 1;
    }
    return 0;
}
