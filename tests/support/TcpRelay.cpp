#include "support/TcpRelay.h"

#include <QtGlobal>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace tabel {

TcpRelay::TcpRelay(const QString& unixSocketPath) : m_target(unixSocketPath)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    // Inherited by the accepted sockets, and so the window the client may fill.
    const int small = 4096;
    ::setsockopt(m_listener, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listener, 8) != 0)
        qFatal("relay: cannot listen on 127.0.0.1: %s", std::strerror(errno));
    socklen_t length = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { run(); });
}

TcpRelay::~TcpRelay()
{
    m_quit = true;
    m_thread.join();
    for (const auto& [client, server] : m_pairs) {
        ::close(client);
        ::close(server);
    }
    ::close(m_listener);
}

void TcpRelay::run()
{
    while (!m_quit) {
        std::vector<pollfd> watched{{m_listener, POLLIN, 0}};
        if (m_forwarding)
            for (const auto& [client, server] : m_pairs) {
                watched.push_back({client, POLLIN, 0});
                watched.push_back({server, POLLIN, 0});
            }
        if (::poll(watched.data(), watched.size(), 20) <= 0)
            continue;
        // Pairs watched are those of m_pairs' start, in order; new ones go to its end.
        for (size_t i = watched.size() - 1; i >= 2 && m_forwarding; i -= 2) {
            const size_t pair = (i - 1) / 2;
            const auto [client, server] = m_pairs[pair];
            const bool open = (!(watched[i - 1].revents & (POLLIN | POLLHUP)) || pass(client, server)) &&
                              (!(watched[i].revents & (POLLIN | POLLHUP)) || pass(server, client));
            if (!open) {
                // One side ended: end the other too, as the network passes a close on.
                ::close(client);
                ::close(server);
                m_pairs.erase(m_pairs.begin() + pair);
            }
        }
        if (watched.front().revents & POLLIN)
            accept();
    }
}

void TcpRelay::accept()
{
    const int client = ::accept(m_listener, nullptr, nullptr);
    if (client < 0)
        return;
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = m_target.toLocal8Bit();
    std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
    if (::connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(client);
        ::close(server);
        return;
    }
    m_pairs.emplace_back(client, server);
}

bool TcpRelay::pass(int from, int to)
{
    char buffer[4096];
    const ssize_t read = ::recv(from, buffer, sizeof buffer, 0);
    if (read <= 0)
        return false;
    for (ssize_t sent = 0; sent < read;) {
        const ssize_t written = ::send(to, buffer + sent, read - sent, MSG_NOSIGNAL);
        if (written <= 0)
            return false;
        sent += written;
    }
    return true;
}

} // namespace tabel
