#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "backend/endpoints.h"

namespace zenrun::testing {

// A zenrun-backend of its own for one test: started on a free loopback port with a fresh
// database in a temporary folder, stopped (and the folder removed) on destruction.
//
//     BackendFixture backend;                 // the shipped demo data
//     ASSERT_TRUE(backend.started()) << backend.error();
//     Session s; s.serverhost = backend.host();
//     zenrun::probehosts(s, http, backend.hosts());
//     backend.setFault("/vpnadmin/useradmin/netcheckkiv11.php", "stall:5000");
//
// The demo data holds the account "demo" / "demo123" (limit of two computers) and twelve
// lines; BackendFixture::demoData() gives it as JSON to change before a start.
class BackendFixture {
  public:
    struct Options {
        QJsonObject data;    // the data file; empty: the shipped demo data
        QStringList faults;  // "PATH=SPEC", set at start
    };

    BackendFixture();
    explicit BackendFixture(const Options& options);
    ~BackendFixture();
    BackendFixture(const BackendFixture&) = delete;
    BackendFixture& operator=(const BackendFixture&) = delete;

    bool started() const { return !host_.isEmpty(); }
    QString error() const { return error_; }
    // "127.0.0.1:PORT".
    QString host() const { return host_; }
    // "http://127.0.0.1:PORT" + path.
    QString url(const QString& path) const;
    // Every host of the client pointed at this server.
    Hosts hosts() const;

    // Fault switches at run time, by exact path. SPEC: "stall:MS", "empty", "bytes:TEXT",
    // "hex:HEX", "close", "status:CODE", "flood:BYTES", "trickle:MS", "garbage:LINES", "loop";
    // "none" removes the path's switch.
    bool setFault(const QString& path, const QString& spec);
    bool clearFaults();
    // Issued dial accounts: "user\tline address\tdial user\tdial password" lines.
    QStringList grants();

    // Stops the server now (also done by the destructor).
    void stop();

    static QJsonObject demoData();
    QString dbFile() const;

  private:
    QByteArray control(const QString& pathAndQuery);

    QTemporaryDir dir_;
    std::unique_ptr<QProcess> process_;
    QString host_;
    QString error_;
};

}  // namespace zenrun::testing
