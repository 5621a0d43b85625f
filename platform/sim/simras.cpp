#include "platform/sim/simras.h"

namespace zenrun {

namespace {
// Dial steps as the notifications number them.
constexpr std::uint16_t kOpenPort = 0;
constexpr std::uint16_t kConnectDevice = 2;
constexpr std::uint16_t kAuthenticate = 6;
constexpr int kAlreadyExists = 183;

bool dialError(std::uint16_t s) {
    return s >= 600 && s <= 999;
}
}  // namespace

SimRas::Script SimRas::connectsAfter(int ms) {
    return {{0, kOpenPort}, {ms / 2, kAuthenticate}, {ms - ms / 2, kRasConnected}};
}
SimRas::Script SimRas::failsWith(std::uint16_t code, int afterMs) {
    return {{0, kOpenPort}, {afterMs, code}};
}
SimRas::Script SimRas::staysDialling() {
    return {{0, kOpenPort}, {500, kConnectDevice}};
}

SimRas::SimRas(Clock& clock) : clock_(clock) {}
SimRas::~SimRas() = default;

int SimRas::putAllEntryProps(const QString& name) {
    calls_ << QStringLiteral("putAllEntryProps ") + name;
    if (const int code = std::exchange(failPut_, 0)) return code;
    if (name.isEmpty()) return rascode::kInvalidName;
    phonebook_[name].entry = entry_;
    lastWritten_ = entry_;
    return 0;
}

int SimRas::putDialProps(const QString& name) {
    calls_ << QStringLiteral("putDialProps ") + name;
    if (const int code = std::exchange(failDialProps_, 0)) return code;
    auto it = phonebook_.find(name);
    if (it == phonebook_.end()) return rascode::kCannotFindPhonebookEntry;
    it->second.user = dialUser_;
    it->second.password = dialPassword_;
    it->second.credentials = true;
    return 0;
}

int SimRas::validateName(const QString& name) {
    if (name.isEmpty()) return rascode::kInvalidName;
    return phonebook_.count(name) ? kAlreadyExists : 0;
}

QString SimRas::phoneNumberOf(const QString& name) {
    auto it = phonebook_.find(name);
    return it == phonebook_.end() ? QString() : it->second.entry.phoneNumber;
}

int SimRas::getDialParams() {
    calls_ << QStringLiteral("getDialParams ") + entryName_;
    if (const int code = std::exchange(failGetParams_, 0)) {
        statusStr_ = QStringLiteral("The dial parameters could not be read.");
        return code;
    }
    auto it = phonebook_.find(entryName_);
    if (it == phonebook_.end()) {
        statusStr_ = QStringLiteral("The phonebook entry does not exist.");
        return rascode::kCannotFindPhonebookEntry;
    }
    paramUser_ = it->second.user;
    paramPassword_ = it->second.password;
    return 0;
}

int SimRas::connectEx(int& handle) {
    calls_ << QStringLiteral("connectEx ") + entryName_;
    if (const int code = std::exchange(failConnect_, 0)) {
        statusStr_ = failConnectText_;
        return code;
    }
    auto it = phonebook_.find(entryName_);
    if (it == phonebook_.end()) {
        statusStr_ = QStringLiteral("The phonebook entry does not exist.");
        return rascode::kCannotFindPhonebookEntry;
    }
    handle = nextHandle_++;
    Connection c;
    c.entryName = entryName_;
    c.server = it->second.entry.phoneNumber;
    c.user = paramUser_;
    c.password = paramPassword_;
    connections_[handle] = c;
    scripts_[handle] = scriptFor(c.server);
    nextStep_[handle] = 0;
    dialHandle_ = handle;
    state_ = kOpenPort;
    auto timer = clock_.createTimer(1);
    const int h = handle;
    timer->setHandler([this, h] {
        stepTimers_[h]->setEnabled(false);
        applyStep(h, nextStep_[h]);
    });
    stepTimers_[handle] = std::move(timer);
    schedule(handle, 0);
    return 0;
}

SimRas::Script SimRas::scriptFor(const QString& server) const {
    auto it = perServer_.find(server);
    return it == perServer_.end() ? defaultScript_ : *it;
}

// Waits for step `index` of the dial's script on the clock, or applies it at once when it is
// due at once.
void SimRas::schedule(int handle, std::size_t index) {
    Timer& timer = *stepTimers_[handle];
    timer.setEnabled(false);
    const Script& script = scripts_[handle];
    const Connection* c = connection(handle);
    if (!c || c->ended || index >= script.size()) return;
    if (script[index].afterMs <= 0) {
        applyStep(handle, index);
        return;
    }
    nextStep_[handle] = index;
    timer.setInterval(script[index].afterMs);
    timer.setEnabled(true);
}

void SimRas::applyStep(int handle, std::size_t index) {
    notify(handle, scripts_[handle][index].state);
    schedule(handle, index + 1);
}

void SimRas::notify(int handle, std::uint16_t state) {
    auto it = connections_.find(handle);
    if (it == connections_.end() || it->second.ended) return;
    if (state == kRasDisconnected) {
        dropLink(handle);
        return;
    }
    Connection& c = it->second;
    c.state = state;
    if (state == kRasConnected && !c.up) {
        c.up = true;
        c.projection.clientAddress = QStringLiteral("10.8.0.%1").arg(handle % 250 + 2);
        c.projection.serverAddress = QStringLiteral("10.8.0.1");
        c.projection.interfaceName = QStringLiteral("ppp0");
    }
    if (dialError(state)) c.ended = true;
    if (handle == dialHandle_) state_ = state;
}

void SimRas::dropLink(int handle) {
    auto it = connections_.find(handle);
    if (it == connections_.end() || it->second.ended) return;
    const bool wasUp = it->second.up;
    it->second.ended = true;
    it->second.up = false;
    it->second.state = kRasDisconnected;
    if (auto t = stepTimers_.find(handle); t != stepTimers_.end()) t->second->setEnabled(false);
    if (handle == dialHandle_) state_ = kRasDisconnected;
    calls_ << QStringLiteral("dropped %1").arg(handle);
    if (wasUp && onLinkEnded) onLinkEnded(handle);
}

void SimRas::currentStatusEx(int handle) {
    auto it = connections_.find(handle);
    if (handle == 0 || it == connections_.end() || it->second.ended)
        state_ = kRasQueryFailed;
    else
        state_ = it->second.state;
}

void SimRas::disconnectEx(int handle, int waitMs, int pollMs) {
    calls_ << QStringLiteral("hangUp %1").arg(handle);
    auto it = connections_.find(handle);
    if (it != connections_.end() && !hangUpIgnored_) {
        it->second.ended = true;
        it->second.up = false;
        it->second.state = kRasDisconnected;
        if (auto t = stepTimers_.find(handle); t != stepTimers_.end()) t->second->setEnabled(false);
    }
    for (int waited = 0;; waited += pollMs) {
        currentStatusEx(handle);
        const std::uint16_t s = state_.load();
        if (s == kRasDisconnected || s == kRasQueryFailed || waited >= waitMs) break;
        clock_.waitms(pollMs);
    }
}

int SimRas::deletePhonebook() {
    calls_ << QStringLiteral("deletePhonebook ") + entryName_;
    if (const int code = std::exchange(failDelete_, 0)) return code;
    if (phonebook_.erase(entryName_) == 0) return rascode::kCannotFindPhonebookEntry;
    entryName_.clear();
    return 0;
}

Ras::Active SimRas::getConnection() {
    for (const auto& [handle, c] : connections_)
        if (!c.ended) return {c.entryName, handle};
    return {};
}

std::optional<RasProjection> SimRas::ipProjection(int handle) {
    const Connection* c = connection(handle);
    if (!c || !c->up || c->ended) return std::nullopt;
    return c->projection;
}

void SimRas::watch(int slot, int handle) {
    watchedSlot_ = slot;
    watchedHandle_ = handle;
}

void SimRas::refreshCounters() {
    const Connection* c = connection(watchedHandle_);
    if (!c || c->ended) return;  // the counts of the last refresh stay
    const bool sameLink = baseHandle_ == watchedHandle_;
    shownSent_ = c->sent - (sameLink ? baseSent_ : 0);
    shownReceived_ = c->received - (sameLink ? baseReceived_ : 0);
}

void SimRas::resetPerfStats() {
    const Connection* c = connection(watchedHandle_);
    baseHandle_ = watchedHandle_;
    baseSent_ = c ? c->sent : 0;
    baseReceived_ = c ? c->received : 0;
    shownSent_ = shownReceived_ = 0;
}

const SimRas::Connection* SimRas::connection(int handle) const {
    auto it = connections_.find(handle);
    return it == connections_.end() ? nullptr : &it->second;
}

void SimRas::addTraffic(int handle, std::uint64_t sent, std::uint64_t received) {
    auto it = connections_.find(handle);
    if (it == connections_.end()) return;
    it->second.sent += sent;
    it->second.received += received;
}

void SimRas::setTraffic(int handle, std::uint64_t sent, std::uint64_t received) {
    auto it = connections_.find(handle);
    if (it == connections_.end()) return;
    it->second.sent = sent;
    it->second.received = received;
}

void SimRas::growTraffic(int everyMs) {
    trafficTimer_ = clock_.createTimer(everyMs);
    trafficTimer_->setHandler([this] {
        for (auto& [handle, c] : connections_) {
            if (!c.up || c.ended) continue;
            // A game's pattern: small steady uploads, larger bursty downloads.
            c.sent += 1800 + (c.sent / 7) % 900;
            c.received += 9000 + (c.received / 3) % 24000;
        }
    });
    trafficTimer_->setEnabled(true);
}

std::unique_ptr<SimRas> makeDemoRas(Clock& clock) {
    auto ras = std::make_unique<SimRas>(clock);
    // 厦门电信: the account is refused; 济南移动: never gets past dialling (the 13 s check
    // gives up); 东京: drops a minute after it came up.
    ras->setScriptFor(QStringLiteral("127.0.1.6"),
                      SimRas::failsWith(rascode::kAuthenticationFailure));
    ras->setScriptFor(QStringLiteral("127.0.1.9"), SimRas::staysDialling());
    SimRas::Script drops = SimRas::connectsAfter();
    drops.push_back({60000, kRasDisconnected});
    ras->setScriptFor(QStringLiteral("127.0.1.11"), drops);
    ras->growTraffic(1000);
    return ras;
}

}  // namespace zenrun
