#include "server/faults.h"

#include <cctype>
#include <charconv>
#include <cstdint>

namespace zenrun::server {

namespace {
std::optional<long long> bignumber(const std::string& s) {
    long long v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || v < 0) return std::nullopt;
    return v;
}

std::optional<int> number(const std::string& s) {
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || v < 0) return std::nullopt;
    return v;
}
}  // namespace

std::optional<Fault> parsefault(const std::string& spec) {
    const auto colon = spec.find(':');
    const std::string kind = spec.substr(0, colon);
    const std::string arg = colon == std::string::npos ? std::string() : spec.substr(colon + 1);
    Fault f;
    if (kind == "empty" && colon == std::string::npos) {
        f.kind = Fault::Kind::Empty;
    } else if (kind == "close" && colon == std::string::npos) {
        f.kind = Fault::Kind::Close;
    } else if (kind == "bytes" && colon != std::string::npos) {
        f.kind = Fault::Kind::Bytes;
        f.bytes = QByteArray::fromStdString(arg);
    } else if (kind == "hex" && colon != std::string::npos) {
        const QByteArray hex = QByteArray::fromStdString(arg);
        for (const char c : hex)
            if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
        if (hex.size() % 2) return std::nullopt;
        f.kind = Fault::Kind::Bytes;
        f.bytes = QByteArray::fromHex(hex);
    } else if (kind == "loop" && colon == std::string::npos) {
        f.kind = Fault::Kind::Loop;
    } else if (kind == "flood" || kind == "garbage") {
        const auto n = bignumber(arg);
        if (!n) return std::nullopt;
        f.kind = kind == "flood" ? Fault::Kind::Flood : Fault::Kind::Garbage;
        f.count = *n;
    } else if (kind == "trickle") {
        const auto n = number(arg);
        if (!n || *n == 0) return std::nullopt;
        f.kind = Fault::Kind::Trickle;
        f.ms = *n;
    } else if (kind == "stall" || kind == "status") {
        const auto n = number(arg);
        if (!n) return std::nullopt;
        f.kind = kind == "stall" ? Fault::Kind::Stall : Fault::Kind::Status;
        (kind == "stall" ? f.ms : f.status) = *n;
        if (f.kind == Fault::Kind::Status && (f.status < 100 || f.status > 599))
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    return f;
}

std::string garbagebody(long long lines) {
    // Pieces a careless or hostile back-end might put in a field.
    static const char* const kPieces[] = {
        "",
        "-",
        ",",
        "|",
        "||",
        ",,",
        "(",
        ")",
        "=",
        "[",
        "]",
        ";",
        " ",
        "\t",
        "999999999999999999999",
        "-1",
        "0x1F",
        "1e9",
        "NaN",
        "256.256.256.256",
        "1.2.3",
        "0.0.0.0",
        "255.255.255.255",
        "\xd6\xd0\xce\xc4",  // GBK text
        "\xff\xfe",
        "\x81",
        "%s%n",
        "../../etc/passwd",
        "\\x00",
        "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"};
    constexpr std::size_t kCount = sizeof kPieces / sizeof kPieces[0];
    std::uint32_t state = 0x2545F491U;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    std::string out;
    for (long long i = 0; i < lines; ++i) {
        if (i % 100 == 0) {
            out += "[area" + std::to_string(i / 100) + kPieces[next() % kCount] + "]\r\n";
            continue;
        }
        out += "line" + std::to_string(i) + kPieces[next() % kCount] + "=";
        const int fields = static_cast<int>(next() % 12);
        for (int k = 0; k < fields; ++k) {
            out += kPieces[next() % kCount];
            out += (next() % 2) ? "," : "|";
        }
        out += "\r\n";
    }
    return out;
}

bool Faults::setfromarg(const std::string& arg) {
    const auto eq = arg.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    const auto f = parsefault(arg.substr(eq + 1));
    if (!f) return false;
    set(arg.substr(0, eq), *f);
    return true;
}

void Faults::set(const std::string& path, const Fault& fault) {
    std::lock_guard lock(mutex_);
    byPath_[path] = fault;
}

void Faults::remove(const std::string& path) {
    std::lock_guard lock(mutex_);
    byPath_.erase(path);
}

void Faults::clear() {
    std::lock_guard lock(mutex_);
    byPath_.clear();
}

std::optional<Fault> Faults::find(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto it = byPath_.find(path);
    if (it == byPath_.end()) return std::nullopt;
    return it->second;
}

void Faults::stall(int ms) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_; });
}

bool Faults::stopping() const {
    std::lock_guard lock(mutex_);
    return stopping_;
}

void Faults::stopstalls() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
}

}  // namespace zenrun::server
