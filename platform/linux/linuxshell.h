#pragma once

#include <utility>

#include "platform/shell.h"

namespace zenrun {

class LinuxShell : public Shell {
public:
    LinuxShell() = default;
    // A fixed home for the browser clean-up (the demo's own folder, so it never touches the
    // real browsers of the user).
    explicit LinuxShell(QString home) : home_(std::move(home)) {}
    bool openUrl(const QString& url) override;
    bool deleteFile(const QString& path) override;
    QString desktopUserHome() const override;

private:
    QString home_;
};

}  // namespace zenrun
