#include "session/linerotation.h"

#include <QComboBox>
#include <QLabel>
#include <QScopeGuard>
#include <QTreeView>
#include <algorithm>

#include "core/appinfo.h"
#include "core/langtext.h"
#include "core/session.h"
#include "core/textutil.h"
#include "lines/lineview.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/shell.h"
#include "session/linkactions.h"
#include "ui/mainwindow.h"

namespace zenrun {

namespace {
bool on(const QString& option) {
    return option == QLatin1String("2");
}

// The row after `from` in view order; the first row when `from` is the last row or is not
// listed (no line yet). A list refilled since keeps the line by its name.
LineNode nextnode(const std::vector<LineNode>& rows, const LineNode& from) {
    if (rows.empty()) return {};
    auto it = std::find(rows.begin(), rows.end(), from);
    if (it == rows.end() && from)
        it = std::find_if(rows.begin(), rows.end(),
                          [&](const LineNode& n) { return n && n->name == from->name; });
    if (it == rows.end() || std::next(it) == rows.end()) return rows.front();
    return *std::next(it);
}
}  // namespace

LineRotation::LineRotation(Session& session, Platform& platform, Tfrmmain& form, LineView& view,
                           const LinkActions& actions)
    : session_(session), platform_(platform), form_(form), view_(view), actions_(actions) {}

void LineRotation::showred(const QString& english, const QString& chinese) {
    form_.statuslabel->setStyleSheet(QStringLiteral("color: red;"));
    form_.statuslabel->setText(langtext(session_, english, chinese));
}

bool LineRotation::cleanbrowser() {
    showred(QStringLiteral("cleaning IE cache and cookies"),
            QStringLiteral("正在清理缓存和cookies"));
    platform_.clock->waitms(1000);
    try {
        const QString home = platform_.shell->desktopUserHome();
        clearcookies(home);
        clearcache(home);
        return true;
    } catch (...) {
        return false;
    }
}

void LineRotation::changetonextline() {
    try {
        const LineNode next = nextnode(view_.lines(), session_.changenode);
        session_.changenode = next;
        if (!next) return;  // an empty list: there is no line to dial
        view_.setFocusedNode(next);
        session_.connnode = next;
        form_.IPAddrTxt->setCurrentIndex(
            form_.IPAddrTxt->findText(next->name, Qt::MatchFixedString));
        platform_.clock->waitms(2000);
        if (actions_.reconnect2) actions_.reconnect2();
    } catch (...) {
        // The link stays down until the user acts or the next automatic tick.
    }
}

void LineRotation::autochangelineTimer() {
    if (!on(session_.aclcheck)) return;
    try {
        showred(QStringLiteral("ready to connect next line..."),
                QStringLiteral("正在准备连接下一条线路"));
        platform_.clock->waitms(1000);
        if (actions_.disconnect2) actions_.disconnect2();
        if (on(session_.acldelcheck) && !cleanbrowser()) return;
    } catch (...) {
        return;
    }
    changetonextline();
}

void LineRotation::onechangelineClick() {
    if (form_.onechangetime->enabled()) {
        platform_.dialogs->messageBox(
            QString::fromUtf8(kAppTitle),
            langtext(
                session_,
                QStringLiteral("You replace the IP too much, do not tired, please wait a moment"),
                QStringLiteral("你更换IP太频繁了，别累坏了，请稍等一下即可")),
            MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    // A held key repeats its press while the change waits; one change per press, not a
    // change per repeat.
    if (oneclickrunning_) return;
    oneclickrunning_ = true;
    const auto done = qScopeGuard([this] { oneclickrunning_ = false; });
    if (on(session_.shortcutkeycheck)) {
        try {
            showred(QStringLiteral("ready to connect next line..."),
                    QStringLiteral("正在准备连接下一条线路"));
            platform_.clock->waitms(2000);
            if (on(session_.shortcutdelcheck) && !cleanbrowser()) return;
            form_.vt1->setFocus();
            session_.changenode = view_.focusedNode();
            session_.connnode = session_.changenode;
            if (actions_.disconnect2) actions_.disconnect2();
        } catch (...) {
            return;
        }
        changetonextline();
    }
    form_.onechangetime->setEnabled(true);
}

void LineRotation::onechangetimeTimer() {
    platform_.clock->waitms(12000);
    form_.onechangetime->setEnabled(false);
}

}  // namespace zenrun
