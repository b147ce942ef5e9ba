// Time from starting the program to its login window being on screen. Every run is a fresh
// process (this program started again), which does what shell/main.cpp does and reports the
// moment the window system exposes the login window. Prints figures; it checks nothing.
//
//   tabel_bench_startup DATABASE SOCKET_FOLDER [--runs N]
//
// The arguments are the program's own. The window system is whatever QT_QPA_PLATFORM says:
// offscreen, or xcb under xvfb-run for a real X server.

#include "bench/Figures.h"
#include "common/Clock.h"
#include "common/DialogMessages.h"
#include "db/ConnectionSettings.h"
#include "db/DataModule.h"
#include "db/Database.h"
#include "production_log/MainLogWindow.h"
#include "shell/ApplicationShell.h"
#include "shell/LoginWindow.h"
#include "shell/TabelApplication.h"
#include "shell/VersionCheck.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QTextStream>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <ctime>

using namespace tabel;
using namespace tabel::bench;

namespace {

const char* const startedAtVariable = "TABEL_BENCH_STARTED_AT_NS";
const char* const stepsVariable = "TABEL_BENCH_STEPS";

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Notes the first time the login window is exposed, then ends the event loop.
class ExposeWatch : public QObject
{
public:
    qint64 exposedAt = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && exposedAt == 0) {
            const auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isExposed() && window->title().startsWith(QStringLiteral("Авторизация"))) {
                exposedAt = monotonicNs();
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            }
        }
        return false;
    }
};

// One start of the program. Prints the moments of its stages in ms from startedAt.
int runOnce(int argc, char* argv[], qint64 startedAt)
{
    const qint64 inMain = monotonicNs();

    // As shell/main.cpp.
    TabelApplication app(argc, argv);
    app.useRussian();
    app.setQuitOnLastWindowClosed(false);
    const qint64 applicationMade = monotonicNs();
    ExposeWatch watch;
    app.installEventFilter(&watch);

    DialogMessages messages;
    SystemClock clock;
    ApplicationShell shell(messages, clock, BuildStamp::current(), {});
    app.setErrorReport(&messages, &shell.database());
    QObject::connect(&shell, &ApplicationShell::finished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (!shell.start(app.arguments().mid(1)))
        return 1;
    const qint64 started = monotonicNs();
    QTimer::singleShot(20000, &app, [] {
        std::fprintf(stderr, "the login window was not exposed within 20 s\n");
        QCoreApplication::exit(1);
    });
    if (app.exec() != 0 || watch.exposedAt == 0)
        return 1;

    const auto since = [startedAt](qint64 moment) { return double(moment - startedAt) / 1e6; };
    std::printf("%.3f %.3f %.3f %.3f\n", since(inMain), since(applicationMade), since(started),
                since(watch.exposedAt));
    std::fflush(stdout);
    return 0;
}

// The steps of ApplicationShell::start one by one, each timed, in a fresh process, so that
// every step pays its first-use costs as it does in the program. Prints the time of each
// step in ms.
int runSteps(int argc, char* argv[], qint64 startedAt)
{
    QList<qint64> moments{startedAt, monotonicNs()};
    TabelApplication app(argc, argv);
    app.useRussian();
    app.setQuitOnLastWindowClosed(false);
    moments.append(monotonicNs());
    ExposeWatch watch;
    app.installEventFilter(&watch);

    DialogMessages messages;
    SystemClock clock;
    Database database;
    DataModule dataModule(database);
    database.open(ConnectionSettings::fromCommandLine(app.arguments().mid(1)));
    moments.append(monotonicNs());
    VersionCheck check(database, dataModule, BuildStamp::current());
    check.run();
    moments.append(monotonicNs());
    MainLogWindow mainWindow(dataModule, clock, messages);
    moments.append(monotonicNs());
    LoginWindow loginWindow(messages);
    moments.append(monotonicNs());
    loginWindow.show();
    moments.append(monotonicNs());
    QTimer::singleShot(20000, &app, [] { QCoreApplication::exit(1); });
    if (app.exec() != 0 || watch.exposedAt == 0)
        return 1;
    moments.append(watch.exposedAt);
    QStringList figures;
    for (qsizetype i = 1; i < moments.size(); ++i)
        figures.append(QString::number(double(moments.at(i) - moments.at(i - 1)) / 1e6, 'f', 3));
    std::printf("%s\n", qPrintable(figures.join(QLatin1Char(' '))));
    std::fflush(stdout);
    return 0;
}

// Starts this program again with the given arguments, as the measured child, runs times
// after warmUps untimed runs. Each run's printed figures become one row.
QList<QList<double>> runChildren(const QStringList& arguments, bool steps, int warmUps, int runs)
{
    QList<QList<double>> rows;
    for (int i = 0; i < warmUps + runs; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (steps)
            environment.insert(QString::fromLatin1(stepsVariable), QStringLiteral("1"));
        const qint64 startedAt = monotonicNs();
        environment.insert(QString::fromLatin1(startedAtVariable), QString::number(startedAt));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), arguments);
        if (!child.waitForFinished(30000) || child.exitStatus() != QProcess::NormalExit ||
            child.exitCode() != 0) {
            child.kill();
            child.waitForFinished();
            std::fprintf(stderr, "run %d failed (exit code %d)\n", i + 1, child.exitCode());
            std::exit(1);
        }
        QList<double> row;
        for (const QByteArray& figure : child.readAllStandardOutput().trimmed().split(' '))
            row.append(figure.toDouble());
        if (i >= warmUps)
            rows.append(row);
    }
    return rows;
}

