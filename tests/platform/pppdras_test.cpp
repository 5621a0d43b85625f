// The pppd dial-up service at its boundaries that need no network: the entries it writes, what
// it refuses to hand to pppd, its preflight, pppd's exit codes, and the clean-up of leftovers.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include "platform/linux/ourprocesses.h"
#include "platform/linux/pppdexit.h"
#include "pppdfixture.h"

namespace zenrun {
namespace {

using testing::kStandinPppd;
using testing::PppdFixture;
using testing::ScopedEnv;

// --- Quoting and reading back

TEST(PppdOptions, QuotedWordsReadBackAsWritten) {
    for (const QString& v :
         {QStringLiteral("alice"), QStringLiteral("vazevezoz05\\alice"),
          QStringLiteral("pa\"ss\\wo\"rd\\"), QStringLiteral("two words"),
          QStringLiteral("#not a comment"), QStringLiteral("it's"), QStringLiteral("密码"),
          QStringLiteral(""), QStringLiteral("line\nbreak\tand\rCR")}) {
        SCOPED_TRACE(v.toStdString());
        const QString text =
            QStringLiteral("user ") + pppd::quote(v) + QStringLiteral(" # after\n");
        EXPECT_EQ(text.count(QLatin1Char('\n')), 1) << "a value must never start a new option line";
        EXPECT_EQ(pppd::words(text), (QStringList{QStringLiteral("user"), v}));
    }
}

TEST(PppdOptions, ServerMustBeAnAddressOrAHostName) {
    struct Case {
        const char* server;
        bool ok;
    };
    for (const Case& c : {Case{"1.2.3.4", true}, Case{"vpn-3.example.net", true}, Case{"a", true},
                          Case{"1.2.3.4; touch /tmp/pwned", false}, Case{"$(reboot)", false},
                          Case{"`id`", false}, Case{"-oProxyCommand=x", false}, Case{"a b", false},
                          Case{"host\nname", false}, Case{"", false}, Case{"256.1.1.1", false},
                          Case{"1.2.3", false}, Case{"a..b", false}, Case{"x\"y", false}}) {
        SCOPED_TRACE(c.server);
        EXPECT_EQ(pppd::checkServer(QString::fromUtf8(c.server)).isEmpty(), c.ok);
    }
}

TEST(PppdOptions, EveryExitStatusOfPppdHasItsCode) {
    const std::map<int, int> expected{
        {0, 628},  {1, 630},  {2, 633},  {3, 633},  {4, 633},  {5, 631},  {6, 633},  {7, 633},
        {8, 800},  {9, 800},  {10, 720}, {11, 930}, {12, 629}, {13, 628}, {14, 628}, {15, 629},
        {16, 800}, {17, 737}, {18, 800}, {19, 691}, {20, 630}, {-1, 630}};
    for (const auto& [status, code] : expected) {
        SCOPED_TRACE(status);
        const pppd::ExitMeaning m = pppd::exitMeaning(status);
        EXPECT_EQ(m.code, code);
        EXPECT_FALSE(m.reason.isEmpty());
    }
    EXPECT_EQ(
        pppd::exitMeaning(4).reason,
        QStringLiteral("this system has no kernel PPP support (/dev/ppp, module ppp_generic)"));
}

// --- The phonebook

struct PppdEntries : PppdFixture {};

TEST_F(PppdEntries, AnEntryIsOnePrivatePeersFileOfOursUntilDeleted) {
    const QString name = QStringLiteral("1211093045");
    EXPECT_EQ(ras->validateName(name), 0);
    ASSERT_EQ(writeEntry(name, QStringLiteral("10.9.8.7"), false, true), 0)
        << ras->statusStr().toStdString();
    EXPECT_EQ(ourFiles(), QStringList{QStringLiteral("zenrun-") + name})
        << "no temporary file stays";
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(ras->peersPath(name)).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the file holds a password";
    EXPECT_NE(ras->validateName(name), 0);
    EXPECT_EQ(ras->phoneNumberOf(name), QStringLiteral("10.9.8.7"));
    EXPECT_EQ(ras->phoneNumberOf(QStringLiteral("999")), QString());

    // Replacing the entry keeps its credentials.
    ras->entry().phoneNumber = QStringLiteral("vpn.example.net");
    ASSERT_EQ(ras->putAllEntryProps(name), 0);
    ras->setEntryName(name);
    ASSERT_EQ(ras->getDialParams(), 0);
    EXPECT_EQ(ras->dialUser(), QStringLiteral("vazevezoz05\\alice"));
    EXPECT_EQ(ras->dialPassword(), QStringLiteral("s3cret"));
    EXPECT_EQ(ras->phoneNumberOf(name), QStringLiteral("vpn.example.net"));

    EXPECT_EQ(ras->deletePhonebook(), 0);
    EXPECT_EQ(ras->entryName(), QString());
    EXPECT_TRUE(ourFiles().isEmpty());
    EXPECT_NE(ras->deletePhonebook(), 0) << "the second delete meets an empty name";
    EXPECT_EQ(ras->validateName(name), 0);
    ras->setEntryName(name);
    EXPECT_EQ(ras->getDialParams(), rascode::kCannotFindPhonebookEntry);
}

TEST_F(PppdEntries, EncryptionAndGatewayBecomePppdOptions) {
    struct Case {
        const char* what;
        bool l2tp, strong;
        QStringList present, absent;
    };
    const QStringList common{"linkname", "nodetach", "noauth", "defaultroute",
                             "replacedefaultroute"};
    const QList<Case> cases{
        {"PPTP strong",
         false,
         true,
         common +
             QStringList{"refuse-pap", "refuse-chap", "refuse-mschap", "require-mppe-128", "pty"},
         {"refuse-mschap-v2", "novj", "nobsdcomp"}},
        {"PPTP optional",
         false,
         false,
         common + QStringList{"pty"},
         {"refuse-pap", "refuse-chap", "refuse-mschap", "refuse-mschap-v2", "require-mppe-128"}},
        {"L2TP (strong box ticked)",
         true,
         true,
         common,
         {"pty", "require-mppe-128", "refuse-pap", "refuse-mschap-v2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(writeEntry(QStringLiteral("42"), QStringLiteral("10.9.8.7"), c.l2tp, c.strong),
                  0);
        QFile f(ras->peersPath(QStringLiteral("42")));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QStringList words = pppd::words(QString::fromUtf8(f.readAll()));
        for (const QString& w : c.present) EXPECT_TRUE(words.contains(w)) << w.toStdString();
        for (const QString& w : c.absent) EXPECT_FALSE(words.contains(w)) << w.toStdString();
        EXPECT_EQ(words.value(words.indexOf(QStringLiteral("linkname")) + 1),
                  QStringLiteral("zenrun-42"));
        if (!c.l2tp) {
            EXPECT_EQ(words.value(words.indexOf(QStringLiteral("pty")) + 1),
                      QStringLiteral("/bin/true 10.9.8.7 --nolaunchpppd"));
        }
        EXPECT_EQ(words.value(words.indexOf(QStringLiteral("user")) + 1),
                  QStringLiteral("vazevezoz05\\alice"));
    }
}

// Values from the back-end that must never become options or commands.
TEST_F(PppdEntries, HostileValuesAreRefusedOrEscapedAndNothingRuns) {
    const QString pwned = dir.path() + QStringLiteral("/pwned");
    struct Case {
        const char* what;
        QString name, server, user, password;
        int putEntry, putDial;  // expected results
    };
    const QList<Case> cases{
        {"shell in the server", "100", "1.2.3.4; touch " + pwned, "alice", "pw",
         rascode::kCannotLoadString, -1},
        {"command substitution", "101", "$(touch " + pwned + ")", "alice", "pw",
         rascode::kCannotLoadString, -1},
        {"option after a newline in the user", "102", "1.2.3.4", "alice\nplugin /tmp/evil.so", "pw",
         0, rascode::kCannotLoadString},
        {"NUL in the password", "103", "1.2.3.4", "alice", QStringLiteral("pw") + QChar(0) + "x", 0,
         rascode::kCannotLoadString},
        {"CR in the password", "104", "1.2.3.4", "alice", "pw\rrequire-pap", 0,
         rascode::kCannotLoadString},
        {"path in the entry name", "../../x", "1.2.3.4", "alice", "pw", rascode::kInvalidName, -1},
        {"shell in the entry name", "1;id", "1.2.3.4", "alice", "pw", rascode::kInvalidName, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ras->pppDefault();
        ras->entry().phoneNumber = c.server;
        EXPECT_EQ(ras->putAllEntryProps(c.name), c.putEntry);
        if (c.putEntry != 0) {
            EXPECT_FALSE(ras->statusStr().isEmpty());
            EXPECT_TRUE(ourFiles().isEmpty()) << "nothing is written";
            continue;
        }
        QFile f(ras->peersPath(c.name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        ras->setDialCredentials(c.user, c.password);
        EXPECT_EQ(ras->putDialProps(c.name), c.putDial);
        EXPECT_TRUE(ras->statusStr().contains(QStringLiteral("control character")))
            << ras->statusStr().toStdString();
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), before) << "the entry keeps no part of a refused value";
        QFile::remove(ras->peersPath(c.name));
    }

    // Quotes and backslashes are a password's own business: escaped, and read back whole.
    const QString password = QStringLiteral("a\"b\\c\" require-pap \\\"");
    ASSERT_EQ(writeEntry(QStringLiteral("105"), QStringLiteral("1.2.3.4"), false, true,
                         QStringLiteral("bob"), password),
              0);
    ras->setEntryName(QStringLiteral("105"));
    ASSERT_EQ(ras->getDialParams(), 0);
    EXPECT_EQ(ras->dialPassword(), password);
    QFile f(ras->peersPath(QStringLiteral("105")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(
        pppd::words(QString::fromUtf8(f.readAll())).contains(QStringLiteral("require-pap")));

    // An entry edited behind our back: checked again before anything starts.
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray text = f.readAll();
    text.replace("#@ server \"1.2.3.4\"", ("#@ server \"1.2.3.4;touch " + pwned + "\"").toUtf8());
    f.resize(0);
    f.write(text);
    f.close();
    int handle = 0;
    EXPECT_EQ(ras->connectEx(handle), rascode::kCannotLoadString);
    EXPECT_EQ(handle, 0);
    clock.waitms(300);
    EXPECT_FALSE(QFileInfo::exists(record())) << "pppd was started";
    EXPECT_FALSE(QFileInfo::exists(pwned));
}

// --- Preflight

struct PppdPreflight : PppdFixture {};

TEST_F(PppdPreflight, ThisMachineHasNoKernelPppAndTheDialSaysSoAtOnce) {
    if (QFileInfo::exists(QStringLiteral("/dev/ppp"))) GTEST_SKIP() << "this machine has /dev/ppp";
    PppdRasPaths paths = standinPaths();
    paths.devPpp = QStringLiteral("/dev/ppp");
    makeRas(paths);
    ASSERT_EQ(writeEntry(QStringLiteral("7"), QStringLiteral("127.0.0.1"), false, true), 0);
    ras->setEntryName(QStringLiteral("7"));
    ASSERT_EQ(ras->getDialParams(), 0);
    int handle = 0;
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(ras->connectEx(handle), rascode::kPortNotAvailable);
    EXPECT_LT(t.elapsed(), 1000);
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(
        ras->statusStr(),
        QStringLiteral("this system has no kernel PPP support (/dev/ppp, module ppp_generic)"));
    EXPECT_FALSE(QFileInfo::exists(record())) << "pppd was started";
    EXPECT_EQ(ras->getConnection().handle, 0);
}

TEST_F(PppdPreflight, NamesTheFirstMissingPieceInTheOrderAUserFixesThem) {
    struct Case {
        const char* what;
        bool l2tp;
        std::function<void(PppdRasPaths&)> spoil;
        QString says;
    };
    const QString none = dir.path() + QStringLiteral("/missing");
    const QList<Case> cases{
        {"no kernel support before a missing pppd", false,
         [&](PppdRasPaths& p) {
             p.devPpp = none;
             p.pppd = none;
         },
         "this system has no kernel PPP support (" + none + ", module ppp_generic)"},
        {"pppd", false,
         [&](PppdRasPaths& p) {
             p.pppd = none;
             p.pptp = none;
         },
         "pppd is not installed (" + none + ", package ppp)"},
        {"pptp", false, [&](PppdRasPaths& p) { p.pptp = none; },
         "pptp is not installed (" + none + ", package pptp-linux)"},
        {"xl2tpd", true,
         [&](PppdRasPaths& p) { p.xl2tpd = QStringLiteral("zenrun-no-such-xl2tpd"); },
         "xl2tpd is not installed (zenrun-no-such-xl2tpd, package xl2tpd)"},
        {"pptp is not needed for L2TP", true, [&](PppdRasPaths& p) { p.pptp = none; }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PppdRasPaths paths = standinPaths();
        c.spoil(paths);
        makeRas(paths);
        EXPECT_EQ(ras->preflight(c.l2tp), c.says);
    }
}

// --- pppd's exit status through the process boundary

TEST_F(PppdFixture, EachExitStatusOfPppdEndsTheDialWithItsCode) {
    ASSERT_EQ(writeEntry(QStringLiteral("77"), QStringLiteral("127.0.0.1"), false, false), 0);
    for (int status = 1; status <= 19; ++status) {
        SCOPED_TRACE(status);
        if (status == 5) continue;  // a signal: covered by hang-up
        ScopedEnv exitWith("STANDIN_EXIT", QString::number(status));
        const int handle = dial(QStringLiteral("77"));
        ASSERT_NE(handle, 0);
        const int code = pppd::exitMeaning(status).code;
        ASSERT_TRUE(waitForState(static_cast<std::uint16_t>(code)))
            << "state " << ras->connectState();
        EXPECT_EQ(ras->statusStr(), pppd::exitMeaning(status).reason);
        ras->currentStatusEx(handle);
        EXPECT_EQ(ras->connectState(), kRasQueryFailed) << "a failed dial names a dead connection";
        EXPECT_EQ(ras->getConnection().handle, 0);
    }
    // What pppd was given: the options file of the entry, without a shell in between.
    EXPECT_EQ(recorded(record(), QStringLiteral("argv")),
              (QStringList{kStandinPppd, QStringLiteral("file"),
                           ras->peersPath(QStringLiteral("77")), QStringLiteral("linkname"),
                           QStringLiteral("zenrun-77"), QStringLiteral("nodetach")}));
    EXPECT_TRUE(
        recorded(record(), QStringLiteral("opt")).contains(QStringLiteral("vazevezoz05\\alice")));
}

// --- The real pppd as the judge of our options

TEST_F(PppdFixture, InstalledPppdAcceptsEveryKindOfEntryWeWrite) {
    const QString real = QStringLiteral("/usr/sbin/pppd");
    if (!QFileInfo(real).isExecutable()) GTEST_SKIP() << "pppd is not installed";
    if (geteuid() != 0) GTEST_SKIP() << "pppd takes linkname and noauth from root only";
    if (QFileInfo::exists(QStringLiteral("/dev/ppp")))
        GTEST_SKIP() << "this machine has kernel PPP: pppd would go on to dial";
    struct Kind {
        const char* what;
        bool l2tp, strong;
    };
    for (const Kind& k : {Kind{"PPTP strong", false, true}, Kind{"PPTP optional", false, false},
                          Kind{"L2TP", true, false}}) {
        SCOPED_TRACE(k.what);
        ASSERT_EQ(
            writeEntry(QStringLiteral("5"), QStringLiteral("127.0.0.1"), k.l2tp, k.strong,
                       QStringLiteral("vazevezoz05\\alice"), QStringLiteral("q\"uo#te\\ 密码")),
            0);
        // Started as we start it for PPTP, and as xl2tpd starts it (on a pseudo-terminal) for L2TP.
        QStringList args{QStringLiteral("file"), ras->peersPath(QStringLiteral("5")),
                         QStringLiteral("linkname"), QStringLiteral("zenrun-5"),
                         QStringLiteral("nodetach")};
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(master, 0);
        ASSERT_EQ(::grantpt(master) | ::unlockpt(master), 0);
        if (k.l2tp)
            args = QStringList{QStringLiteral("passive"),
                               QStringLiteral("nodetach"),
                               QStringLiteral(":"),
                               QStringLiteral("file"),
                               ras->peersPath(QStringLiteral("5")),
                               QStringLiteral("ipparam"),
                               QStringLiteral("127.0.0.1"),
                               QString::fromLocal8Bit(::ptsname(master))};
        QProcess pppd;
        pppd.setProcessChannelMode(QProcess::MergedChannels);
        pppd.start(real, args);
        ASSERT_TRUE(pppd.waitForFinished(20000));
        EXPECT_EQ(pppd.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(pppd.exitCode(), 4)
            << "2 means an option was refused: " << pppd.readAll().toStdString();
        ::close(master);
    }
}

// --- Leftovers of a killed process

TEST_F(PppdFixture, PeersFilesAndPppdOfAKilledRunAreGoneAfterTheNextStart) {
    // A run killed in the middle of a dial leaves its entry (with the password) and its pppd.
    ScopedEnv noLink("STANDIN_NOLINK", QStringLiteral("1"));
    QProcess killed;
    killed.start(QStringLiteral(KILLED_HELPER), {peersDir(), pidDir(), runDir(), kStandinPppd});
    ASSERT_TRUE(killed.waitForReadyRead(10000)) << killed.readAllStandardError().toStdString();
    ASSERT_TRUE(killed.readAllStandardOutput().startsWith("dialled"));
    const QString pidFile = pidDir() + QStringLiteral("/ppp-zenrun-123.pid");
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(pidFile); }));
    const pid_t pppd = procs::readPidFile(pidFile);
    killed.kill();
    killed.waitForFinished();
    ASSERT_TRUE(procs::alive(pppd)) << "the killed run took its pppd with it";

    // Beside them: a half-written entry of ours, another program's peers, and a pppd of another
    // phonebook that merely looks like ours.
    const QString entry = peersDir() + QStringLiteral("/zenrun-123");
    for (const QString& path : {peersDir() + QStringLiteral("/.zenrun-124.Ab12Cd"),
                                peersDir() + QStringLiteral("/provider")})
        ASSERT_TRUE(QFile::copy(entry, path));
    const QString elsewhere = dir.path() + QStringLiteral("/elsewhere");
    QDir().mkpath(elsewhere);
    QFile::copy(entry, elsewhere + QStringLiteral("/zenrun-123"));
    QProcess foreign;
    QProcessEnvironment foreignEnv = QProcessEnvironment::systemEnvironment();
    foreignEnv.insert(QStringLiteral("STANDIN_PIDDIR"), elsewhere);
    foreign.setProcessEnvironment(foreignEnv);
    foreign.start(kStandinPppd, {QStringLiteral("file"), elsewhere + QStringLiteral("/zenrun-123"),
                                 QStringLiteral("nodetach")});
    ASSERT_TRUE(foreign.waitForStarted());

    makeRas(standinPaths());  // the next start
    ras->cleanupLeftovers();
    EXPECT_TRUE(waitFor([&] { return !procs::alive(pppd); }, 3000)) << "our pppd was not hung up";
    EXPECT_FALSE(QFileInfo::exists(pidFile));
    EXPECT_EQ(ourFiles(), QStringList{QStringLiteral("provider")});
    EXPECT_EQ(foreign.state(), QProcess::Running) << "a pppd of another phonebook was hung up";
    foreign.terminate();
    foreign.waitForFinished(3000);

    // A normal end leaves nothing either.
    ASSERT_EQ(writeEntry(QStringLiteral("125"), QStringLiteral("127.0.0.1"), false, true), 0);
    ras.reset();
    EXPECT_EQ(ourFiles(), QStringList{QStringLiteral("provider")});
}

}  // namespace
}  // namespace zenrun
