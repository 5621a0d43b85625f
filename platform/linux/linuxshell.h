#pragma once

#include "platform/shell.h"

namespace zenrun {

class LinuxShell : public Shell {
public:
    bool openUrl(const QString& url) override;
    bool deleteFile(const QString& path) override;
    QString desktopUserHome() const override;
};

}  // namespace zenrun
