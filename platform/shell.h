#pragma once

#include <QString>

namespace zenrun {

// The desktop around the client: the default browser and the user's files.
class Shell {
public:
    virtual ~Shell() = default;
    virtual bool openUrl(const QString& url) = 0;
    // Deletes one file; a missing file is not an error (returns true).
    virtual bool deleteFile(const QString& path) = 0;
    // Home folder of the desktop user who started the client, also when it runs elevated.
    virtual QString desktopUserHome() const = 0;
};

}  // namespace zenrun
