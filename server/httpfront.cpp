#include "server/httpfront.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <httplib.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <thread>

namespace zenrun::server {

namespace {

bool loopbackpeer(const std::string& addr) {
    return addr.rfind("127.", 0) == 0 || addr == "::1" || addr.rfind("::ffff:127.", 0) == 0;
}

std::string addrtext(const sockaddr_storage& sa, int& port) {
    char buf[INET6_ADDRSTRLEN] = {};
    if (sa.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&sa);
        inet_ntop(AF_INET, &in->sin_addr, buf, sizeof buf);
        port = ntohs(in->sin_port);
    } else if (sa.ss_family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&sa);
        inet_ntop(AF_INET6, &in6->sin6_addr, buf, sizeof buf);
        port = ntohs(in6->sin6_port);
    } else {
        port = -1;
    }
    return buf;
}

// The HTTP library gives a handler no hold on its socket, so the "close" fault finds the
// connection among the process's descriptors by its two ends and shuts it down: the client
// sees the connection drop without a single byte of reply.
void closeconnection(const httplib::Request& req) {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return;
    while (const dirent* e = readdir(dir)) {
        char* end = nullptr;
        const long fd = std::strtol(e->d_name, &end, 10);
        if (*end != '\0' || fd < 0 || fd == dirfd(dir)) continue;
        sockaddr_storage local{}, peer{};
        socklen_t ll = sizeof local, pl = sizeof peer;
        if (getsockname(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&local), &ll) != 0 ||
            getpeername(static_cast<int>(fd), reinterpret_cast<sockaddr*>(&peer), &pl) != 0)
            continue;
        int lport = 0, pport = 0;
        addrtext(local, lport);
        const std::string paddr = addrtext(peer, pport);
        if (lport == req.local_port && pport == req.remote_port && paddr == req.remote_addr) {
            shutdown(static_cast<int>(fd), SHUT_RDWR);
            break;
        }
    }
    closedir(dir);
}

std::string query(const std::string& target) {
    const auto q = target.find('?');
    return q == std::string::npos ? std::string() : target.substr(q + 1);
}

}  // namespace

bool parselisten(const std::string& text, Listen& out) {
    std::string host, port;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find("]:");
        if (close == std::string::npos) return false;
        host = text.substr(1, close - 1);
        port = text.substr(close + 2);
    } else {
        const auto colon = text.rfind(':');
        if (colon == std::string::npos || colon == 0) return false;
        host = text.substr(0, colon);
        port = text.substr(colon + 1);
    }
    if (port.empty() || port.find_first_not_of("0123456789") != std::string::npos ||
        port.size() > 5)
        return false;
    out.host = host;
    out.port = std::stoi(port);
    return out.port <= 65535;
}

HttpFront::HttpFront(Service& service, Faults& faults) : service_(service), faults_(faults) {}

HttpFront::~HttpFront() = default;

bool HttpFront::bind(const std::vector<Listen>& listens, std::string& error) {
    for (const Listen& l : listens) {
        auto svr = std::make_unique<httplib::Server>();
        setup(*svr);
        int port = l.port;
        if (port == 0) {
            port = svr->bind_to_any_port(l.host);
            if (port <= 0) port = -1;
        } else if (!svr->bind_to_port(l.host, port)) {
            port = -1;
        }
        const std::string name =
            (l.host.find(':') != std::string::npos ? "[" + l.host + "]" : l.host) + ":";
        if (port < 0) {
            error = "cannot listen on " + name + std::to_string(l.port);
            return false;
        }
        bound_.push_back(name + std::to_string(port));
        servers_.push_back(std::move(svr));
    }
    return true;
}

void HttpFront::run() {
    std::vector<std::thread> threads;
    for (auto& svr : servers_) threads.emplace_back([s = svr.get()] { s->listen_after_bind(); });
    for (auto& t : threads) t.join();
}

void HttpFront::stop() {
    faults_.stopstalls();
    for (auto& svr : servers_) svr->stop();
}

// Without a declared length, so that only counting what arrives can stop it. The worker
// is free again as soon as the client goes away (a write fails).
void HttpFront::flood(httplib::Response& res, long long bytes) {
    res.set_chunked_content_provider(
        "text/plain; charset=GBK", [bytes](size_t offset, httplib::DataSink& sink) {
            static const std::string block = [] {
                std::string b;
                while (b.size() < 65536) b += "line=MTI3,1,1,1,\r\n";
                return b;
            }();
            const auto done = static_cast<long long>(offset);
            if (done >= bytes) {
                sink.done();
                return true;
            }
            const auto n = static_cast<size_t>(
                std::min<long long>(static_cast<long long>(block.size()), bytes - done));
            return sink.write(block.data(), n);
        });
}

