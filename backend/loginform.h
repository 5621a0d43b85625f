#pragma once

#include <QDialog>

namespace zenrun {

struct Platform;
struct Session;

// The login window. Shown modally while the main window is created; the main window
// appears only when it leaves `loginok` set.
class Tfrmlogin : public QDialog {
    Q_OBJECT
public:
    Tfrmlogin(Session& session, Platform& platform, QWidget* parent = nullptr);

private:
    Session& session_;
    Platform& platform_;
};

}  // namespace zenrun
