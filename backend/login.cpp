#include "backend/login.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "backend/loginform.h"
#include "backend/mystring.h"
#include "backend/updatenotice.h"
#include "core/langtext.h"
#include "core/session.h"
#include "core/textutil.h"
#include "netcfg/routes.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/http.h"
#include "platform/platform.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "ui/mainwindow.h"
#include "ui/webpane.h"

namespace zenrun {

namespace {
constexpr int kLoginReadTimeoutMs = 2000;
const char kNetworkEnglish[] =
    "network quality is poor, please try connecting again or try again later";
const char kNetworkChinese[] = "服务器繁忙或此时网络质量差，请重新尝试连接或稍后再试";

QString key() {
    return QString::fromLatin1(kLoginKey);
}
}  // namespace

LoginAnswer loginanswer(const QString& reply) {
    if (reply.isEmpty()) return LoginAnswer::NoAnswer;
    if (reply == QLatin1String("error")) return LoginAnswer::Refused;
    return LoginAnswer::Accepted;
}

Login::Login(Session& session, Platform& platform, Tfrmlogin& form, Tfrmmain& main, Hosts hosts)
    : session_(session),
      platform_(platform),
      form_(form),
      main_(main),
      hosts_(std::move(hosts)),
      localisation_(session, *platform.dialogs, form, main) {
    auto click = [this](QPushButton* b, void (Login::*handler)()) {
        QObject::connect(b, &QPushButton::clicked, &form_, [this, handler] { (this->*handler)(); });
    };
    click(form_.btn_login, &Login::btn_loginClick);
    click(form_.btn_exit, &Login::btn_exitClick);
    click(form_.sButton1, &Login::sButton1Click);
    click(form_.sButton3, &Login::sButton3Click);
    QObject::connect(form_.edt_user, &QLineEdit::returnPressed, &form_,
                     [this] { btn_loginClick(); });
    QObject::connect(form_.edt_pass, &QLineEdit::returnPressed, &form_,
                     [this] { btn_loginClick(); });
    form_.onShow = [this] { FormShow(); };
    form_.onLabel1Click = [this] { Label1Click(); };
    form_.onCloseQuery = [this] { return !busy_; };
    FormCreate();
}

void Login::FormCreate() {
    platform_.clock->processEvents();
    form_.setWindowTitle(apptitle(session_));
    // Stored options are a convenience: whatever cannot be read leaves the rest as designed.
    try {
        Registry& reg = *platform_.registry;
        reg.createKey(Hive::CurrentUser, key());
        const bool savepassword =
            reg.readInteger(Hive::CurrentUser, key(), QStringLiteral("savepassword")).value_or(0) ==
            1;
        form_.chkpass->setChecked(savepassword);
        if (savepassword) {
            form_.edt_user->setText(
                reg.readString(Hive::CurrentUser, key(), QStringLiteral("username"))
                    .value_or(QString()));
            form_.edt_pass->setText(
                reg.readString(Hive::CurrentUser, key(), QStringLiteral("password"))
                    .value_or(QString()));
        }
        const QString savelang =
            reg.readString(Hive::CurrentUser, key(), QStringLiteral("savelang"))
                .value_or(QString());
        if (savelang.isEmpty()) {
            form_.lang->setCurrentIndex(0);
            return;
        }
        bool ok = false;
        const int index = savelang.toInt(&ok);
        // An index the list does not have counts as no stored language.
        if (!ok || index < 0 || index >= form_.lang->count()) return;
        form_.lang->setCurrentIndex(index);
        localisation_.langChange();
    } catch (...) {
    }
}

void Login::FormShow() {
    form_.wb1->navigate(endpointurl(hosts_.clientPages, QString::fromLatin1(paths::kLoginTop)));
}

void Login::btn_exitClick() {
    form_.close();
}

void Login::sButton1Click() {
    if (showRegistration) showRegistration();
}

void Login::sButton3Click() {
    platform_.shell->openUrl(hosts_.customerService);
}

void Login::Label1Click() {
    platform_.shell->openUrl(
        endpointurl(hosts_.accountSite, QString::fromLatin1(paths::kRegisterPage)));
}

void Login::warn(const char* english, const char* chinese) {
    platform_.dialogs->messageBox(
        apptitle(session_),
        langtext(session_, QString::fromUtf8(english), QString::fromUtf8(chinese)),
        MsgIcon::Warning, MsgButtons::Ok);
}

void Login::status(const QString& text) {
    form_.Label3->setStyleSheet(QStringLiteral("color: red;"));
    form_.Label3->setText(text);
    form_.Label3->show();
}

// The requests wait with the window alive: a second press, an Enter in a field or closing
// the window must not start another attempt or pull the window away underneath this one.
void Login::btn_loginClick() {
    if (busy_) return;
    busy_ = true;
    closeAfter_ = false;
    form_.btn_login->setEnabled(false);
    form_.btn_exit->setEnabled(false);
    try {
        login();
    } catch (...) {
        // A failure of the platform must not take the window with it.
    }
    form_.btn_login->setEnabled(true);
    form_.btn_exit->setEnabled(true);
    busy_ = false;
    if (closeAfter_) form_.close();
}

void Login::login() {
    if (form_.edt_user->text().isEmpty()) {
        warn("The user name cannot be empty", "账号不能为空");
        form_.edt_user->setFocus();
        return;
    }
    if (form_.edt_pass->text().isEmpty()) {
        warn("Password cannot be empty", "密码必须输入");
        form_.edt_pass->setFocus();
        return;
    }
    const QString user = form_.edt_user->text().trimmed();
    const QString pass = form_.edt_pass->text().trimmed();
    const LoginCodes codes = logincodes(user, pass);
    session_.usercode = codes.usercode;
    session_.passcode = codes.passcode;
    session_.upcode = codes.upcode;
    session_.upcode2 = codes.upcode2;
    session_.viewcode = codes.viewcode;

    status(langtext(session_, QStringLiteral("Connecting to server, please wait......"),
                    QStringLiteral("请稍候，正在向主节点获取连接信息......")));
    platform_.clock->processEvents();

    if (!probehosts(session_, *platform_.http, hosts_)) {
        warn(kNetworkEnglish, kNetworkChinese);
        form_.Label3->hide();
        return;
    }

    if (session_.newversion == QLatin1String(kOutdatedVersion)) {
        session_.vercheckcount = 0;
        main_.vercheck->setEnabled(true);
        status(langtext(session_,
                        QStringLiteral("There have been updated version, the old version may not "
                                       "be available, we strongly recommend that you download "
                                       "the latest version"),
                        QStringLiteral("已经新版本，旧版本可能无法使用，建议您下载最新版本")));
        showupdatenotice(session_, platform_, &form_);
        if (session_.updateflag == QLatin1String("2")) {
            closeAfter_ = true;
            return;
        }
    }

    const QString reply = postcredentials(user, pass);
    const LoginAnswer answer = loginanswer(reply);
    if (answer == LoginAnswer::NoAnswer) {
        warn(kNetworkEnglish, kNetworkChinese);
        form_.Label3->hide();
        form_.edt_user->setFocus();
        return;
    }
    if (answer == LoginAnswer::Refused) {
        warn("The user name or password is incorrect", "用户名或密码错误");
        status(langtext(session_, QStringLiteral("The user name or password is incorrect"),
                        QStringLiteral("用户名或密码错误")));
        form_.edt_user->setFocus();
        return;
    }

    session_.loginok = true;
    session_.username = user;
    session_.userpass = pass;
    session_.userinfo = reply;
    fillmain(user, reply);
    storeoptions();
    downloadlists(user);
    form_.accept();
}

// The credential check: on the chosen host, once more on the other when that request fails.
QString Login::postcredentials(const QString& user, const QString& pass) {
    const FormFields form{{QStringLiteral("UserID"), user}, {QStringLiteral("Upassword"), pass}};
    const QString path = langpath(paths::kUserCheck, session_.langindex);
    const QString agent = QString::fromLatin1(kUserAgent);
    Http& http = *platform_.http;
    const HttpReply first =
        http.post(endpointurl(session_.serverhost, path), form, kLoginReadTimeoutMs, agent);
    if (first.ok) return first.body;
    const HttpReply second =
        http.post(endpointurl(session_.serverhost2, path), form, kLoginReadTimeoutMs, agent);
    if (!second.ok) return {};
    session_.serverhost = session_.serverhost2;
    return second.body;
}

void Login::fillmain(const QString& user, const QString& reply) {
    main_.userlabel->setText(
        langtext(session_, QStringLiteral("UserName："), QStringLiteral("用户名：")) + user +
        QStringLiteral("  ") + reply);
    main_.statuslabel->setText(
        langtext(session_, QStringLiteral("Disconnected"), QStringLiteral("未连接")));
    main_.localiplabel->setText(
        langtext(session_, QStringLiteral("Local IP："), QStringLiteral("本地IP为：")) +
        session_.userpeerip);
}

void Login::storeoptions() {
    try {
        Registry& reg = *platform_.registry;
        reg.createKey(Hive::CurrentUser, key());
        reg.writeInteger(Hive::CurrentUser, key(), QStringLiteral("savepassword"),
                         form_.chkpass->isChecked() ? 1 : 0);
        reg.writeInteger(Hive::CurrentUser, key(), QStringLiteral("saveautodial"),
                         form_.chkstatus->isChecked() ? 1 : 0);
        reg.writeString(Hive::CurrentUser, key(), QStringLiteral("savelang"),
                        QString::number(form_.lang->currentIndex()));
        if (form_.chkpass->isChecked()) {
            reg.writeString(Hive::CurrentUser, key(), QStringLiteral("username"),
                            form_.edt_user->text());
            reg.writeString(Hive::CurrentUser, key(), QStringLiteral("password"),
                            form_.edt_pass->text());
        }
    } catch (...) {
    }
}

void Login::downloadlists(const QString& user) {
    session_.lineini = IniDocument::parse(gethtml(*platform_.http, vpnlisturl(session_, user)));
    if (session_.routeenable != QLatin1String("2")) return;
    try {
        const QString routes = gethtml(
            *platform_.http,
            endpointurl(session_.serverhost, langpath(paths::kRouteList, session_.langindex)));
        if (routes.isEmpty()) return;
        session_.routeini = IniDocument::parse(routes);
        // Filling the selector is not a choice of the user: no change handler runs.
        const QSignalBlocker quiet(main_.routetype);
        fillroutetype(*main_.routetype, session_.routeini);
    } catch (...) {
    }
}

}  // namespace zenrun
