#pragma once

#include <QString>

namespace zenrun {

// One ICMP echo request and what became of it.
struct EchoReply {
    enum Status {
        Answered,  // a matching echo reply came back; rttMs holds the round trip
        NoAnswer,  // nothing came back in time; rttMs holds the time waited (>= the time-out)
        Failed,    // the request could not be sent: unusable address, no socket
    };
    Status status = Failed;
    int rttMs = 0;  // whole milliseconds, truncated
};

// The ICMP echo service. A call blocks its thread until the reply or the time-out; any number
// of threads may call at once and their requests do not disturb each other.
class Icmp {
public:
    virtual ~Icmp() = default;
    // `address` is an IPv4 address in dotted form; `payloadBytes` the data after the ICMP
    // header; `ttl` the IP time to live.
    virtual EchoReply echo(const QString& address, int payloadBytes, int ttl, int timeoutMs) = 0;
};

}  // namespace zenrun
