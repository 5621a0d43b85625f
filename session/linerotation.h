#pragma once

#include <QString>

namespace zenrun {

struct LinkActions;
struct Platform;
struct Session;
class LineView;
class Tfrmmain;

// Line rotation: moves the connection to the line after the current one in the line list's
// view order (wrapping to the first), on the `autochangeline` timer or at the change-line hot
// key (`onechangeline`), optionally cleaning the desktop user's browser cookies and cache on
// the way. A one-click change locks further one-click changes for about 27 seconds.
class LineRotation {
public:
    // `actions` is read when used, so it may be filled after construction.
    LineRotation(Session& session, Platform& platform, Tfrmmain& form, LineView& view,
                 const LinkActions& actions);

    void autochangelineTimer();
    void onechangelineClick();
    void onechangetimeTimer();

    // Moves `changenode` to the next line of the view, selects it and reconnects.
    void changetonextline();

private:
    void showred(const QString& english, const QString& chinese);
    // Cookies, then cache; false when the clean-up itself failed.
    bool cleanbrowser();

    Session& session_;
    Platform& platform_;
    Tfrmmain& form_;
    LineView& view_;
    const LinkActions& actions_;
    bool oneclickrunning_ = false;
};

}  // namespace zenrun
