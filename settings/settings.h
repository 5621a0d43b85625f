#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace zenrun {

struct Session;
class Registry;
class Dialogs;
class Dns;
class TForm7;

// Where the options live in the user hive (the login's key).
inline constexpr char kSettingsKey[] = "\\Software\\zididov";

// The key of a hot-key name: F6-F12, HOME and END, matched exactly. Other names have none.
std::optional<std::uint32_t> hotkeyfor(const QString& name);

// The advanced settings: loads the stored options into the dialog and the session (and
// registers the change-line hot key) whenever an instance is created, lays the dialog out
// for the language and the link, and on confirmation carries out the DNS choice, checks the
// intervals and stores and applies the options.
class Settings {
public:
    // The main window's change-line hot key.
    struct HotKey {
        std::function<bool(std::uint32_t key)> set;  // replaces the key registered before
        std::function<void()> release;
    };

    // Wires the form's buttons and show event. `dns` may be null for the hidden start-up
    // instance, which is never confirmed.
    Settings(Session& session, Registry& registry, Dialogs& dialogs, TForm7& form, Dns* dns,
             HotKey hotkey);

    void FormCreate();
    void FormShow();
    void sButton1Click();
    void sButton2Click();

private:
    void loadhotkey();
    void loadautochange();
    void loadredial();
    void loadtaskmin();
    void applyhotkey(const QString& name);
    bool dnsaction();
    bool intervalsvalid();
    void savehotkey();
    void saveautochange();
    void saveredial();
    void warn(const QString& english, const QString& chinese);
    bool readswitch(const char* name) const;
    QString readtext(const char* name) const;
    void writeswitch(const char* name, bool on);
    void writetext(const char* name, const QString& text);

    Session& session_;
    Registry& registry_;
    Dialogs& dialogs_;
    TForm7& form_;
    Dns* dns_;
    HotKey hotkey_;
};

}  // namespace zenrun
