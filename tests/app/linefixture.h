#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTreeView>
#include <optional>

#include "app/clientapp.h"
#include "core/session.h"
#include "lines/linelist.h"
#include "lines/linemodel.h"
#include "lines/linetestdata.h"
#include "lines/lineview.h"
#include "platform/sim/simplatform.h"
#include "ui/mainwindow.h"

namespace zenrun::testing {

// Three areas; the second holds a line whose rate field is empty (later fields shift) and
// one whose L2TP field is not a number; the first has a key with an empty value.
inline QString demolist() {
    return QStringLiteral("[华东电信]\n") +
           lineentry(QStringLiteral("上海01"), QStringLiteral("10.1.0.1"),
                     QStringLiteral("98%,1,1")) +
           lineentry(QStringLiteral("上海02"), QStringLiteral("10.1.0.2"),
                     QStringLiteral("95%,0,3")) +
           QStringLiteral("停用=\n") +
           lineentry(QStringLiteral("杭州11"), QStringLiteral("10.1.0.3"),
                     QStringLiteral("100%,1,7")) +
           QStringLiteral("[华南]\n") +
           lineentry(QStringLiteral("广州1"), QStringLiteral("10.2.0.1"),
                     QStringLiteral("90%,1,5")) +
           lineentry(QStringLiteral("广州2"), QStringLiteral("10.2.0.2"), QStringLiteral(",1,4")) +
           lineentry(QStringLiteral("深圳1"), QStringLiteral("10.2.0.3"),
                     QStringLiteral("80%,x,6")) +
           lineentry(QStringLiteral("深圳2"), QStringLiteral("10.2.0.4"),
                     QStringLiteral("85%,1,1")) +
           QStringLiteral("[美国]\n") +
           lineentry(QStringLiteral("US-LA"), QStringLiteral("10.3.0.1"),
                     QStringLiteral("70%,1,1"));
}

inline const QString kLastLineKey = QStringLiteral("SOFTWARE\\ravadeviz");

// The assembled client on the simulated platform, logged in with a given line list.
struct ClientFixture : ::testing::Test {
    SimPlatform sim;
    Session session;
    std::unique_ptr<ClientApp> app;
    QString lineList = demolist();
    // What the login leaves in the session.
    QString serverhost = QStringLiteral("127.0.0.1:9");
    QString username = QStringLiteral("tester");
    QString viewcode = QStringLiteral("v1");

    void saveLast(const QString& area, const QString& line) {
        sim.registry.writeString(Hive::LocalMachine, kLastLineKey, QStringLiteral("AREACombobox2"),
                                 area);
        sim.registry.writeString(Hive::LocalMachine, kLastLineKey, QStringLiteral("IPCombobox2"),
                                 line);
    }

    // Logs in, shows the main window and runs its first-show step.
    void start() {
        app = std::make_unique<ClientApp>(session, sim.platform, ClientApp::Options{false});
        app->seams().exitProcess = [](int) {};
        app->seams().showLogin = [this] {
            session.loginok = true;
            session.serverhost = serverhost;
            session.username = username;
            session.viewcode = viewcode;
            session.lineini = IniDocument::parse(lineList);
        };
        ASSERT_TRUE(app->start());
        form().com_game->addItem(QStringLiteral("leftover"));
        sim.clock.advance(1000);
        ASSERT_EQ(session.firstshow, QStringLiteral("1"));
    }

    // A new client process on the same machine (registry kept).
    void restart() {
        app.reset();
        session.firstshow.clear();
        session.loginok = false;
        start();
    }

    Tfrmmain& form() { return app->mainForm(); }
    LineView& view() { return app->lineView(); }
    LineModel& model() { return view().model(); }

    QStringList items(QComboBox* c) const {
        QStringList out;
        for (int i = 0; i < c->count(); ++i) out << c->itemText(i);
        return out;
    }
    QStringList rows() {
        QStringList out;
        for (const LineNode& n : view().lines()) out << n->name;
        return out;
    }
    LineNode row(const QString& name) {
        for (const LineNode& n : view().lines())
            if (n->name == name) return n;
        return {};
    }
    // A user's choice in a combo: select, then the change handler.
    void choose(QComboBox* c, int index) {
        c->setCurrentIndex(index);
        emit c->activated(index);
    }
};

}  // namespace zenrun::testing
