#pragma once

#include <QString>

namespace zenrun {

struct Session;
class Dialogs;
class Tfrmlogin;
class Tfrmmain;

// The application title in the current language: the caption of every message box.
QString apptitle(const Session& session);
// Header text of column 0..3 of the line list `vt1` in the current language.
QString vt1columntext(const Session& session, int column);

// The language chosen in the login window: `langindex` and every control text of the login
// and main windows that follows it.
class Localisation {
public:
    Localisation(Session& session, Dialogs& dialogs, Tfrmlogin& login, Tfrmmain& main);

    // Applies the selected item of `lang`; nothing when no item is selected.
    void langChange();
    // Toggles between the first and the second item: 0 becomes 1, any other index 0.
    void langDblClick();
    // The hidden language probe.
    void Button1Click();

private:
    void applyLogin();
    void applyMain();

    Session& session_;
    Dialogs& dialogs_;
    Tfrmlogin& login_;
    Tfrmmain& main_;
};

}  // namespace zenrun
