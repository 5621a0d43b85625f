#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <condition_variable>
#include <mutex>
#include <set>

#include "platform/icmp.h"

namespace zenrun {

// Echo answers from a table: each address answers after its round trip, or never. Unknown
// addresses answer nothing. Safe to call from many threads, like the real service.
class SimIcmp : public Icmp {
public:
    struct Request {
        QString address;
        int payloadBytes;
        int ttl;
        int timeoutMs;
    };

    EchoReply echo(const QString& address, int payloadBytes, int ttl, int timeoutMs) override;

    // Driving API.
    void setRtt(const QString& address, int rttMs);  // answers in rttMs
    void setSilent(const QString& address);          // never answers
    void setUnusable(const QString& address);        // the request cannot be sent
    // With real time on, a request takes as long as its answer (or its time-out) would; off
    // (the default, for tests) it returns at once with the same result.
    void setRealTime(bool on);
    // Requests to a held address wait until release() (or releaseAll()), whatever the time.
    void hold(const QString& address);
    void release(const QString& address);
    void releaseAll();
    QList<Request> requests() const;
    int waiting() const;  // requests held right now

private:
    mutable std::mutex mu_;
    std::condition_variable cv_;
    QHash<QString, int> rtt_;  // -1 silent, -2 unusable
    std::set<QString> held_;
    QList<Request> requests_;
    bool realTime_ = false;
    int waiting_ = 0;
};

}  // namespace zenrun
