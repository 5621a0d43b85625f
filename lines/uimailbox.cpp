#include "lines/uimailbox.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cstdint>

namespace zenrun {

UiMailbox::UiMailbox(QObject* parent) : QObject(parent) {
    fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    notifier_ = new QSocketNotifier(fd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &UiMailbox::drain);
}

UiMailbox::~UiMailbox() {
    delete notifier_;
    if (fd_ >= 0) ::close(fd_);
}

void UiMailbox::post(std::function<void()> work) {
    std::lock_guard lock(mu_);
    work_.push_back(std::move(work));
    if (signalled_) return;
    signalled_ = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(fd_, &one, sizeof one);
}

void UiMailbox::drain() {
    std::uint64_t count = 0;
    [[maybe_unused]] const auto n = ::read(fd_, &count, sizeof count);
    std::vector<std::function<void()>> work;
    {
        std::lock_guard lock(mu_);
        work.swap(work_);
        signalled_ = false;
    }
    for (auto& w : work) w();
}

}  // namespace zenrun
