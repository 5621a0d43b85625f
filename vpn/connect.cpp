#include "vpn/connect.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QStatusBar>

#include "backend/endpoints.h"
#include "core/appinfo.h"
#include "core/langtext.h"
#include "core/session.h"
#include "core/strings.h"
#include "core/textutil.h"
#include "netcfg/routes.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/http.h"
#include "platform/platform.h"
#include "platform/ras.h"
#include "ui/mainwindow.h"
#include "vpn/disconnect.h"
#include "vpn/l2tp.h"
#include "vpn/layouts.h"

namespace zenrun {

namespace {
const QString kAcceptToken = QStringLiteral("a91e7d02kb6wq3f5e80d4c17b9f2ea06");
const QString kSeparatorA = QStringLiteral("5d3c9b27f0e61a48d9b5c03e7a2f6d19");
const QString kSeparatorB = QStringLiteral("5d3c9b27f0e61a48d9b5c03e7a2f6d18");
const QString kIpCheckAgent = QStringLiteral("Mozilla/3.0 (compatible; Indy Library)");
const QString kRealmPrefix = QStringLiteral("vazevezoz0");
constexpr int kMinRotationSeconds = 30;
constexpr int kMaxRotationSeconds = 2147473;  // (acltime + 10) * 1000 still fits

QString caption() {
    return QString::fromUtf8(kAppTitle);
}

QString timestamp(const QDateTime& t) {
    const QTime time = t.time();
    return QString::number(time.hour()) + QString::number(time.minute()) +
           QString::number(time.second()) +
           QStringLiteral("%1").arg(time.msec(), 2, 10, QLatin1Char('0'));
}

bool ownrealm(const QString& linetype) {
    static const QStringList types = {QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                                      QStringLiteral("6"), QStringLiteral("7")};
    return types.contains(linetype);
}
}  // namespace

QString entrynamefor(const QDateTime& t) {
    return t.toString(QStringLiteral("MMdd")) + timestamp(t);
}

QString uniqueidfor(const QDateTime& t) {
    QString id = t.toString(QStringLiteral("yyyyMMdd")) + timestamp(t);
    // Each digit drawn on its own; the seeded default generator would repeat across starts.
    for (int i = 0; i < 8; ++i) id += QString::number(QRandomGenerator::system()->bounded(10));
    return id;
}

DialCredentials ipcheckcredentials(const QString& reply, const QString& username,
                                   const QString& userpass) {
    if (reply == kAcceptToken) return {username, userpass, true};
    const auto a = strings(reply).split5(kSeparatorA);
    if (!a[1].isEmpty()) return {base64decode(base64decode(a[0])), decodedialpass(a[1]), false};
    const auto b = strings(reply).split5(kSeparatorB);
    return {base64decode(base64decode(b[1])), userpass, true};
}

Connect::Connect(Session& session, Platform& platform, Tfrmmain& form, Routes& routes,
                 Disconnect& disconnect, L2tpPreparation& l2tp,
                 std::function<LineNode()> focusedNode)
    : session_(session),
      platform_(platform),
      form_(form),
      routes_(routes),
      disconnect_(disconnect),
      l2tp_(l2tp),
      focusedNode_(std::move(focusedNode)) {}

void Connect::btn_connClick() {
    connect(false);
}
void Connect::btn_conn2Click() {
    connect(true);
}

void Connect::entryfailure() {
    const QString br = QStringLiteral("\r\n\r\n");
    const QString text =
        langtext(session_,
                 QStringLiteral("Unable to establish a connection, please try one or more of the "
                                "following operation:"),
                 QStringLiteral("无法建立连接，请您尝试以下其中一种或多种操作:")) +
        br +
        langtext(session_,
                 QStringLiteral("1、Your computer is the first use of L2TP protocol to login, "
                                "please reboot your computer."),
                 QStringLiteral("1、您的电脑是第一次使用L2TP协议登录，请您重新启动电脑即可")) +
        br +
        langtext(session_,
                 QStringLiteral("2、The window7 system, the need to close the client, then right "
                                "click the client file "
                                "select run as Administrator"),
                 QStringLiteral(
                     "2、window7系统，需关闭客户端，再以右键单击客户端文件选择以管理员身份运行")) +
        br +
        langtext(
            session_,
            QStringLiteral(
                "3、Open computer control panel -> open administrative tools -> Open Service -> "
                "Telephony and server is set to automatic and start"),
            QStringLiteral("3、打开电脑控制面板-->打开管理工具--->打开服务--->"
                           "把Telephony及server设为自动并启动")) +
        br +
        langtext(session_, QStringLiteral("4、To reopen the client software"),
                 QStringLiteral("4、关闭客户端后重新打开"));
    platform_.dialogs->messageBox(caption(), text, MsgIcon::Warning, MsgButtons::Ok);
    disconnect_.btn_disconnClick();
}

bool Connect::ipcheck(bool rotation, DialCredentials& out) {
    const FormFields form = {{QStringLiteral("serverip"), session_.serverip},
                             {QStringLiteral("username"), session_.username},
                             {QStringLiteral("Upassword"), session_.userpass},
                             {QStringLiteral("checkcode"), session_.checkcode}};
    QString reply;
    try {
        const HttpReply r = platform_.http->post(
            endpointurl(session_.serverhost,
                        QString::fromLatin1(rotation ? paths::kIpCheckRotate : paths::kIpCheck)),
            form, kIpCheckTimeoutMs, kIpCheckAgent);
        // An error status or a broken transfer gives no reply, as a raised request does.
        if (r.ok) reply = r.body;
        platform_.clock->processEvents();
    } catch (...) {
    }
    if (reply.isEmpty()) {
        disconnect_.btn_disconnClick();
        form_.statuslabel->setText(
            langtext(session_,
                     QStringLiteral(
                         "network quality is poor, please try connecting again or try again later"),
                     QStringLiteral("服务器繁忙或此时网络质量差，请更换线路或稍后再试")));
        return false;
    }
    out = ipcheckcredentials(reply, session_.username, session_.userpass);
    if (out.user.isEmpty()) {
        platform_.dialogs->messageBox(
            caption(),
            langtext(session_,
                     QStringLiteral("Unable to query the server line information, please try "
                                    "connecting again or try "
                                    "again later."),
                     QStringLiteral("无法向服务器查询线路信息，请重新尝试连接或稍后再试.")),
            MsgIcon::Warning, MsgButtons::Ok);
        disconnect_.btn_disconnClick();
        return false;
    }
    return true;
}

void Connect::connect(bool rotation) {
    const LineNode node = focusedNode_ ? focusedNode_() : LineNode{};
    session_.connnode = node;
    session_.changenode = node;
    if (form_.IPAddrTxt->currentText().trimmed().isEmpty()) {
        form_.IPAddrTxt->setFocus();
        return;
    }
    connectinglayout(form_);
    session_.connected = false;
    disconnect_.clearvpnentry();

    const QString value =
        session_.lineini.value(form_.AreaTxt2->currentText(), form_.IPAddrTxt->currentText());
    if (value.isEmpty()) {
        platform_.dialogs->messageBox(
            caption(),
            langtext(session_, QStringLiteral("Error occurred, please close the program to run"),
                     QStringLiteral("发生错误，请关闭程序再重新运行")),
            MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    const auto fields = strings(value).split5(QStringLiteral(","));
    session_.serverip = decodelineaddr(fields[0]);
    session_.linetype = fields[3];

    form_.StatusBar1->showMessage(
        langtext(session_, QStringLiteral("Connecting...."), QStringLiteral("正在建立连接")));
    form_.statuslabel->setText(
        langtext(session_, QStringLiteral("Connecting..."), QStringLiteral("正在建立连接")));
    form_.linelabel->setText(
        langtext(session_, QStringLiteral("Line:"), QStringLiteral("连接线路：")) +
        form_.IPAddrTxt->currentText());

    Ras& ras = *platform_.ras;
    ras.pppDefault();
    bool pptp = form_.rb_pptp->isChecked();
    if (form_.rb_lp2p->isChecked() && l2tp_.preparel2tp() == L2tpPreparation::Result::Unavailable)
        pptp = true;  // the radio buttons stay as the user left them

    RasEntry& e = ras.entry();
    if (pptp) {
        e.deviceName = langtext(session_, QStringLiteral("WAN Miniport (PPTP)"),
                                QStringLiteral("WAN 微型端口 (PPTP)"));
        e.strategy = VpnStrategy::PptpFirst;
    } else {
        e.deviceName = langtext(session_, QStringLiteral("WAN Miniport (L2TP)"),
                                QStringLiteral("WAN 微型端口 (L2TP)"));
        e.strategy = VpnStrategy::L2tpOnly;
    }
    const ConnectCodes codes =
        connectcodes(session_.chaincode1, session_.chaincode2, session_.userpass);
    session_.checkcode = codes.checkcode;
    session_.upcode = codes.upcode;
    e.deviceType = QStringLiteral("vpn");
    e.set(kPreviewUserPw);
    e.set(kPreviewPhoneNumber);
    e.phoneNumber = session_.serverip;

    DialCredentials cred;
    if (session_.linetype == QLatin1String("1")) {
        cred = {session_.username, session_.userpass, true};
    } else if (ownrealm(session_.linetype)) {
        cred = {kRealmPrefix + session_.linetype + QLatin1Char('\\') + session_.username,
                session_.userpass, true};
    } else if (!ipcheck(rotation, cred)) {
        return;
    }
    session_.dialaccount = cred.dialaccount;

    const QDateTime now = platform_.clock->now();
    session_.entryname = entrynamefor(now);
    session_.uniqueid = uniqueidfor(now);

    const bool strong = form_.sCheckBox1->isChecked() && pptp;
    for (RasEntryOption o : {kRemoteDefaultGateway, kIpHeaderCompression, kRequireDataEncryption,
                             kRequireEncryptedPw, kRequireMsChap2})
        e.set(o);
    e.set(kPromoteAlternates, false);
    if (!strong) {
        e.set(kRequirePap);
        e.set(kRequireChap);
        e.set(kRequireMsChap);
    }
    e.encryption = strong ? EntryEncryption::RequireMax : EntryEncryption::Optional;
    e.set(kSwCompression);
    e.set(kCustom);
    e.vpn = true;

    routes_.addroutesonconnect();

    if (ras.putAllEntryProps(session_.entryname) != 0) {
        entryfailure();
        return;
    }
    ras.setDialCredentials(cred.user, cred.password);
    if (ras.putDialProps(session_.entryname) != 0) {
        entryfailure();
        return;
    }

    ras.setEntryName(session_.entryname);
    session_.connhandle = 0;
    int code = ras.getDialParams();
    if (code == 0) code = ras.connectEx(session_.connhandle);
    if (code != 0) {
        form_.statuslabel->setText(
            langtext(session_, QStringLiteral("Error cole:"), QStringLiteral("错误代码")) +
            QString::number(code) + QLatin1Char('-') + ras.statusStr());
        // The routes stay: the next disconnect or the exit removes them.
        idlelayout(form_, session_);
        disconnect_.clearvpnentry();
        return;
    }
    form_.dialupstatus->setEnabled(true);
    form_.dialupcheck->setEnabled(true);
    form_.Timer2->setEnabled(true);
    form_.rast12->setEnabled(true);
    form_.btn_conn->setEnabled(false);
    form_.datalabel->clear();
    session_.conntime = toDayCount(platform_.clock->now());
    if (rotation) return;
    bool ok = false;
    const int acltime = session_.acltime.toInt(&ok);
    if (session_.aclcheck == QLatin1String("2") && ok && acltime >= kMinRotationSeconds &&
        acltime <= kMaxRotationSeconds) {
        form_.autochangeline->setInterval((acltime + 10) * 1000);
        form_.autochangeline->setEnabled(true);
    }
}

}  // namespace zenrun
