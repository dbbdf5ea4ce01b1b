#include "web/WebServer.h"

#include "common/core/Clock.h"
#include "online/core/OnlineLinks.h"
#include "store/engine/StoreError.h"
#include "store/files/SettingsFiles.h"
#include "store/tables/Store.h"
#include "web/Html.h"

#include <httplib.h>
#include <sys/socket.h>

#include <QDebug>
#include <cerrno>
#include <chrono>
#include <map>
#include <utility>

namespace tv::web {

namespace {

constexpr std::size_t kMaxBody = 16 * 1024;
constexpr std::size_t kWorkers = 32;

std::atomic<int> g_generation{0};

// A database link serves one thread at a time: each worker thread of the
// server keeps its own, opened as the desktop opens it on its first
// request (and again after a failure), one per server in the process.
std::map<int, std::unique_ptr<Store>> &threadStores()
{
    thread_local std::map<int, std::unique_ptr<Store>> stores;
    return stores;
}

Store &threadStore(int generation, const QString &dataFolder)
{
    std::unique_ptr<Store> &store = threadStores()[generation];
    if (!store)
        store = Store::open(files::join(dataFolder, files::Database));
    return *store;
}

// When the worker thread started on the request it is answering.
thread_local std::chrono::steady_clock::time_point t_started{};

const char *const kNotFound = "<!DOCTYPE html>\n<html lang=\"fr\"><head><meta charset=\"utf-8\"><title>Page "
                              "introuvable</title></head><body><h1>Page introuvable</h1><p id=\"message\">Cette "
                              "adresse ne correspond à aucune page. Si votre lien de réservation ne fonctionne "
                              "plus, demandez-en un nouveau au cabinet.</p></body></html>\n";

void setSecurityHeaders(httplib::Response &res)
{
    res.set_header("Content-Security-Policy",
                   "default-src 'none'; style-src 'self'; script-src 'self'; img-src 'self'; form-action 'self'; "
                   "base-uri 'none'; frame-ancestors 'none'");
    res.set_header("Referrer-Policy", "no-referrer");
    res.set_header("X-Content-Type-Options", "nosniff");
    res.set_header("X-Frame-Options", "DENY");
    res.set_header("Cache-Control", "no-store");
}

std::string errorBody(int status)
{
    switch (status) {
    case 404: return kNotFound;
    case 405:
        return html::messagePage(QStringLiteral("Méthode refusée"),
                                 QStringLiteral("Cette adresse ne s'utilise pas ainsi : revenez au calendrier."));
    case 413:
        return html::messagePage(QStringLiteral("Demande trop longue"),
                                 QStringLiteral("La demande dépasse la taille permise (16 ko)."));
    case 429:
        return html::messagePage(QStringLiteral("Trop de tentatives"),
                                 QStringLiteral("Trop de liens erronés depuis votre adresse : réessayez dans dix "
                                                "minutes."));
    case 500:
    case 503:
        return html::messagePage(QStringLiteral("Service indisponible"),
                                 QStringLiteral("Le service de réservation est momentanément indisponible. "
                                                "Réessayez plus tard ou appelez le cabinet."));
    default:
        return html::messagePage(QStringLiteral("Demande incorrecte"),
                                 QStringLiteral("La demande n'a pas pu être comprise."));
    }
}

} // namespace

WebServer::WebServer(ServerOptions options)
    : m_options(std::move(options))
    , m_server(std::make_unique<httplib::Server>())
    , m_site(m_options.dataFolder, m_options.workstations)
    , m_generation(++g_generation)
{
    if (!m_options.logFile.empty() && !m_log.openFile(m_options.logFile))
        m_error =
            QStringLiteral("Impossible d'écrire le journal « %1 ».").arg(QString::fromStdString(m_options.logFile));
    m_server->set_payload_max_length(kMaxBody);
    // A worker serves one connection for as long as it is kept alive, and
    // a browser keeps several: with httplib's default of 8 workers, two
    // delegates' browsers left every other one waiting seconds. Workers are
    // cheap while idle; each opens its database connection on first use.
    m_server->new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    m_server->set_keep_alive_max_count(1000);
    m_server->set_keep_alive_timeout(2);
    // Headers and body leave in two writes: without this the second waits
    // for the client's delayed acknowledgement (40 ms a request).
    m_server->set_tcp_nodelay(true);
    // One service per port. httplib's default, SO_REUSEPORT, would let a
    // second one started by mistake share the port and take half of the
    // requests; SO_REUSEADDR alone still lets a restart bind at once.
    m_server->set_socket_options([](socket_t sock) {
        const int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
    });
    const auto handler = [this](const httplib::Request &req, httplib::Response &res) { handle(req, res); };
    m_server->Get(".*", handler);
    m_server->Post(".*", handler);
    // Every other method, and what httplib refuses before routing (a body
    // too long, a bad request line), comes through the error handler.
    m_server->Put(".*", handler);
    m_server->Delete(".*", handler);
    m_server->Options(".*", handler);
    m_server->Patch(".*", handler);
    m_server->set_error_handler([](const httplib::Request &, httplib::Response &res) {
        if (res.body.empty())
            res.set_content(errorBody(res.status), "text/html; charset=utf-8");
    });
    m_server->set_pre_routing_handler([](const httplib::Request &, httplib::Response &) {
        t_started = std::chrono::steady_clock::now();
        return httplib::Server::HandlerResponse::Unhandled;
    });
    m_server->set_post_routing_handler(
        [](const httplib::Request &, httplib::Response &res) { setSecurityHeaders(res); });
    m_server->set_logger([this](const httplib::Request &req, const httplib::Response &res) {
        const auto started = std::exchange(t_started, {});
        const double ms =
            started == std::chrono::steady_clock::time_point{}
                ? 0.0
                : std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
        m_log.write(clientAddress(req), req.method, req.path, res.status, res.body.size(), ms);
    });
}

WebServer::~WebServer() = default;

bool WebServer::bind()
{
    if (!m_error.isEmpty())
        return false;
    errno = 0;
    m_boundPort = m_options.port == 0 ? m_server->bind_to_any_port(m_options.host)
                                      : (m_server->bind_to_port(m_options.host, m_options.port) ? m_options.port : -1);
    if (m_boundPort <= 0) {
        const QString where = QStringLiteral("%1:%2").arg(QString::fromStdString(m_options.host)).arg(m_options.port);
        m_error = errno == EADDRINUSE
                      ? QStringLiteral("L'adresse %1 est déjà utilisée : un autre tallvane-web, ou un autre "
                                       "programme, y écoute. Arrêtez-le ou choisissez un autre port.")
                            .arg(where)
                      : QStringLiteral("Impossible d'écouter sur %1 (adresse inconnue de cette machine ou port "
                                       "non permis).")
                            .arg(where);
        return false;
    }
    return true;
}

void WebServer::run()
{
    m_server->listen_after_bind();
}

void WebServer::stop()
{
    m_server->stop();
}

std::string WebServer::clientAddress(const httplib::Request &req) const
{
    if (!m_options.trustedProxy.empty() && req.remote_addr == m_options.trustedProxy
        && req.has_header("X-Forwarded-For")) {
        // The proxy appends the address it saw last.
        std::string forwarded = req.get_header_value("X-Forwarded-For");
        const auto comma = forwarded.rfind(',');
        if (comma != std::string::npos)
            forwarded = forwarded.substr(comma + 1);
        const auto first = forwarded.find_first_not_of(' ');
        return first == std::string::npos ? req.remote_addr : forwarded.substr(first, 64);
    }
    return req.remote_addr;
}

void WebServer::handle(const httplib::Request &req, httplib::Response &res)
{
    const std::string address = clientAddress(req);
    if (m_limiter.banned(address, RateLimiter::Clock::now())) {
        res.status = 429;
        res.set_content(errorBody(429), "text/html; charset=utf-8");
        return;
    }
    try {
        answer(req, res, address);
    } catch (const StoreError &e) {
        qWarning().noquote() << "tallvane-web:" << e.fullText();
        threadStores().erase(m_generation);
        res.status = 503;
        res.set_content(errorBody(503), "text/html; charset=utf-8");
    } catch (const std::exception &e) {
        qWarning().noquote() << "tallvane-web:" << e.what();
        res.status = 500;
        res.set_content(errorBody(500), "text/html; charset=utf-8");
    }
}

void WebServer::answer(const httplib::Request &req, httplib::Response &res, const std::string &address)
{
    const ParsedRequest r = parseRequest(req.method, req.path, req.params, Clock::today());
    switch (r.route) {
    case Route::Style: res.set_content(html::styleSheet(), "text/css; charset=utf-8"); return;
    case Route::Script: res.set_content(html::script(), "text/javascript; charset=utf-8"); return;
    case Route::NotFound: res.status = 404; return;
    case Route::WrongMethod: res.status = 405; return;
    default: break;
    }
    Store &store = threadStore(m_generation, m_options.dataFolder);
    const auto labo = online::LinkBook(store, m_options.dataFolder).laboFor(r.token);
    if (!labo) {
        m_limiter.badToken(address, RateLimiter::Clock::now());
        res.status = 404;
        return;
    }
    Reply reply;
    if (!r.error.isEmpty())
        reply = m_site.badRequest(r.token, r.error);
    else if (r.route == Route::Page)
        reply = m_site.page(store, *labo, r);
    else if (r.route == Route::Book)
        reply = m_site.book(store, *labo, r);
    else
        reply = m_site.cancel(store, *labo, r);
    res.status = reply.status;
    res.set_content(reply.body, reply.type);
}

} // namespace tv::web
