#pragma once

#include <QLabel>
#include <QStringList>
#include <memory>

#include "core/session.h"
#include "lines/lineview.h"
#include "platform/sim/simplatform.h"
#include "session/linkactions.h"
#include "ui/mainwindow.h"

namespace zenrun::testing {

// The main window on the simulated platform, with the link operations recording into a
// trace ("disconnect2 @1000": what ran, at which virtual millisecond).
struct SessionRig {
    SimPlatform sim;
    Session session;
    Tfrmmain form{sim.clock};
    LineView* view = new LineView(session, sim.platform, form);  // owned by the form
    LinkActions actions;
    QStringList trace;

    SessionRig() {
        actions.disconnect = record("disconnect");
        actions.disconnect2 = record("disconnect2");
        actions.reconnect2 = record("reconnect2");
    }

    std::function<void()> record(const char* name) {
        return [this, name] { note(QString::fromLatin1(name)); };
    }
    void note(const QString& what) {
        trace << QStringLiteral("%1 @%2").arg(what).arg(sim.clock.elapsedMs());
    }

    // Dials `server` as connect does and waits until the link is up (two seconds); the
    // session holds the handle, the entry and the dial's start.
    int dialUp(const QString& server = QStringLiteral("10.1.0.1"),
               const QString& entry = QStringLiteral("0105900000")) {
        Ras& ras = sim.ras;
        ras.pppDefault();
        ras.entry().phoneNumber = server;
        ras.putAllEntryProps(entry);
        ras.setDialCredentials(QStringLiteral("dialer"), QStringLiteral("secret"));
        ras.putDialProps(entry);
        ras.setEntryName(entry);
        ras.getDialParams();
        int handle = 0;
        ras.connectEx(handle);
        session.connhandle = handle;
        session.entryname = entry;
        session.conntime = toDayCount(sim.clock.now());
        sim.clock.advance(2000);
        return handle;
    }

    // A one-shot call at a later virtual time (relative to now).
    void at(int afterMs, std::function<void()> fn) {
        auto timer = sim.clock.createTimer(afterMs);
        Timer* t = timer.get();
        timer->setHandler([t, fn = std::move(fn)] {
            t->setEnabled(false);
            fn();
        });
        timer->setEnabled(true);
        oneshots.push_back(std::move(timer));
    }
    std::vector<std::unique_ptr<Timer>> oneshots;
};

// The text colour a label shows (its style sheet applied).
inline QColor textcolour(QLabel* label) {
    label->ensurePolished();
    return label->palette().color(label->foregroundRole());
}

}  // namespace zenrun::testing
