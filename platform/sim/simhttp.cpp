#include "platform/sim/simhttp.h"

namespace zenrun {

HttpReply SimHttp::get(const QString& url, int readTimeoutMs, const QString& userAgent) {
    Request r{QStringLiteral("GET"), url, {}, readTimeoutMs, userAgent};
    requests.append(r);
    return answer(r);
}

HttpReply SimHttp::post(const QString& url, const FormFields& form, int readTimeoutMs,
                        const QString& userAgent) {
    Request r{QStringLiteral("POST"), url, form, readTimeoutMs, userAgent};
    requests.append(r);
    return answer(r);
}

void SimHttp::queue(const QString& urlPattern, HttpReply reply) {
    queue_.emplace_back(urlPattern, std::move(reply));
}

void SimHttp::queueBody(const QString& urlPattern, const QString& body) {
    queue(urlPattern, HttpReply{true, 200, body, {}});
}

HttpReply SimHttp::answer(const Request& r) {
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if (r.url.contains(it->first)) {
            HttpReply reply = std::move(it->second);
            queue_.erase(it);
            return reply;
        }
    }
    if (handler_) return handler_(r);
    return HttpReply{false, 0, {}, QStringLiteral("connection refused (simulated)")};
}

}  // namespace zenrun
