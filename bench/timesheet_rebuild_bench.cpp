// How long the month rebuild of the hours ledger takes on a big plant's busiest month, beside
// the row-by-row way of the old program (a day's sums read, then per worker and shift a count
// and an update or insert), here with bound values. Both run in a transaction that is rolled
// back after the month's rows are read, so the database is left as it was; the two sets of
// rows are compared.
//
//   tabel_bench_timesheet_rebuild SOCKET_FOLDER DATABASE [RUNS] [--baseline-runs N]

#include "Figures.h"

#include "db/Database.h"
#include "db/Transaction.h"
#include "production_log/HoursLedger.h"
#include "timesheet/MonthRebuild.h"

#include <QCoreApplication>
#include <QDate>
#include <QSqlQuery>
#include <QTextStream>

using namespace tabel;
using namespace tabel::bench;

namespace {
// The old program's rebuild, statement for statement.
class RowByRowRebuild
{
public:
    explicit RowByRowRebuild(Database& database) : m_database(database)
    {
        m_daySums =
            m_database.prepare(QStringLiteral("select smena, w_id, sum(time) as tim from accounts_dep.smena "
                                              "where data=:data group by smena,w_id"));
        m_count =
            m_database.prepare(QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel where "
                                              "w_id=:w and smena=:s and month=:m and year=:y"));
        for (int day = 1; day <= 31; ++day) {
            const QString column = HoursLedger::dayColumn(day);
            m_updates << m_database.prepare(
                QStringLiteral(
                    "update accounts_dep.h_tabel set %1=:t where w_id=:w and smena=:s and month=:m and "
                    "year=:y")
                    .arg(column));
            m_inserts << m_database.prepare(
                QStringLiteral(
                    "insert into accounts_dep.h_tabel(smena, w_id, month, year, %1) values(:s, :w, :m, "
                    ":y, :t)")
                    .arg(column));
        }
    }

    void run(int month, int year)
    {
        m_database.execute(QStringLiteral("delete from accounts_dep.h_tabel where month=:m and year=:y"),
                           {{":m", month}, {":y", year}});
        const QDate first(year, month, 1);
        for (int day = 1; day <= first.daysInMonth(); ++day) {
            m_database.execute(m_daySums, {{":data", first.addDays(day - 1)}});
            while (m_daySums.next()) {
                const QVariant shift = m_daySums.value(0);
                const QVariant worker = m_daySums.value(1);
                const QVariant hours = m_daySums.value(2);
                const SqlParams key{{":w", worker}, {":s", shift}, {":m", month}, {":y", year}};
                m_database.execute(m_count, key);
                const bool exists = m_count.next() && m_count.value(0).toInt() != 0;
                QSqlQuery& write = exists ? m_updates[day - 1] : m_inserts[day - 1];
                m_database.execute(write, SqlParams(key) << qMakePair(QStringLiteral(":t"), hours));
            }
        }
    }

private:
    Database& m_database;
    QSqlQuery m_daySums;
    QSqlQuery m_count;
    QList<QSqlQuery> m_updates;
    QList<QSqlQuery> m_inserts;
};

QStringList monthRows(Database& database, int month, int year)
{
    QSqlQuery query = database.execute(
        QStringLiteral(
            "select (w_id, smena, month, year, d1, d2, d3, d4, d5, d6, d7, d8, d9, d10, d11, d12, d13, "
            "d14, d15, d16, d17, d18, d19, d20, d21, d22, d23, d24, d25, d26, d27, d28, d29, d30, "
            "d31)::text from accounts_dep.h_tabel where month=:m and year=:y order by w_id, smena, 1"),
        {{":m", month}, {":y", year}});
    QStringList rows;
    while (query.next())
        rows << query.value(0).toString();
    return rows;
}

// One rebuild in a transaction that is rolled back; the time leaves out reading the rows back.
double timedRun(Database& database, int month, int year, const std::function<void()>& rebuild,
                QStringList* rows)
{
    Transaction transaction(database);
    const double ms = wallClock(rebuild)();
    if (rows)
        *rows = monthRows(database, month, year);
    return ms;
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    int baselineRuns = 1;
    const int option = int(args.indexOf(QStringLiteral("--baseline-runs")));
    if (option > 0 && option + 1 < args.size()) {
        baselineRuns = std::max(1, args.at(option + 1).toInt());
        args.remove(option, 2);
    }
    if (args.size() < 3) {
        QTextStream(stderr)
            << "usage: tabel_bench_timesheet_rebuild SOCKET_FOLDER DATABASE [RUNS] [--baseline-runs N]\n";
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
    out << "Month rebuild of the hours ledger on " << settings.database << ", busiest month "
        << QStringLiteral("%1.%2").arg(month, 2, 10, QLatin1Char('0')).arg(year) << ": "
        << busiest.value(2).toLongLong() << " records, " << monthRows(database, month, year).size()
        << " ledger rows; each run rolled back\n";

    RowByRowRebuild baseline(database);
    QStringList baselineRows;
    QList<double> baselineTimes;
    for (int run = 0; run < baselineRuns; ++run)
        baselineTimes << timedRun(
            database, month, year, [&] { baseline.run(month, year); }, &baselineRows);

    MonthRebuild ours(database);
    QStringList ourRows;
    QList<double> ourTimes;
    for (int run = 0; run < runs + 2; ++run) {
        const double ms = timedRun(
            database, month, year, [&] { ours.run(month, year); }, &ourRows);
        if (run >= 2)
            ourTimes << ms;
    }

    const Figures old = figuresOf(baselineTimes);
    const Figures now = figuresOf(ourTimes);
    out << "  row by row (old program), " << old.runs << " run(s), median / min ms: " << ms(old.median) << " "
        << ms(old.min) << "\n";
    out << "  MonthRebuild, " << now.runs
        << " runs after 2 untimed, median / p90 / min ms: " << ms(now.median) << " " << ms(now.p90) << " "
        << ms(now.min) << "\n";
    const double ratio = old.median / now.median;
    out << "  ratio (medians): " << QString::number(ratio, 'f', 1) << "x\n";
    out << "  ledger rows after each: " << baselineRows.size() << " / " << ourRows.size() << ", "
        << (baselineRows == ourRows ? "equal" : "DIFFERENT") << "\n";
    out << "Goal: MonthRebuild <= 1000 ms and >= 50x faster: "
        << (now.median <= 1000 && ratio >= 50 ? "met" : "NOT met") << "\n";
    return 0;
}
