#include "vpn/l2tp.h"

#include <QLabel>

#include "core/appinfo.h"
#include "core/langtext.h"
#include "core/session.h"
#include "platform/dialogs.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "ui/mainwindow.h"
#include "vpn/layouts.h"
#include "vpn/repair.h"

namespace zenrun {

namespace {
const QString kParagraph = QStringLiteral("\r\n\r\n");
QString caption() {
    return QString::fromUtf8(kAppTitle);
}
}  // namespace

L2tpPreparation::L2tpPreparation(Session& session, Registry& registry, Dialogs& dialogs,
                                 Tfrmmain& form, ServiceRepair& repair)
    : session_(session), registry_(registry), dialogs_(dialogs), form_(form), repair_(repair) {}

void L2tpPreparation::createparameterkey(const Services& services) {
    if (!services.dialUpHost().installed) return;
    try {
        registry_.createKey(Hive::LocalMachine, QString::fromLatin1(kRasParametersKey));
    } catch (...) {
        // Without write access the key stays missing: L2TP connects then go as PPTP.
    }
}

L2tpPreparation::Result L2tpPreparation::preparel2tp() {
    const QString key = QString::fromLatin1(kRasParametersKey);
    const QString name = QString::fromLatin1(kProhibitIpSec);
    if (!registry_.keyExists(Hive::LocalMachine, key)) {
        dialogs_.messageBox(caption(),
                            langtext(session_,
                                     QStringLiteral("System error, does not support L2TP, will be "
                                                    "linked with PPTP"),
                                     QStringLiteral("系统出错，不支持L2TP，将以PPTP模式连接")),
                            MsgIcon::Warning, MsgButtons::Ok);
        return Result::Unavailable;
    }
    std::optional<qint32> value;
    try {
        value = registry_.readInteger(Hive::LocalMachine, key, name);
    } catch (const RegistryError&) {
        // A value of another type is not 1: it is written over like a missing one.
    }
    if (value && *value == 1) return Result::Ready;
    try {
        registry_.writeInteger(Hive::LocalMachine, key, name, 1);
    } catch (...) {
    }
    dialogs_.messageBox(
        caption(),
        langtext(
            session_, QStringLiteral("1、Setting L2TP parameters, please wait for 10 seconds"),
            QStringLiteral("1、此台电脑是第一次使用L2TP模式，点击确定后将自动进行必要的参数设置，"
                           "请稍等10秒左右")) +
            kParagraph +
            langtext(
                session_,
                QStringLiteral("2、If there is a special problem, please restart your computer"),
                QStringLiteral("2、如果导致您的网络断线或无法成功连接，请重新启动电脑再试")),
        MsgIcon::Information, MsgButtons::Ok);
    setred(*form_.statuslabel);
    form_.statuslabel->setText(
        langtext(session_, QStringLiteral("Setting L2TP parameters, please wait for 10 seconds..."),
                 QStringLiteral("正在进行L2TP设置，请稍等10秒左右......")));
    repair_.repairrasservice();
    return Result::Ready;
}

void L2tpPreparation::L2TPQ1Click() {
    const MsgAnswer a =
        dialogs_.messageBox(caption(),
                            langtext(session_, QStringLiteral("Will force L2TP settings ?"),
                                     QStringLiteral("确定要强制生效L2TP的设置吗？")),
                            MsgIcon::Question, MsgButtons::YesNo);
    if (a != MsgAnswer::Yes) return;
    repair_.repairrasservice();
    // The Chinese wording differs between the two scripts, not only in its characters.
    const QString chinese = session_.langindex == 3 ? QStringLiteral("强制生效完成,尝试继续连接")
                                                    : QStringLiteral("强制生效OK!") + kParagraph +
                                                          QStringLiteral("尝试继续连接");
    const QString done = langtext(
        session_,
        QStringLiteral("Have finished setting!") + kParagraph + QStringLiteral("Try to connect"),
        chinese);
    dialogs_.messageBox(caption(), done, MsgIcon::Information, MsgButtons::Ok);
}

void L2tpPreparation::rb_lp2pClick() {
    form_.protocollabel->setText(
        langtext(session_, QStringLiteral("Mode: L2TP"), QStringLiteral("连接方式:L2TP")));
}

void L2tpPreparation::rb_pptpClick() {
    form_.protocollabel->setText(
        langtext(session_, QStringLiteral("Mode: Auto"), QStringLiteral("连接方式:自动")));
}

}  // namespace zenrun
