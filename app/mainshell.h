#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace zenrun {

struct Platform;
struct Session;
class Tfrmmain;

// The main window's life: creation with the modal login, the first show, the close
// confirmation and the ordered teardown, the change-line hot key, the tray and the menus
// that only open pages or the about box. Work that belongs to other subsystems is reached
// through the seams below, which those subsystems fill when the client is assembled.
class MainShell {
public:
    struct Seams {
        std::function<void()> showLogin;         // runs the login window modally
        std::function<void()> createDialComponents;
        std::function<void()> freeDialComponents;
        std::function<void()> restoreLastLine;   // throws when the saved line cannot be restored
        std::function<void()> selectFirstArea;   // fallback: first area and its change handler
        std::function<void()> applyRouteMode;    // routetypeChange
        std::function<void()> captureLocalDns;
        std::function<void()> stopSpeedTest;
        std::function<void()> removeRoutes;
        std::function<void()> hangUp;            // hang up and clean the dial-up state
        std::function<void()> disconnect;        // the disconnect button's work
        std::function<void()> connect;           // the connect button's work
        std::function<void()> refreshLines;      // N14
        std::function<void()> forceL2tp;         // L2TPQ1
        std::function<void()> showRegistration;  // TForm2
        std::function<void()> showPassword;      // TForm4
        std::function<void()> showSettings;      // TForm7
        std::function<void()> oneChangeLine;     // one-click line change
        // Ends the process; replaced in tests.
        std::function<void(int code)> exitProcess;
    };

    // Hosts of the pages behind menu items (build-time constants).
    struct PageHosts {
        QString accountSite;  // "/vpnadmin/useradmin/"
        QString clientPages;  // "/qoclient162/..."
        QString helpSite;     // "/help/"
    };

    MainShell(Session& session, Platform& platform, Tfrmmain& form, Seams seams, PageHosts hosts);

    void FormCreate();
    void FormShow();
    void mainshowTimer();
    bool FormCloseQuery();
    void FormClose();
    bool SetHotKeyClick(std::uint32_t key);
    void releaseHotKey();
    void HotKeyDown(int id);
    void aboutBox();
    void restoreFromTray();
    void N7Click();  // tray "exit"

    Seams& seams() { return seams_; }
    // True from the start of the teardown on: waits end at once.
    bool closing() const { return closing_; }

private:
    void wire();
    void openPage(const QString& host, const QString& path);
    void run(const std::function<void()>& step) const;  // runs a seam, swallowing failures

    Session& session_;
    Platform& platform_;
    Tfrmmain& form_;
    Seams seams_;
    PageHosts hosts_;
    bool closing_ = false;
    int atom_ = 0;  // the global atom behind hotkeyid while a key is registered
};

}  // namespace zenrun
