#pragma once

#include <QByteArray>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace zenrun::server {

// A switch that makes one path misbehave, for tests of the client's failure paths.
struct Fault {
    enum class Kind { Stall, Empty, Bytes, Close, Status, Flood, Trickle, Garbage, Loop };
    Kind kind = Kind::Empty;
    int ms = 0;           // Stall: delay before the normal reply; Trickle: pause per byte
    QByteArray bytes;     // Bytes: the whole reply body
    int status = 0;       // Status: the HTTP status of an empty reply
    long long count = 0;  // Flood: bytes of the body; Garbage: lines of it
};

// Spec forms: "stall:MS", "empty", "bytes:TEXT" (taken as bytes), "hex:HEX", "close",
// "status:CODE", and the hostile ones:
//   "flood:BYTES"  a 200 reply of that many bytes, sent as fast as the client takes them,
//                  without a declared length;
//   "trickle:MS"   a 200 reply whose body comes one byte every MS ms, forever;
//   "garbage:N"    a well-formed INI reply (areas and lines) of N lines whose values are
//                  garbage fields: empty, overlong, separators, non-ASCII, wrong types;
//   "loop"         a redirect to the very same address, for ever.
// Returns nothing for a malformed spec.
std::optional<Fault> parsefault(const std::string& spec);

// The body of a "garbage:N" reply, the same for the same N (GBK bytes).
std::string garbagebody(long long lines);

// The switches of the running server, by exact path.
class Faults {
public:
    // "PATH=SPEC"; false when malformed.
    bool setfromarg(const std::string& arg);
    void set(const std::string& path, const Fault& fault);
    void remove(const std::string& path);
    void clear();
    std::optional<Fault> find(const std::string& path) const;
    // Sleeps up to `ms`, cut short when the server stops.
    void stall(int ms);
    void stopstalls();
    bool stopping() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::map<std::string, Fault> byPath_;
};

}  // namespace zenrun::server
