#pragma once

#include "web/AccessLog.h"
#include "web/BookingSite.h"
#include "web/RateLimiter.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <memory>
#include <string>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace tv::web {

struct ServerOptions {
    QString dataFolder;
    QStringList workstations;
    std::string host = "127.0.0.1";
    int port = 8080;
    // A reverse proxy at this address tells the client's address in
    // X-Forwarded-For; the rate limit then counts that one.
    std::string trustedProxy;
    std::string logFile; // "" for standard output
};

// The HTTP side of the service: headers, limits, the rate limit, the
// access log, and one database connection per worker thread.
class WebServer {
public:
    explicit WebServer(ServerOptions options);
    ~WebServer();
    WebServer(const WebServer &) = delete;
    WebServer &operator=(const WebServer &) = delete;

    // Binds the address; false (and a French `error()`) when it cannot.
    bool bind();
    int port() const { return m_boundPort; }
    // Serves until stop(); blocks.
    void run();
    void stop();
    QString error() const { return m_error; }

    // Tests move the rate limit's clock.
    RateLimiter &rateLimiter() { return m_limiter; }

private:
    void handle(const httplib::Request &req, httplib::Response &res);
    void answer(const httplib::Request &req, httplib::Response &res, const std::string &address);
    std::string clientAddress(const httplib::Request &req) const;

    ServerOptions m_options;
    std::unique_ptr<httplib::Server> m_server;
    BookingSite m_site;
    RateLimiter m_limiter;
    AccessLog m_log;
    int m_boundPort = 0;
    QString m_error;
    const int m_generation;
};

} // namespace tv::web
