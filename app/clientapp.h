#pragma once

#include <memory>

#include "app/mainshell.h"
#include "session/linkactions.h"

namespace zenrun {

struct Platform;
struct Session;
class Tfrmmain;
class Tfrmlogin;
class LineList;
class LineView;
class Routes;
class Login;
class TForm6;
class VersionReminder;
class Dns;
class TForm7;
class Settings;
class Connect;
class Disconnect;
class DialMonitor;
class L2tpPreparation;
class ServiceRepair;
class TrafficDisplay;
class StatusReport;
class LineRotation;
class SpeedTest;
class SingleTest;
class TForm1;
class LinkWatcher;

// Assembles the client: creates the windows in their order, the logic behind them, and
// connects the two. The one place that knows every subsystem.
class ClientApp {
public:
    struct Options {
        bool fetchPages = true;  // banner and news panes load their pages
    };

    ClientApp(Session& session, Platform& platform, Options options);
    ~ClientApp();

    // Creates the main window (which runs the login) and the other windows, then shows the
    // main window. False when the login did not complete; the process is then ending.
    bool start();

    Tfrmmain& mainForm() { return *main_; }
    MainShell& shell() { return *shell_; }
    // Tests replace seams (the process exit, above all) before start().
    MainShell::Seams& seams() { return seams_; }
    LineList& lineList() { return *lineList_; }
    LineView& lineView() { return *lineView_; }
    // The connection's logic, for line rotation, status reports and tests.
    Connect& connector() { return *connect_; }
    Disconnect& disconnector() { return *disconnect_; }
    DialMonitor& dialMonitor() { return *dialMonitor_; }
    L2tpPreparation& l2tp() { return *l2tp_; }
    ServiceRepair& repair() { return *repair_; }
    // The connect and disconnect operations the session supervision calls (tests may put
    // their own in place).
    LinkActions& linkActions() { return linkActions_; }

    SpeedTest& speedTest() { return *speedTest_; }
    SingleTest& singleTest() { return *singleTest_; }
    TForm1& speedForm() { return *speedForm_; }
    LinkWatcher& linkWatcher() { return *linkWatcher_; }

private:
    void fillSeams();
    void createLines();
    void makeRoutes();

    Session& session_;
    Platform& platform_;
    Options options_;
    MainShell::Seams seams_;
    std::unique_ptr<Tfrmmain> main_;
    std::unique_ptr<MainShell> shell_;
    std::unique_ptr<Tfrmlogin> loginInstance_;  // created at start, never shown
    LineView* lineView_ = nullptr;              // owned by the main window
    std::unique_ptr<LineList> lineList_;
    std::unique_ptr<Routes> routes_;  // owns routerlist

    // Login, languages and the update notice
    void wireLogin();
    void createLoginInstances();
    std::unique_ptr<Login> loginInstanceLogic_;  // re-reads the options, re-applies the language
    std::unique_ptr<TForm6> noticeInstance_;     // created at start, never shown
    std::unique_ptr<VersionReminder> reminder_;

    // Settings and DNS
    void makeDns();
    void createSettingsInstance();
    void showSettings();
    std::unique_ptr<Dns> dns_;                         // reads routerlist, so after routes_
    std::unique_ptr<TForm7> settingsInstance_;         // created at start, never shown
    std::unique_ptr<Settings> settingsInstanceLogic_;  // applies the stored options

    // Connect, dial monitor, disconnect, L2TP preparation, service repair
    void createVpn();
    std::unique_ptr<ServiceRepair> repair_;
    std::unique_ptr<Disconnect> disconnect_;
    std::unique_ptr<L2tpPreparation> l2tp_;
    std::unique_ptr<Connect> connect_;
    std::unique_ptr<DialMonitor> dialMonitor_;

    // Session supervision: traffic display, status reports, line rotation
    void createSupervision();
    LinkActions linkActions_;
    std::unique_ptr<TrafficDisplay> traffic_;
    std::unique_ptr<StatusReport> report_;
    std::unique_ptr<LineRotation> rotation_;

    // Latency: batch and single-line speed tests, the post-connect watcher
    void createLatency();
    std::unique_ptr<SpeedTest> speedTest_;
    std::unique_ptr<TForm1> speedForm_;  // created hidden at start, shown by each single test
    std::unique_ptr<SingleTest> singleTest_;
    std::unique_ptr<LinkWatcher> linkWatcher_;
};

}  // namespace zenrun
