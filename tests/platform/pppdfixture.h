#pragma once

// A dial-up service whose phonebook, pid files and run folder are a test's own temporary
// folders, and whose pppd and xl2tpd are the stand-ins the project builds.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "platform/linux/pppdoptions.h"
#include "platform/linux/pppdras.h"
#include "platform/linux/qtclock.h"

namespace zenrun::testing {

inline const QString kStandinPppd = QStringLiteral(STANDIN_PPPD);
inline const QString kStandinXl2tpd = QStringLiteral(STANDIN_XL2TPD);

// Sets an environment variable for the programs the test starts; restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value) : name_(name) {
        had_ = qEnvironmentVariableIsSet(name);
        old_ = qgetenv(name);
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnv() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    QByteArray old_;
    bool had_ = false;
};

struct PppdFixture : ::testing::Test {
    QTemporaryDir dir;
    QtClock clock;
    std::unique_ptr<PppdRas> ras;
    std::vector<std::unique_ptr<ScopedEnv>> env;

    QString peersDir() const { return dir.path() + QStringLiteral("/peers"); }
    QString runDir() const { return dir.path() + QStringLiteral("/run"); }
    QString pidDir() const { return dir.path() + QStringLiteral("/pids"); }
    QString record() const { return dir.path() + QStringLiteral("/pppd.record"); }
    QString xl2tpdRecord() const { return dir.path() + QStringLiteral("/xl2tpd.record"); }

    // Everything present, the kernel check passed by a device that opens.
    PppdRasPaths standinPaths() const {
        PppdRasPaths p;
        p.pppd = kStandinPppd;
        p.pptp = QStringLiteral("/bin/true");
        p.xl2tpd = kStandinXl2tpd;
        p.peersDir = peersDir();
        p.runDir = runDir();
        p.pidDir = pidDir();
        p.devPpp = QStringLiteral("/dev/null");
        return p;
    }
    void makeRas(const PppdRasPaths& paths) {
        ras.reset();
        ras = std::make_unique<PppdRas>(clock, paths);
    }
    void setEnv(const char* name, const QString& value) {
        env.push_back(std::make_unique<ScopedEnv>(name, value));
    }

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(peersDir());
        QDir().mkpath(pidDir());
        setEnv("STANDIN_PIDDIR", pidDir());
        setEnv("STANDIN_RECORD", record());
        setEnv("STANDIN_XL2TPD_RECORD", xl2tpdRecord());
        setEnv("STANDIN_XL2TPD_PPPD", kStandinPppd);
        makeRas(standinPaths());
    }
    void TearDown() override { ras.reset(); }

    // The entry as connect writes it (PPTP strong, PPTP optional or L2TP), with credentials.
    int writeEntry(const QString& name, const QString& server, bool l2tp, bool strong,
                   const QString& user = QStringLiteral("vazevezoz05\\alice"),
                   const QString& password = QStringLiteral("s3cret")) {
        ras->pppDefault();
        RasEntry& e = ras->entry();
        e.vpn = true;
        e.deviceType = QStringLiteral("vpn");
        e.deviceName =
            l2tp ? QStringLiteral("WAN Miniport (L2TP)") : QStringLiteral("WAN Miniport (PPTP)");
        e.strategy = l2tp ? VpnStrategy::L2tpOnly : VpnStrategy::PptpFirst;
        e.phoneNumber = server;
        for (auto o : {kSwCompression, kCustom, kPreviewPhoneNumber, kPreviewUserPw,
                       kRequireDataEncryption, kRequireEncryptedPw, kRequireMsChap2})
            e.set(o);
        e.set(kPromoteAlternates, false);
        const bool max = strong && !l2tp;
        if (!max) {
            e.set(kRequirePap);
            e.set(kRequireChap);
            e.set(kRequireMsChap);
        }
        e.encryption = max ? EntryEncryption::RequireMax : EntryEncryption::Optional;
        if (const int rc = ras->putAllEntryProps(name)) return rc;
        ras->setDialCredentials(user, password);
        return ras->putDialProps(name);
    }
    // Dials `name` as connect does; the handle, or 0 with the failure recorded.
    int dial(const QString& name) {
        ras->setEntryName(name);
        EXPECT_EQ(ras->getDialParams(), 0) << ras->statusStr().toStdString();
        int handle = 0;
        const int rc = ras->connectEx(handle);
        EXPECT_EQ(rc, 0) << ras->statusStr().toStdString();
        return handle;
    }
    bool waitFor(const std::function<bool()>& done, int ms = 10000) {
        for (int waited = 0; waited < ms; waited += 20) {
            if (done()) return true;
            clock.waitms(20);
        }
        return done();
    }
    bool waitForState(std::uint16_t state, int ms = 10000) {
        return waitFor([&] { return ras->connectState() == state; }, ms);
    }
    QStringList recorded(const QString& path, const QString& kind) const {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return {};
        QStringList out;
        for (const QString& line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n')))
            if (line.startsWith(kind + QLatin1Char('\t'))) out << line.mid(kind.size() + 1);
        return out;
    }
    QStringList ourFiles() const { return QDir(peersDir()).entryList(QDir::Files | QDir::Hidden); }
};

}  // namespace zenrun::testing
