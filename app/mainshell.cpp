#include "app/mainshell.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "core/appinfo.h"
#include "core/langtext.h"
#include "core/session.h"
#include "platform/dialogs.h"
#include "platform/hotkeys.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "ui/hintstyle.h"
#include "ui/mainwindow.h"
#include "ui/webpane.h"

namespace zenrun {

namespace {
const QString kLastLineKey = QStringLiteral("\\SOFTWARE\\ravadeviz");
constexpr int kAtomBase = 0xC000;
}  // namespace

MainShell::MainShell(Session& session, Platform& platform, Tfrmmain& form, Seams seams,
                     PageHosts hosts)
    : session_(session),
      platform_(platform),
      form_(form),
      seams_(std::move(seams)),
      hosts_(std::move(hosts)) {
    if (!seams_.exitProcess) {
        seams_.exitProcess = [](int code) {
            std::fflush(nullptr);
            std::_Exit(code);
        };
    }
    wire();
}

void MainShell::run(const std::function<void()>& step) const {
    if (!step) return;
    try {
        step();
    } catch (...) {
        // A failing step costs only itself.
    }
}

void MainShell::wire() {
    form_.onShow = [this] { FormShow(); };
    form_.onCloseQuery = [this] { return FormCloseQuery(); };
    form_.onClose = [this] { FormClose(); };
    form_.mainshow->setHandler([this] { mainshowTimer(); });
    platform_.hotkeys->setHandler([this](int id) { HotKeyDown(id); });

    auto on = [](QAction* a, std::function<void()> f) {
        QObject::connect(a, &QAction::triggered, a, [f = std::move(f)] { f(); });
    };
    auto seam = [this](std::function<void()> Seams::*member) {
        return [this, member] { run(seams_.*member); };
    };
    on(form_.N11, seam(&Seams::showRegistration));
    on(form_.N4, seam(&Seams::showPassword));
    on(form_.N10, [this] { openPage(hosts_.accountSite, QStringLiteral("/vpnadmin/useradmin/")); });
    on(form_.V1, [this] { openPage(hosts_.clientPages, QStringLiteral("/qoclient162/help.htm")); });
    on(form_.A1, [this] { openPage(hosts_.helpSite, QStringLiteral("/help/")); });
    on(form_.N12,
       [this] { openPage(hosts_.clientPages, QStringLiteral("/qoclient162/user.htm")); });
    on(form_.N13, [this] { openPage(hosts_.clientPages, QStringLiteral("/qoclient162/gg.htm")); });
    on(form_.N1, [this] { aboutBox(); });
    on(form_.N14, seam(&Seams::refreshLines));
    on(form_.L2TPQ1, seam(&Seams::forceL2tp));
    on(form_.N15, seam(&Seams::showSettings));
    on(form_.onechangeline, seam(&Seams::oneChangeLine));

    on(form_.N9, [this] { restoreFromTray(); });
    on(form_.N7, [this] { N7Click(); });
    on(form_.N5, [this] { form_.btn_conn->click(); });
    on(form_.N6, [this] { form_.btn_disconn->click(); });
    on(form_.N16, seam(&Seams::showSettings));
    on(form_.N8, [this] { aboutBox(); });
    QObject::connect(form_.RzTrayIcon1, &QSystemTrayIcon::activated, &form_,
                     [this](QSystemTrayIcon::ActivationReason r) {
                         if (r == QSystemTrayIcon::Trigger) restoreFromTray();
                     });
}

void MainShell::FormCreate() {
    // Routing and adapter services open their netlink sockets on demand: nothing to load.
    form_.setWindowTitle(QString::fromUtf8(kAppTitle));
    run(seams_.showLogin);
    run(seams_.createDialComponents);
    if (!session_.loginok) {
        form_.close();
        return;
    }
    form_.RzTrayIcon1->setToolTip(form_.windowTitle());
    form_.RzTrayIcon1->setVisible(true);
    if (!dynamic_cast<HintStyle*>(QApplication::style()))
        QApplication::setStyle(new HintStyle(QApplication::style()->name()));
}

// The first-show work runs once: a later show (a restore from the tray) must not refill the
// line list under a live link, nor read the tunnel's gateway and DNS as the local ones.
void MainShell::FormShow() {
    if (!session_.firstshow.isEmpty()) return;
    session_.firstshow = QStringLiteral("2");
    form_.mainshow->setEnabled(true);
}

void MainShell::mainshowTimer() {
    if (session_.firstshow == QLatin1String("2")) {
        try {
            if (!seams_.restoreLastLine) throw std::runtime_error("no line list");
            seams_.restoreLastLine();
        } catch (...) {
            run(seams_.selectFirstArea);
        }
        try {
            form_.sb.activate(form_._zz);
        } catch (...) {
        }
        const FirstShowCodes codes = firstshowcodes(session_.usercode, session_.passcode);
        session_.chaincode1 = codes.chaincode1;
        session_.chaincode2 = codes.chaincode2;
        session_.upcode = codes.upcode;
        run(seams_.applyRouteMode);
        const bool routes = session_.routeenable == QLatin1String("2");
        form_.sLabel5->setVisible(routes);
        form_.routetype->setVisible(routes);
        form_.linelabel->setText(
            langtext(session_, QStringLiteral("Line:"), QStringLiteral("当前节点：")) +
            form_.IPAddrTxt->currentText());
        form_.web1->navigate(QStringLiteral("http://") + session_.serverhost +
                             QStringLiteral("/kivclient11/maintop.htm"));
        form_.web2->navigate(QStringLiteral("http://") + session_.serverhost +
                             QStringLiteral("/kivclient11/news.htm"));
        run(seams_.captureLocalDns);
    }
    session_.firstshow = QStringLiteral("1");
    form_.mainshow->setEnabled(false);
}

bool MainShell::FormCloseQuery() {
    if (!session_.connected) return true;
    const MsgAnswer a = platform_.dialogs->messageBox(
        QString::fromUtf8(kAppTitle),
        langtext(session_,
                 QStringLiteral("Network is connected, are you sure you want to close it?"),
                 QStringLiteral("VPN正在连接,关闭将断开VPN连接,您确定要关闭吗")),
        MsgIcon::Question, MsgButtons::YesNo);
    if (a == MsgAnswer::Yes) return true;
    form_.showMinimized();
    return false;
}

void MainShell::FormClose() {
    if (closing_) return;
    closing_ = true;
    if (session_.loginok) {
        try {
            Registry& reg = *platform_.registry;
            reg.createKey(Hive::LocalMachine, kLastLineKey);
            reg.writeString(Hive::LocalMachine, kLastLineKey, QStringLiteral("AREACombobox2"),
                            QString::number(form_.AreaTxt2->currentIndex()));
            reg.writeString(Hive::LocalMachine, kLastLineKey, QStringLiteral("IPCombobox2"),
                            QString::number(form_.IPAddrTxt->currentIndex()));
        } catch (...) {
        }
    }
    releaseHotKey();
    session_.pinging = false;
    run(seams_.stopSpeedTest);
    if (session_.routesadded) run(seams_.removeRoutes);
    run(seams_.hangUp);
    form_.RzTrayIcon1->setVisible(false);
    platform_.shell->deleteFile(session_.apppath + QStringLiteral("delroute.bat"));
    platform_.shell->deleteFile(session_.apppath + QStringLiteral("route.bat"));
    run(seams_.freeDialComponents);
    seams_.exitProcess(0);
}

// One change-line key at a time: a new key replaces the one registered before.
bool MainShell::SetHotKeyClick(std::uint32_t key) {
    releaseHotKey();
    const int atom = platform_.hotkeys->addAtom(QStringLiteral("MyHotKey"));
    atom_ = atom;
    session_.hotkeyid = atom - kAtomBase;
    return platform_.hotkeys->registerKey(session_.hotkeyid, key);
}

void MainShell::releaseHotKey() {
    try {
        platform_.hotkeys->unregisterKey(session_.hotkeyid);
        if (atom_ != 0) platform_.hotkeys->deleteAtom(atom_);
        atom_ = 0;
    } catch (...) {
    }
}

void MainShell::HotKeyDown(int /*id*/) {
    form_.onechangeline->trigger();
}

void MainShell::aboutBox() {
    platform_.dialogs->messageBox(
        langtext(session_, QStringLiteral("About"), QStringLiteral("关于")),
        QString::fromUtf8(kAppTitle), MsgIcon::None, MsgButtons::Ok);
}

void MainShell::restoreFromTray() {
    form_.showNormal();
    form_.raise();
    form_.activateWindow();
}

void MainShell::N7Click() {
    if (session_.connected) run(seams_.disconnect);
    form_.close();
}

void MainShell::openPage(const QString& host, const QString& path) {
    platform_.shell->openUrl(QStringLiteral("http://") + host + path);
}

}  // namespace zenrun
