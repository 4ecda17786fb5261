#pragma once

// A loopback HTTP server for benchmarks: one connection at a time, the same short answer to every request.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace tovrel::bench {

inline constexpr char answer[] =
    "HTTP/1.0 200 OK\r\nContent-Length: 30\r\n\r\nhttp://kx6.cc/abcdefghijklmnop";

// One connection at a time: read the head, answer, close after the client does.
class LocalServer final {
public:
    LocalServer() {
        m_socket = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(m_socket, 16);
        socklen_t length = sizeof address;
        getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~LocalServer() {
        m_stop = true;
        shutdown(m_socket, SHUT_RDWR);
        m_thread.join();
        close(m_socket);
    }
    int port() const { return m_port; }

private:
    void serve() {
        while (!m_stop) {
            const int connection = accept(m_socket, nullptr, nullptr);
            if (connection < 0) continue;
            std::string head;
            char buffer[4096];
            while (head.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = read(connection, buffer, sizeof buffer);
                if (n <= 0) break;
                head.append(buffer, static_cast<std::size_t>(n));
            }
            if (write(connection, answer, sizeof answer - 1) < 0) perror("write");
            shutdown(connection, SHUT_WR);
            while (read(connection, buffer, sizeof buffer) > 0) {
            }
            close(connection);
        }
    }

    int m_socket = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace tovrel::bench