void HttpFront::trickle(httplib::Response& res, int ms) {
    res.set_chunked_content_provider("text/plain; charset=GBK",
                                     [this, ms](size_t, httplib::DataSink& sink) {
                                         faults_.stall(ms);
                                         if (faults_.stopping()) return false;
                                         return sink.write("x", 1);
                                     });
}

void HttpFront::setup(httplib::Server& svr) {
    // Stalled replies hold a worker each; keep enough for the control endpoint and the
    // client's parallel connections.
    svr.new_task_queue = [] { return new httplib::ThreadPool(32); };
    svr.set_keep_alive_timeout(2);
    // Replies are small and written in pieces; without TCP_NODELAY every reply would wait
    // for the peer's delayed acknowledgement. Accepted sockets inherit it on Linux.
    svr.set_socket_options([](socket_t sock) {
        httplib::default_socket_options(sock);
        int one = 1;
        setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    });

    // Control endpoints, for loopback peers only.
    svr.Get(R"(/_control/(\w+))", [this](const httplib::Request& req, httplib::Response& res) {
        if (!loopbackpeer(req.remote_addr)) {
            res.status = 403;
            return;
        }
        const std::string what = req.matches[1];
        std::string reply = "ok";
        if (what == "ready") {
            reply = "ready";
        } else if (what == "fault") {
            const std::string path = req.get_param_value("path");
            const std::string spec = req.get_param_value("fault");
            if (path.empty()) {
                res.status = 400;
                reply = "missing path";
            } else if (spec == "none") {
                faults_.remove(path);
            } else if (const auto f = parsefault(spec)) {
                faults_.set(path, *f);
            } else {
                res.status = 400;
                reply = "bad fault " + spec;
            }
        } else if (what == "clear") {
            faults_.clear();
        } else if (what == "grants") {
            // Issued dial accounts, one a line: user, line address, dial user, password.
            std::ostringstream out;
            for (const Store::Grant& g : service_.store().grants())
                out << g.user.toStdString() << '\t' << g.serverip.toStdString() << '\t'
                    << g.dialuser.toStdString() << '\t' << g.dialpass.toStdString() << '\n';
            reply = out.str();
        } else {
            res.status = 404;
            reply = "unknown control";
        }
        res.set_content(reply, "text/plain; charset=utf-8");
    });

    const auto serve = [this](const httplib::Request& req, httplib::Response& res) {
        // Faults act once the request has been read in full, so that a kept-alive
        // connection stays in step.
        if (const auto fault = faults_.find(req.path)) {
            switch (fault->kind) {
                case Fault::Kind::Stall:
                    faults_.stall(fault->ms);
                    break;
                case Fault::Kind::Empty:
                    res.set_content("", "text/plain; charset=GBK");
                    return;
                case Fault::Kind::Bytes:
                    res.set_content(fault->bytes.toStdString(), "text/plain; charset=GBK");
                    return;
                case Fault::Kind::Status:
                    res.status = fault->status;
                    return;
                case Fault::Kind::Close:
                    closeconnection(req);
                    return;
                case Fault::Kind::Flood:
                    flood(res, fault->count);
                    return;
                case Fault::Kind::Trickle:
                    trickle(res, fault->ms);
                    return;
                case Fault::Kind::Garbage:
                    res.set_content(garbagebody(fault->count), "text/plain; charset=GBK");
                    return;
                case Fault::Kind::Loop:
                    res.set_redirect(req.target, 302);
                    return;
            }
        }
        try {
            const Params form = req.method == "POST" ? parseparams(req.body) : Params{};
            const auto reply = service_.handle(req.method, req.path, parseparams(query(req.target)),
                                               form, req.remote_addr);
            if (!reply) {
                res.status = 404;
                res.set_content("not found", "text/plain");
                return;
            }
            res.status = reply->status;
            res.set_content(reply->body.toStdString(), reply->type);
        } catch (const std::exception& e) {
            res.status = 500;
            res.set_content(std::string("internal error: ") + e.what(), "text/plain");
        }
    };
    svr.Get(".*", serve);
    svr.Post(".*", serve);
}

}  // namespace zenrun::server
