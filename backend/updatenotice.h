#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QWidget;

namespace zenrun {

struct Platform;
struct Session;
class Dialogs;
class Shell;
class Timer;

// The version that the back-end reports when this client is outdated. Compared as text:
// any other report, a higher version included, counts as up to date.
inline constexpr char kOutdatedVersion[] = "11.1";

// The update notice as a form.
class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);

    QLabel* sLabel1 = nullptr;
    QPushButton* sButton1 = nullptr;  // download
    QPushButton* sButton2 = nullptr;  // later

    std::function<void()> onShow;

protected:
    void showEvent(QShowEvent* event) override;
};

// What the notice does: its texts, the download and the cancel buttons.
class UpdateNotice {
public:
    UpdateNotice(Session& session, Shell& shell, TForm6& form);

    void FormShow();
    // Opens the download address, marks `updateflag` "2" and closes.
    void sButton1Click();
    void sButton2Click();

private:
    Session& session_;
    Shell& shell_;
    TForm6& form_;
};

// Creates the notice, runs it modally and frees it. `updateflag` tells what the user chose.
void showupdatenotice(Session& session, Platform& platform, QWidget* parent);

// The reminder after login: the main window's `vercheck` timer shows the update balloon on
// its first two ticks and switches itself off on the third.
class VersionReminder {
public:
    VersionReminder(Session& session, Dialogs& dialogs, Timer& vercheck);
    void vercheckTimer();

private:
    Session& session_;
    Dialogs& dialogs_;
    Timer& vercheck_;
};

}  // namespace zenrun
