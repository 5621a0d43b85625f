#include "lines/speedtest.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <chrono>

#include "core/langtext.h"
#include "core/session.h"
#include "lines/linemodel.h"
#include "lines/lineorder.h"
#include "lines/lineview.h"
#include "lines/probepool.h"
#include "lines/uimailbox.h"
#include "platform/icmp.h"
#include "platform/platform.h"
#include "ui/mainwindow.h"

namespace zenrun {

namespace {
const QString kNoPool = QStringLiteral("PNA/PNA");
// How much of a late wake-up the next step absorbs.
constexpr std::chrono::milliseconds kSlack{5};
}  // namespace

SpeedTest::SpeedTest(Session& session, Platform& platform, Tfrmmain& form, LineView& view)
    : QObject(nullptr),
      session_(session),
      platform_(platform),
      form_(form),
      view_(view),
      mailbox_(std::make_unique<UiMailbox>()),
      pool_(std::make_unique<ProbePool>(kMinWorkers, kMaxWorkers)) {
    form_.lbl_info->setText(kNoPool);
}

SpeedTest::~SpeedTest() {
    session_.pinging = false;
    {
        std::lock_guard lock(mu_);
        quit_ = true;
    }
    cv_.notify_all();
    if (sweep_.joinable()) sweep_.join();
    pool_.reset();     // waits for the probes in flight
    mailbox_.reset();  // their results go nowhere
}

QString SpeedTest::startCaption() const {
    return langtext(session_, QStringLiteral("Bat Speed"), QStringLiteral("批量测速"));
}

QString SpeedTest::stopCaption() const {
    return langtext(session_, QStringLiteral("Pause Speed"), QStringLiteral("暂停测速"));
}

QString SpeedTest::failuretext() const {
    return langtext(session_, QStringLiteral("Unknown"), QStringLiteral("禁ping"));
}

int SpeedTest::queued() const {
    return pool_->queued();
}

int SpeedTest::workers() const {
    return pool_->workers();
}

void SpeedTest::btn_speedClick() {
    if (form_.IPAddrTxt->currentText().trimmed().isEmpty()) {
        form_.IPAddrTxt->setFocus();
        return;
    }
    if (form_.btn_speed->text() == stopCaption()) {
        session_.pinging = false;
        form_.btn_speed->setText(startCaption());
        view_.sort();
        pool_->clear();
        wakeSweep();
        form_.Timer1->setEnabled(false);
        return;
    }
    view_.setSort(kColDelay, Qt::AscendingOrder);
    view_.sort();
    ++generation_;
    session_.pinging = true;
    startSweep();
    form_.btn_speed->setText(stopCaption());
    form_.Timer1->setEnabled(true);
}

void SpeedTest::stop() {
    session_.pinging = false;
    form_.btn_speed->setText(startCaption());
    pool_->clear();
    wakeSweep();
    form_.Timer1->setEnabled(false);
}

void SpeedTest::wakeSweep() {
    {
        std::lock_guard lock(mu_);  // the sweep must not miss the change between check and wait
    }
    cv_.notify_all();
}

void SpeedTest::Timer1Timer() {
    view_.sort();
    showpoolstatus();
}

void SpeedTest::showpoolstatus() {
    form_.lbl_info->setText(QString::number(pool_->queued()) + QLatin1Char('/') +
                            QString::number(pool_->workers()));
}

// One sweep thread at a time. A start while the previous sweep is still ending is not
// lost: that sweep sees `pinging` again before it ends and carries on with the new test.
void SpeedTest::startSweep() {
    std::lock_guard lock(mu_);
    if (sweepRunning_) return;
    if (sweep_.joinable()) sweep_.join();  // it has left its loop; only its return remains
    sweepRunning_ = true;
    sweep_ = std::thread([this] { pingthreadExecute(); });
}

bool SpeedTest::sweeping() const {
    return session_.pinging && !quit_;
}

void SpeedTest::pingthreadExecute() {
    using namespace std::chrono;
    for (bool first = true;; first = false) {
        std::vector<Target> pass = takePass(first);
        std::size_t next = 0;
        const auto step = milliseconds(kStepMs);
        auto due = steady_clock::now() + step;
        for (;;) {
            {
                std::unique_lock lock(mu_);
                cv_.wait_until(lock, due, [this] { return !sweeping(); });
                if (!sweeping()) break;
            }
            if (next < pass.size()) {
                Task task{pass[next].line, pass[next].ip, generation_.load()};
                ++next;
                pool_->add([this, task = std::move(task)] { tp1ProcessRequest(task); });
            }
            if (next >= pass.size()) {
                pass = takePass(false);
                next = 0;
            }
            // One request per step whatever the probes do. Deadlines are absolute, so that a
            // wake-up a little late does not slow the pace down; one much later is not made up
            // with a burst: never more than 20 requests a second.
            due = std::max(due + step, steady_clock::now() + step - kSlack);
        }
        mailbox_->post([this] { form_.lbl_info->setText(kNoPool); });
        std::lock_guard lock(mu_);
        if (sweeping()) continue;  // started again while this sweep was ending
        sweepRunning_ = false;
        return;
    }
}

// The lines are read on the UI thread, which owns the list; the sweep waits for them.
std::vector<SpeedTest::Target> SpeedTest::takePass(bool first) {
    {
        std::lock_guard lock(mu_);
        passReady_ = false;
    }
    mailbox_->post([this, first] { publishPass(!first); });
    std::unique_lock lock(mu_);
    cv_.wait(lock, [this] { return passReady_ || !sweeping(); });
    if (!passReady_) return {};
    passReady_ = false;
    return std::move(pass_);
}

void SpeedTest::publishPass(bool resort) {
    if (resort) {
        view_.sort();
        showpoolstatus();
    }
    std::vector<Target> pass;
    pass.reserve(view_.lines().size());
    for (const LineNode& line : view_.lines()) pass.push_back({line, line->ip});
    {
        std::lock_guard lock(mu_);
        pass_ = std::move(pass);
        passReady_ = true;
    }
    cv_.notify_all();
}

void SpeedTest::tp1ProcessRequest(const Task& task) {
    if (!session_.pinging) return;  // the test ended while the task waited
    const EchoReply reply = platform_.icmp->echo(task.ip, kPayload, kTtl, kTimeoutMs);
    if (!session_.pinging || reply.status == EchoReply::Failed) return;
    const bool answered = reply.status == EchoReply::Answered;
    const int rtt = reply.rttMs;
    mailbox_->post([this, task, answered, rtt] { takeResult(task, answered, rtt); });
}

void SpeedTest::takeResult(const Task& task, bool answered, int rttMs) {
    if (!session_.pinging || task.generation != generation_) return;
    if (answered)
        view_.model().setDelay(task.line, QString::number(rttMs * 9 / 10));
    else
        view_.model().setDelay(task.line, failuretext(), true);
}

}  // namespace zenrun
