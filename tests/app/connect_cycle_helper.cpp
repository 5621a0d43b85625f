// The assembled client in real mode for the kill -9 trials of scripts/killtest: the real
// routing table (netlink), the route journal, the registry store, HTTP and the pppd dial-up
// service with its /etc/ppp/peers phonebook. It is run inside the trials' network namespace
// (with zenrun-backend answering on the client's built-in hosts) and a private mount namespace
// whose /etc/ppp/peers is a copy. Only what cannot work there or would reach the host is
// replaced: pppd and xl2tpd are the stand-ins (their pid files and our xl2tpd's folder under
// the state folder, the PPP device check met by /dev/null), message boxes and the login window
// are answered instead of shown, hot keys and DNS are kept in memory.
//
//   connect_cycle_helper hosts            prints the hosts the back-end must answer on
//   connect_cycle_helper STATEDIR once    starts, runs one round of the steps below, exits
//   connect_cycle_helper STATEDIR cycle   starts, then runs the steps without end
//   connect_cycle_helper STATEDIR start   starts, then exits through the client's own exit
//
// Starting is what a new process of the client does: the real platform clears what a killed
// run left (pppd, xl2tpd, peers files), the routes clear the journal's routes; the login
// window signs in as demo/demo123 and the main window restores the last line. Exiting is the
// tray's exit item, whose close path disconnects, saves the last line and ends the process.
//
// A step connects one line of the first area (each in turn) by the Connect button, waits for
// the link to come up, keeps it up a moment and disconnects by the Disconnect button. The
// protocol changes every step (PPTP on even steps, L2TP on odd ones) and the route mode (the
// first two of the back-end's list) every second step, so the first steps already have both
// of each and a round of twelve has every combination. Markers on standard output,
// one line each and flushed, say where the client is:
//   @ started            the main window is up and has restored the last line
//   @ connect N          step N presses Connect (IP check, routes, entry, pppd)
//   @ dialled N          Connect returned; the link is being set up
//   @ up N               the link is up
//   @ disconnect N       step N presses Disconnect (routes, hang-up, entry)
//   @ down N             Disconnect returned
// Exit status: 0 after a clean exit; 3 when the platform cannot work here; 4 when the login
// or the first show fails; 5 when a link does not come up or does not go; 6 when the exit
// item does not end the process.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>
#include <cstring>
#include <functional>

#include "app/clientapp.h"
#include "backend/endpoints.h"
#include "backend/loginform.h"
#include "core/session.h"
#include "platform/clock.h"
#include "platform/iphelper.h"
#include "platform/platform.h"
#include "platform/ras.h"
#include "platform/sim/simadapterdns.h"
#include "platform/sim/simdialogs.h"
#include "platform/sim/simhotkeys.h"
#include "ui/mainwindow.h"

namespace {

using zenrun::Clock;

void marker(const char* what, int step = -1) {
    if (step < 0)
        std::printf("@ %s\n", what);
    else
        std::printf("@ %s %d\n", what, step);
    std::fflush(stdout);
}

void fail(const QString& why) {
    std::fprintf(stderr, "connect_cycle_helper: %s\n", why.toLocal8Bit().constData());
    std::fflush(stderr);
}

bool waitFor(Clock& clock, const std::function<bool()>& done, int ms) {
    for (int waited = 0; waited < ms && !done(); waited += 20) clock.waitms(20);
    return done();
}

// The environment of the real platform and of the stand-ins it starts.
void pointDialUpAt(const QString& state) {
    const QString pids = state + QStringLiteral("/pids");
    QDir().mkpath(pids);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(state + QStringLiteral("/config")));
    qputenv("ZENRUN_PPPD", STANDIN_PPPD);
    qputenv("ZENRUN_PPTP", "/bin/true");
    qputenv("ZENRUN_XL2TPD", STANDIN_XL2TPD);
    qputenv("ZENRUN_PPP_PIDDIR", QFile::encodeName(pids));
    qputenv("ZENRUN_PPP_RUNDIR", QFile::encodeName(state + QStringLiteral("/run")));
    qputenv("ZENRUN_DEV_PPP", "/dev/null");
    qputenv("STANDIN_PIDDIR", QFile::encodeName(pids));
    qputenv("STANDIN_XL2TPD_PPPD", STANDIN_PPPD);
}

