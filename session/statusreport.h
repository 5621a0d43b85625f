#pragma once

namespace zenrun {

struct LinkActions;
struct Platform;
struct Session;
class Tfrmmain;

// Reports a link whose dial-up credentials the back-end issued (`statuscheckTimer`), and
// ends the link when the back-end answers that the account has too many computers online.
// Every other answer, and every failure, is ignored: the next tick tries again.
class StatusReport {
public:
    static constexpr int kReadTimeoutMs = 2000;
    static constexpr char kOverLimitReply[] = "7f1c04e9ab3d58c26e90f7a41b8d3c65";
    // The HTTP client's own User-Agent: the report is not a page fetch.
    static constexpr char kUserAgent[] = "Mozilla/3.0 (compatible; Indy Library)";

    // `actions` is read at each tick, so it may be filled after construction.
    StatusReport(Session& session, Platform& platform, Tfrmmain& form, const LinkActions& actions);

    void statuscheckTimer();

private:
    Session& session_;
    Platform& platform_;
    Tfrmmain& form_;
    const LinkActions& actions_;
};

}  // namespace zenrun
