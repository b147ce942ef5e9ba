#pragma once

#include <QString>

#include <atomic>
#include <thread>
#include <utility>
#include <vector>

namespace tabel {

// A TCP port on 127.0.0.1 that passes every connection on to a server's Unix socket, and can
// stop passing anything on while keeping the connections open: a server or network that
// stops answering, as a client over TCP meets it. Its sockets take little data at a time, so
// that a client sending much finds the way blocked once the relay stops.
class TcpRelay
{
public:
    explicit TcpRelay(const QString& unixSocketPath);
    ~TcpRelay();
    TcpRelay(const TcpRelay&) = delete;
    TcpRelay& operator=(const TcpRelay&) = delete;

    int port() const { return m_port; }
    // Stopped, nothing is read or written on any connection, old or new; accepted all the same.
    void setForwarding(bool forwarding) { m_forwarding = forwarding; }

private:
    void run();
    void accept();
    bool pass(int from, int to);

    QString m_target;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_forwarding{true};
    std::atomic<bool> m_quit{false};
    std::vector<std::pair<int, int>> m_pairs; // client, server
    std::thread m_thread;
};

} // namespace tabel
