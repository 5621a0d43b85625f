#pragma once

class QLabel;

namespace zenrun {

struct Session;
class Tfrmmain;

// The main window while a connect is under way: the line choice locked, Disconnect open.
void connectinglayout(Tfrmmain& form);
// The main window with no link: the line choice open, Disconnect closed, the traffic display
// and status reports stopped, `connected` false. Every tear-down ends here.
void idlelayout(Tfrmmain& form, Session& session);

// Label colours the connection texts use.
void setred(QLabel& label);
void setwindowtext(QLabel& label);  // the system's window-text colour

}  // namespace zenrun
