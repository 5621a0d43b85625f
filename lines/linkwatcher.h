#pragma once

#include <QString>

namespace zenrun {

struct Platform;
struct Session;
class Tfrmmain;
class SpeedTest;

// The watcher that runs while a dial is under way (`Timer2`, every second): once the status
// label reports the link up, it ends a batch speed test, goes to the tray when the user asked
// for it, shows the account in a tray balloon, and switches itself off.
class LinkWatcher {
public:
    // Longest balloon title and text the tray shows; longer ones are cut.
    static constexpr int kTitleMax = 63;
    static constexpr int kTextMax = 255;

    LinkWatcher(Session& session, Platform& platform, Tfrmmain& form, SpeedTest& speedTest);

    void Timer2Timer();
    // "UserName:" and the account, a line feed, and the account information.
    QString noticetext() const;
    // Cuts a text to `max` UTF-16 units without splitting a surrogate pair.
    static QString cut(const QString& text, int max);

private:
    Session& session_;
    Platform& platform_;
    Tfrmmain& form_;
    SpeedTest& speedTest_;
};

}  // namespace zenrun
