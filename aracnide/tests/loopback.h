#pragma once
// A web server on 127.0.0.1 for the tests, on a port the system gives.

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

namespace aracnide {

class LoopbackServer {
public:
    // A short keep-alive wait lets a server stop soon while a client still holds its connection.
    LoopbackServer() { svr.set_tcp_nodelay(true).set_keep_alive_max_count(1000000).set_keep_alive_timeout(1); }
    ~LoopbackServer() { Stop(); }

    // Binds and serves; routes are registered on `svr` before this.
    void Start()
    {
        port_ = svr.bind_to_any_port("127.0.0.1");
        if (port_ <= 0)
            throw std::runtime_error("no loopback port");
        thread_ = std::thread([this] { svr.listen_after_bind(); });
        // stop() only works once the accept loop runs.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!svr.is_running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    }
    void Stop()
    {
        if (thread_.joinable()) {
            svr.stop();
            thread_.join();
        }
    }
    int port() const { return port_; }
    std::string Root() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }
    std::string Url(const std::string& path) const { return Root() + path; }

    httplib::Server svr;

private:
    int port_ = 0;
    std::thread thread_;
};

// A port on 127.0.0.1 that refuses connections: bound, never listening.
class RefusedPort {
public:
    RefusedPort() : fd_(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~RefusedPort() { ::close(fd_); }
    RefusedPort(const RefusedPort&) = delete;
    RefusedPort& operator=(const RefusedPort&) = delete;
    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + "/" + path; }

private:
    int fd_;
    int port_ = 0;
};

}  // namespace aracnide
