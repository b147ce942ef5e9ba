#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <functional>

namespace tabel::bench {

// Median and 90th percentile (nearest rank) of a set of timings in milliseconds.
struct Figures
{
    double median = 0;
    double p90 = 0;
    double min = 0;
    int runs = 0;
};

inline Figures figuresOf(QList<double> ms)
{
    Figures figures;
    figures.runs = int(ms.size());
    if (ms.isEmpty())
        return figures;
    std::sort(ms.begin(), ms.end());
    const qsizetype n = ms.size();
    figures.median = n % 2 ? ms.at(n / 2) : (ms.at(n / 2 - 1) + ms.at(n / 2)) / 2;
    figures.p90 = ms.at(std::max<qsizetype>(0, qsizetype(std::ceil(0.9 * double(n))) - 1));
    figures.min = ms.first();
    return figures;
}

// Wall-clock time of one run of action, in ms.
inline std::function<double()> wallClock(std::function<void()> action)
{
    return [action = std::move(action)] {
        QElapsedTimer timer;
        timer.start();
        action();
        return double(timer.nsecsElapsed()) / 1e6;
    };
}

// CPU time this process (the client) spends on one run of action, in ms: what the client
// itself costs, which other work on the machine hardly changes.
inline std::function<double()> clientCpu(std::function<void()> action)
{
    return [action = std::move(action)] {
        timespec start{};
        timespec end{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
        action();
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
        return double(end.tv_sec - start.tv_sec) * 1e3 + double(end.tv_nsec - start.tv_nsec) / 1e6;
    };
}

// Each action returns the time of one run of itself in ms. A round runs every action once, in
// turn, so that other work on the machine slows all of them alike and their ratios hold. A
// few untimed rounds come first, so that the server's caches, the client's first-use costs
// and the CPU's clock are the same for every timed round.
inline QList<Figures> interleaved(int warmUps, int runs, const QList<std::function<double()>>& actions)
{
    QList<QList<double>> times(actions.size());
    for (int round = 0; round < warmUps + runs; ++round)
        for (qsizetype i = 0; i < actions.size(); ++i) {
            const double ms = actions.at(i)();
            if (round >= warmUps)
                times[i].append(ms);
        }
    QList<Figures> figures;
    for (const QList<double>& ms : times)
        figures.append(figuresOf(ms));
    return figures;
}

inline QString ms(double value, int width = 8)
{
    return QStringLiteral("%1").arg(value, width, 'f', value < 10 ? 2 : 1);
}

// A line of /proc/self/status without its key, such as "VmHWM:", the process's peak memory.
inline QString processStatus(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return QString::fromLatin1(line.mid(qsizetype(strlen(key)))).simplified();
    return QStringLiteral("?");
}

} // namespace tabel::bench
