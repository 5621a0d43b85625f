#pragma once

#include <QString>

namespace zenrun::pppd {

// What pppd's exit status means for a dial: the dial error code the caller sees and the
// reason in words (pppd's own, from its manual).
struct ExitMeaning {
    int code;
    QString reason;
};

// `status` is pppd's exit status; a negative value means it was killed by a signal.
ExitMeaning exitMeaning(int status);

}  // namespace zenrun::pppd