QList<double> column(const QList<QList<double>>& rows, int index)
{
    QList<double> values;
    for (const QList<double>& row : rows)
        values.append(row.value(index));
    return values;
}

int measure(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    int runs = 10;
    const qsizetype runsAt = arguments.indexOf(QStringLiteral("--runs"));
    if (runsAt >= 0 && runsAt + 1 < arguments.size()) {
        runs = std::max(1, arguments.at(runsAt + 1).toInt());
        arguments.remove(runsAt, 2);
    }
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: tabel_bench_startup DATABASE SOCKET_FOLDER [--runs N]\n");
        return 2;
    }

    constexpr int warmUps = 1;
    const QList<QList<double>> moments = runChildren(arguments, false, warmUps, runs);
    for (const QList<double>& row : moments)
        if (row.size() != 4) {
            std::fprintf(stderr, "a run printed no figures\n");
            return 1;
        }
    QList<QList<double>> stages;
    for (const QList<double>& row : moments)
        stages.append(
            {row.at(0), row.at(1) - row.at(0), row.at(2) - row.at(1), row.at(3) - row.at(2), row.at(3)});
    const QList<QList<double>> steps = runChildren(arguments, true, warmUps, runs);

    QTextStream out(stdout);
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("(default)"));
    out << QStringLiteral("Start-up to the login window exposed; platform %1, database %2; %3 runs after %4 "
                          "untimed, each a new process; median / p90 / min ms\n")
               .arg(platform, arguments.at(0))
               .arg(runs)
               .arg(warmUps);
    const auto line = [&out](const QString& what, const QList<double>& values) {
        const Figures figures = figuresOf(values);
        out << QStringLiteral("  %1 %2 %3 %4\n")
                   .arg(what, -66)
                   .arg(ms(figures.median))
                   .arg(ms(figures.p90))
                   .arg(ms(figures.min));
    };
    line(QStringLiteral("process start to main() (exec, loading libraries)"), column(stages, 0));
    line(QStringLiteral("application object, Russian translations"), column(stages, 1));
    line(QStringLiteral("ApplicationShell::start (connect, windows, version check, show)"),
         column(stages, 2));
    line(QStringLiteral("shown to exposed"), column(stages, 3));
    line(QStringLiteral("TOTAL: process start to the login window exposed"), column(stages, 4));
    out << QStringLiteral("The same steps one by one, each timed (%1 more processes):\n").arg(warmUps + runs);
    const QStringList names{QStringLiteral("process start to main()"),
                            QStringLiteral("application object, Russian translations"),
                            QStringLiteral("connect (Database::open)"),
                            QStringLiteral("version check (VersionCheck::run)"),
                            QStringLiteral("main log window built (not shown)"),
                            QStringLiteral("login window built"),
                            QStringLiteral("login window show()"),
                            QStringLiteral("shown to exposed")};
    for (int i = 0; i < names.size(); ++i)
        line(QStringLiteral("  ") + names.at(i), column(steps, i));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const QByteArray startedAt = qgetenv(startedAtVariable);
    if (!startedAt.isEmpty())
        return qEnvironmentVariableIsSet(stepsVariable) ? runSteps(argc, argv, startedAt.toLongLong())
                                                        : runOnce(argc, argv, startedAt.toLongLong());
    return measure(argc, argv);
}
