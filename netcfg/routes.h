#pragma once

#include <QString>
#include <vector>

#include "netcfg/routejournal.h"
#include "netcfg/routetable.h"
#include "platform/iphelper.h"

class QComboBox;
class QPushButton;

namespace zenrun {

struct Session;
class IniDocument;

// Replaces the route modes offered in `routetype` by the route list's sections, in file
// order, and selects the first. A list without sections leaves no item and no selection.
void fillroutetype(QComboBox& routetype, const IniDocument& routeini);

// Fills `table` (cleared first) from one section of the route list: the i-th key's value
// "destination|mask" goes to entry i-1 with `gateway`; a key without a valid destination and
// mask leaves its entry empty, and keys past the table's end are ignored.
void fillroutes(Tmyrouters& table, const IniDocument& routeini, const QString& section,
                const QString& gateway);

// The routes installed around the tunnel: the table of the chosen mode (`routerlist`), its
// rebuilding when the mode changes, and adding and removing its routes in the system table.
//
// Only routes this object added are ever removed: each one is remembered with its exact
// attributes (and journalled), so a route the system already had to the same destination
// survives, and a destination listed twice is removed once.
class Routes {
public:
    // The main window's controls this logic reads.
    struct Controls {
        QComboBox* routetype = nullptr;
        QComboBox* com_game = nullptr;
        QPushButton* sButton1 = nullptr;
        QPushButton* sButton2 = nullptr;
    };

    Routes(Session& session, IpHelper& iphelper, Controls controls, const QString& journalPath);

    // Connects the controls' signals to the handlers below.
    void wire();

    void loadroutes(const QString& name);
    void loadglobalroute(const QString& ignored);
    void addroutes();
    void delroutes();

    void routetypeChange();
    void sButton1Click() { addroutes(); }
    void sButton2Click() { delroutes(); }
    void com_gameClick();

    // A connect attempt, before the dial: adds the routes of the chosen mode unless they are
    // in place already, and marks them as added even when adding failed.
    void addroutesonconnect();
    // Every tear-down: removes the routes when they were added, and clears the mark.
    void delroutesonteardown();

    // At start: removes the routes a previous run left in the journal (those still present
    // exactly as added), then empties the journal.
    void clearleftoverroutes();

    // The routes currently in the system table because of this object.
    const std::vector<Ipv4Route>& addedroutes() const { return added_; }

    Tmyrouters routerlist = Tmyrouters(kRouterCount);

private:
    QString localgateway();
    bool isglobalname(const QString& name) const;

    Session& session_;
    IpHelper& ip_;
    Controls controls_;
    RouteJournal journal_;
    std::vector<Ipv4Route> added_;
};

}  // namespace zenrun
