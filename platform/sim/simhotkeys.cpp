#include "platform/sim/simhotkeys.h"

namespace zenrun {

bool SimHotKeys::registerKey(int id, std::uint32_t virtualKey) {
    if (keys_.contains(id) || virtualKey == 0) return false;
    for (const auto k : keys_)
        if (k == virtualKey) return false;
    keys_.insert(id, virtualKey);
    return true;
}

bool SimHotKeys::press(std::uint32_t virtualKey) {
    for (auto it = keys_.cbegin(); it != keys_.cend(); ++it) {
        if (it.value() == virtualKey) {
            if (handler_) handler_(it.key());
            return true;
        }
    }
    return false;
}

}  // namespace zenrun
