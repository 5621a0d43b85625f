#pragma once

#include <QStringList>

#include "platform/shell.h"

namespace zenrun {

// Records what the client asked of the desktop; touches nothing.
class SimShell : public Shell {
public:
    bool openUrl(const QString& url) override {
        opened.append(url);
        return true;
    }
    bool deleteFile(const QString& path) override {
        deleted.append(path);
        return true;
    }
    QString desktopUserHome() const override { return home; }

    QStringList opened;
    QStringList deleted;
    QString home = QStringLiteral("/nonexistent-home");
};

}  // namespace zenrun
