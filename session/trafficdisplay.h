#pragma once

namespace zenrun {

struct Platform;
struct Session;
class Tfrmmain;

// The traffic and online-time display of a link that is up (`rast12Timer`). It only shows:
// the link and the back-end are never touched. While the link is not up every text stays.
class TrafficDisplay {
public:
    TrafficDisplay(Session& session, Platform& platform, Tfrmmain& form);

    void rast12Timer();

private:
    Session& session_;
    Platform& platform_;
    Tfrmmain& form_;
};

}  // namespace zenrun
