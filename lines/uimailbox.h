#pragma once

#include <QObject>
#include <functional>
#include <mutex>
#include <vector>

class QSocketNotifier;

namespace zenrun {

// Hands work from any thread to the UI thread. The work travels under a mutex of ours and
// only a wake-up crosses through the event loop (an eventfd), so every hand-over is ordered
// for the race detector as well as in fact.
class UiMailbox : public QObject {
    Q_OBJECT
public:
    // Created on the UI thread; the posted work runs there, in the order posted.
    explicit UiMailbox(QObject* parent = nullptr);
    // Work still waiting is dropped.
    ~UiMailbox() override;

    void post(std::function<void()> work);  // any thread

private:
    void drain();

    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    std::mutex mu_;
    std::vector<std::function<void()>> work_;
    bool signalled_ = false;
};

}  // namespace zenrun
