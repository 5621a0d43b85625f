#pragma once

#include <functional>

namespace zenrun {

// The link operations supervision calls but does not own: they belong to connecting and
// disconnecting. The assembly fills them; an empty one does nothing.
struct LinkActions {
    std::function<void()> disconnect;   // btn_disconnClick: full tear-down, stops rotation
    std::function<void()> disconnect2;  // btn_disconn2Click: tear-down that rotation runs
    std::function<void()> reconnect2;   // btn_conn2Click: dials the line in IPAddrTxt
};

}  // namespace zenrun