class Driver {
public:
    Driver(zenrun::Session& session, zenrun::Platform& platform, zenrun::ClientApp& app)
        : s_(session), clock_(*platform.clock), f_(app.mainForm()) {}

    // One connect and disconnect; false (with the reason on standard error) when the link
    // does not come up or does not go.
    bool step(int n) {
        f_.IPAddrTxt->setCurrentIndex(n % f_.IPAddrTxt->count());
        (n % 2 ? f_.rb_lp2p : f_.rb_pptp)->click();
        const int mode = n / 2 % 2;
        if (f_.routetype->count() > mode && f_.routetype->currentIndex() != mode) {
            f_.routetype->setCurrentIndex(mode);
            emit f_.routetype->activated(mode);  // as the user's choice
        }

        marker("connect", n);
        f_.btn_conn->click();
        marker("dialled", n);
        if (!waitFor(clock_, [this] { return s_.connected; }, 20000)) {
            const QString protocol =
                f_.rb_lp2p->isChecked() ? QStringLiteral("L2TP") : QStringLiteral("PPTP");
            fail(QStringLiteral("step %1 (%2, %3): the link did not come up: %4")
                     .arg(n)
                     .arg(f_.IPAddrTxt->currentText(), protocol, f_.statuslabel->text()));
            return false;
        }
        marker("up", n);
        clock_.waitms(200);  // the link-up work of the timers (link watcher, traffic)

        marker("disconnect", n);
        f_.btn_disconn->click();
        marker("down", n);
        if (s_.connected || s_.connhandle != 0) {
            fail(QStringLiteral("step %1: still connected after Disconnect").arg(n));
            return false;
        }
        return true;
    }

    // The tray's exit item; the close path ends the process.
    [[noreturn]] void exit() {
        f_.N7->trigger();
        fail(QStringLiteral("the exit item did not end the process"));
        std::_Exit(6);
    }

private:
    zenrun::Session& s_;
    Clock& clock_;
    zenrun::Tfrmmain& f_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "hosts") == 0) {
        const zenrun::Hosts hosts = zenrun::Hosts::defaults();
        std::printf("%s %s\n", qPrintable(hosts.primary), qPrintable(hosts.secondary));
        return 0;
    }
    if (argc != 3) return 2;
    const QString state = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QByteArray mode = argv[2];
    if (mode != "once" && mode != "cycle" && mode != "start") return 2;

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    pointDialUpAt(state);

    zenrun::PlatformOptions options;
    options.mode = zenrun::PlatformMode::Real;
    options.stateDir = state;
    const auto platform = zenrun::makePlatform(options);
    if (!platform->ipHelper->routeTable()) {
        fail(QStringLiteral("no routing table (netlink)"));
        return 3;
    }
    auto* dialogs = new zenrun::SimDialogs;
    platform->dialogs.reset(dialogs);
    platform->hotkeys = std::make_unique<zenrun::SimHotKeys>();
    platform->dns = std::make_unique<zenrun::SimAdapterDns>();
    // The login window as a user fills it in and presses the login button.
    dialogs->queueModal([](QDialog& d) {
        auto& login = static_cast<zenrun::Tfrmlogin&>(d);
        login.edt_user->setText(QStringLiteral("demo"));
        login.edt_pass->setText(QStringLiteral("demo123"));
        login.btn_login->click();
        return login.result();
    });

    zenrun::Session session;
    session.apppath = state + QLatin1Char('/');
    zenrun::ClientApp app(session, *platform, zenrun::ClientApp::Options{false});
    if (!app.start()) {
        fail(QStringLiteral("the login did not complete"));
        return 4;
    }
    if (!waitFor(*platform->clock, [&] { return session.firstshow == QLatin1String("1"); },
                 10000) ||
        app.mainForm().IPAddrTxt->count() == 0) {
        fail(QStringLiteral("the main window did not restore a line"));
        return 4;
    }
    marker("started");

    Driver driver(session, *platform, app);
    if (mode == "start") driver.exit();
    for (int n = 0; mode == "cycle" || n < 12; ++n)
        if (!driver.step(n)) return 5;
    for (const auto& box : dialogs->boxes)
        std::fprintf(stderr, "message box: %s\n", box.text.toLocal8Bit().constData());
    driver.exit();
}
