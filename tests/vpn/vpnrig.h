#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTreeView>
#include <memory>

#include "core/session.h"
#include "core/textutil.h"
#include "lines/linetestdata.h"
#include "netcfg/routes.h"
#include "platform/sim/simplatform.h"
#include "ui/mainwindow.h"
#include "vpn/connect.h"
#include "vpn/dialmonitor.h"
#include "vpn/disconnect.h"
#include "vpn/l2tp.h"
#include "vpn/layouts.h"
#include "vpn/repair.h"

namespace zenrun::testing {

// The connection's logic on the simulated platform, assembled as the client does it, with a
// line list of one line per type and one global route (to the back-end's address).
struct VpnRig : ::testing::Test {
    SimPlatform sim;
    Session session;
    QTemporaryDir dir;
    std::unique_ptr<Tfrmmain> form;
    std::unique_ptr<Routes> routes;
    std::unique_ptr<ServiceRepair> repair;
    std::unique_ptr<Disconnect> disconnect;
    std::unique_ptr<L2tpPreparation> l2tp;
    std::unique_ptr<Connect> connect;
    std::unique_ptr<DialMonitor> monitor;
    bool shuttingDown = false;
    LineNode focused = std::make_shared<ps>();
    std::size_t systemRoutes = 0;

    // Line "T<type>" dials 10.9.0.<n>; "TE" has an empty type.
    static QString linelist() {
        QString list = QStringLiteral("[华东]\n");
        const QStringList types = {"0", "1", "2", "3", "4", "5", "6", "7", "8", ""};
        for (int i = 0; i < types.size(); ++i)
            list += lineentry(
                types[i].isEmpty() ? QStringLiteral("TE") : QStringLiteral("T") + types[i],
                QStringLiteral("10.9.0.%1").arg(i + 1), QStringLiteral("98%,1,") + types[i]);
        return list;
    }

    void SetUp() override {
        sim.platform.stateDir = dir.path();
        constexpr std::uint32_t lan = 0xC0A80100;
        sim.ipHelper.setRoutes({{0, 0, lan | 1, 2, 1, 3, 100}, {lan, 0xFFFFFF00, 0, 2, 1, 2, 100}});
        sim.ipHelper.setNeighbour(lan | 1, 2);
        systemRoutes = sim.ipHelper.routes().size();
        session.username = QStringLiteral("alice");
        session.userpass = QStringLiteral("secret");
        session.serverhost = QStringLiteral("127.0.0.1:9");
        session.serverhostip = QStringLiteral("127.0.0.5");
        const LoginCodes lc = logincodes(session.username, session.userpass);
        const FirstShowCodes fs = firstshowcodes(lc.usercode, lc.passcode);
        session.chaincode1 = fs.chaincode1;
        session.chaincode2 = fs.chaincode2;
        session.lineini = IniDocument::parse(linelist());
        build();
    }

    void build() {
        form = std::make_unique<Tfrmmain>(sim.clock);
        showlines();
        routes = std::make_unique<Routes>(
            session, sim.ipHelper,
            Routes::Controls{form->routetype, form->com_game, form->sButton1, form->sButton2},
            dir.path() + QStringLiteral("/routes.journal"));
        routes->routetypeChange();  // no route list: the global mode, one route to the back-end
        repair = std::make_unique<ServiceRepair>(sim.registry, sim.services, sim.clock,
                                                 [this] { return shuttingDown; });
        disconnect = std::make_unique<Disconnect>(session, sim.ras, *routes, *form);
        l2tp =
            std::make_unique<L2tpPreparation>(session, sim.registry, sim.dialogs, *form, *repair);
        connect = std::make_unique<Connect>(session, sim.platform, *form, *routes, *disconnect,
                                            *l2tp, [this] { return focused; });
        monitor = std::make_unique<DialMonitor>(session, sim.ras, sim.dialogs, *routes, *form,
                                                *disconnect, [this] { connect->btn_connClick(); });
        monitor->wire();
    }

    // The line list's areas, and the lines of the first one, in the selectors.
    void showlines() {
        form->AreaTxt2->clear();
        form->AreaTxt2->addItems(session.lineini.sections());
        pickarea(form->AreaTxt2->itemText(0));
    }
    void pickarea(const QString& area) {
        form->AreaTxt2->setCurrentText(area);
        form->IPAddrTxt->clear();
        form->IPAddrTxt->addItems(session.lineini.keys(area));
    }
    void pick(const QString& line) { form->IPAddrTxt->setCurrentText(line); }
    // Picks the line and presses Connect.
    void connectTo(const QString& line) {
        pick(line);
        connect->btn_connClick();
    }
    // Connects to a line that dials with the account (type 1) and waits for the link.
    void connectUp(const QString& line = QStringLiteral("T1")) {
        connectTo(line);
        sim.clock.advance(3000);
        ASSERT_TRUE(session.connected) << form->statuslabel->text().toStdString();
    }
    QString status() const { return form->statuslabel->text(); }
    bool idle() const {
        return form->btn_conn->isEnabled() && !form->btn_disconn->isEnabled() &&
               form->vt1->isEnabled() && form->IPAddrTxt->isEnabled() && !form->rast12->enabled() &&
               !form->statuscheck->enabled() && !session.connected;
    }
    bool connecting() const {
        return !form->btn_conn->isEnabled() && form->btn_disconn->isEnabled() &&
               !form->vt1->isEnabled() && !form->IPAddrTxt->isEnabled() &&
               !form->rb_lp2p->isEnabled();
    }
    std::size_t ourRoutes() const { return sim.ipHelper.routes().size() - systemRoutes; }
    QStringList boxes() const {
        QStringList out;
        for (const auto& b : sim.dialogs.boxes) out << b.text;
        return out;
    }
};

}  // namespace zenrun::testing
