#pragma once

#include <QString>
#include <memory>

class QEventLoop;

#include "platform/icmp.h"

namespace zenrun {

struct Platform;
struct Session;
class Tfrmmain;
class TForm1;
class UiMailbox;

// The single-line test behind `cesu` (and the list's popup item and the dialog's retry):
// seven echo requests in a row to the line chosen in the line selector, each answer listed
// in the speed-test dialog by the line's name. The requests run on a helper thread while the
// window keeps handling events, so nothing freezes during the up to seven seconds.
class SingleTest {
public:
    static constexpr int kRequests = 7;
    static constexpr int kPayload = 32;
    static constexpr int kTtl = 64;
    static constexpr int kTimeoutMs = 1000;

    SingleTest(Session& session, Platform& platform, Tfrmmain& form, TForm1& dialog);
    ~SingleTest();

    void cesuClick();
    // The dialog's own handlers.
    void FormShow();
    void Button1Click();
    // One answer (or time-out) of the dialog's echo client: one line in the list.
    void ICMPReply(int rttMs);

    bool running() const { return running_; }

private:
    EchoReply sendecho();

    Session& session_;
    Platform& platform_;
    Tfrmmain& form_;
    TForm1& dialog_;
    // The dialog's echo client: where and how long to wait.
    QString host_;
    int receiveTimeout_ = kTimeoutMs;
    bool running_ = false;
    QEventLoop* waiting_ = nullptr;       // the loop waiting for the current request
    std::unique_ptr<UiMailbox> mailbox_;  // the helper thread's "done"
};

}  // namespace zenrun
