#pragma once

#include <memory>
#include <string>
#include <vector>

#include "server/faults.h"
#include "server/service.h"

namespace httplib {
class Server;
struct Response;
}  // namespace httplib

namespace zenrun::server {

struct Listen {
    std::string host;
    int port = 0;  // 0: any free port
};

// "HOST:PORT" or "[V6]:PORT"; false when malformed.
bool parselisten(const std::string& text, Listen& out);

// The HTTP side: one listener per address, all serving the same Service, the fault
// switches in front of every path, and the control endpoints ("/_control/...") for
// loopback peers only.
class HttpFront {
public:
    HttpFront(Service& service, Faults& faults);
    ~HttpFront();

    // Binds every address; on failure says why in `error`.
    bool bind(const std::vector<Listen>& listens, std::string& error);
    // "host:port" of each bound listener, in order.
    std::vector<std::string> bound() const { return bound_; }
    // Serves until stop().
    void run();
    void stop();

private:
    void setup(httplib::Server& svr);
    void flood(httplib::Response& res, long long bytes);
    void trickle(httplib::Response& res, int ms);

    Service& service_;
    Faults& faults_;
    std::vector<std::unique_ptr<httplib::Server>> servers_;
    std::vector<std::string> bound_;
};

}  // namespace zenrun::server
