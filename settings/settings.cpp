#include "settings/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <array>
#include <utility>

#include "core/appinfo.h"
#include "core/langtext.h"
#include "core/session.h"
#include "netcfg/dns.h"
#include "platform/dialogs.h"
#include "platform/registry.h"
#include "settings/settingsform.h"

namespace zenrun {

namespace {
const QString kKey = QString::fromLatin1(kSettingsKey);
constexpr Hive kHive = Hive::CurrentUser;

QString onoff(bool on) {
    return on ? QStringLiteral("2") : QStringLiteral("1");
}

// A whole number at least `limit`; anything else (empty aside) counts as below it.
bool atleast(const QString& text, int limit) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok && value >= limit;
}
}  // namespace

std::optional<std::uint32_t> hotkeyfor(const QString& name) {
    static const std::array<std::pair<const char*, std::uint32_t>, 9> keys{{
        {"F6", 0x75},
        {"F7", 0x76},
        {"F8", 0x77},
        {"F9", 0x78},
        {"F10", 0x79},
        {"F11", 0x7A},
        {"F12", 0x7B},
        {"HOME", 0x24},
        {"END", 0x23},
    }};
    for (const auto& [n, key] : keys)
        if (name == QLatin1String(n)) return key;
    return std::nullopt;
}

Settings::Settings(Session& session, Registry& registry, Dialogs& dialogs, TForm7& form, Dns* dns,
                   HotKey hotkey)
    : session_(session),
      registry_(registry),
      dialogs_(dialogs),
      form_(form),
      dns_(dns),
      hotkey_(std::move(hotkey)) {
    form_.onShow = [this] { FormShow(); };
    QObject::connect(form_.sButton1, &QPushButton::clicked, &form_, [this] { sButton1Click(); });
    QObject::connect(form_.sButton2, &QPushButton::clicked, &form_, [this] { sButton2Click(); });
}

// --- Registry access: a missing switch is off, a missing text is empty; a value of the
// wrong kind raises and ends the step that read it.
bool Settings::readswitch(const char* name) const {
    return registry_.readInteger(kHive, kKey, QString::fromLatin1(name)).value_or(0) != 0;
}
QString Settings::readtext(const char* name) const {
    return registry_.readString(kHive, kKey, QString::fromLatin1(name)).value_or(QString());
}
void Settings::writeswitch(const char* name, bool on) {
    registry_.writeInteger(kHive, kKey, QString::fromLatin1(name), on ? 1 : 0);
}
void Settings::writetext(const char* name, const QString& text) {
    registry_.writeString(kHive, kKey, QString::fromLatin1(name), text);
}

// --- Loading: four steps; a failure ends only its own step.
void Settings::FormCreate() {
    for (void (Settings::*step)() : {&Settings::loadhotkey, &Settings::loadautochange,
                                     &Settings::loadredial, &Settings::loadtaskmin}) {
        try {
            (this->*step)();
        } catch (...) {
        }
    }
}

void Settings::loadhotkey() {
    registry_.createKey(kHive, kKey);
    form_.shortcutdelcheck->setChecked(readswitch("shortcutdelcheck"));
    const bool on = readswitch("shortcutkeycheck");
    form_.shortcutkeycheck->setChecked(on);
    if (on) form_.shortcutname->setEditText(readtext("shortcutname"));
    if (form_.shortcutkeycheck->isChecked()) {
        session_.shortcutkeycheck = QStringLiteral("2");
        session_.shortcutname = form_.shortcutname->currentText();
        applyhotkey(session_.shortcutname);
    } else {
        session_.shortcutkeycheck = QStringLiteral("1");
        try {
            if (hotkey_.release) hotkey_.release();
        } catch (...) {
        }
    }
    session_.shortcutdelcheck = onoff(form_.shortcutdelcheck->isChecked());
}

void Settings::loadautochange() {
    registry_.createKey(kHive, kKey);
    form_.acldelcheck->setChecked(readswitch("acldelcheck"));
    const bool on = readswitch("aclcheck");
    form_.aclcheck->setChecked(on);
    if (on) form_.acltime->setText(readtext("acltime"));
    session_.aclcheck = onoff(form_.aclcheck->isChecked());
    if (form_.aclcheck->isChecked()) session_.acltime = form_.acltime->text();
    session_.acldelcheck = onoff(form_.acldelcheck->isChecked());
}

void Settings::loadredial() {
    registry_.createKey(kHive, kKey);
    const bool on = readswitch("redialcheck");
    form_.redialcheck->setChecked(on);
    if (on) form_.redialtime->setText(readtext("redialtime"));
    session_.redialcheck = onoff(form_.redialcheck->isChecked());
    if (form_.redialcheck->isChecked()) session_.redialtime = form_.redialtime->text();
}

void Settings::loadtaskmin() {
    registry_.createKey(kHive, kKey);
    if (registry_.valueExists(kHive, kKey, QStringLiteral("taskmincheck")))
        form_.taskmincheck->setChecked(readswitch("taskmincheck"));
    else
        form_.taskmincheck->setChecked(true);
    session_.taskmincheck = onoff(form_.taskmincheck->isChecked());
}

// A name that matches no key leaves no key registered, rather than the one chosen before.
void Settings::applyhotkey(const QString& name) {
    const auto key = hotkeyfor(name);
    if (key) {
        if (hotkey_.set) hotkey_.set(*key);
    } else if (hotkey_.release) {
        hotkey_.release();
    }
}

// --- Showing
void Settings::FormShow() {
    const int lang = session_.langindex;
    auto t = [&](const char* english, const QString& chinese) {
        return langtext(lang, QString::fromUtf8(english), chinese);
    };
    form_.setWindowTitle(t("Advanced settings", QStringLiteral("高级设置")));
    form_.sGroupBox1->setTitle(t("Auto Change IP setting", QStringLiteral("自动换IP")));
    form_.aclcheck->setText(t("Enable Auto Change IP", QStringLiteral("启用自动换IP")));
    form_.sLabel1->setText(lang == 3 ? totraditional(QStringLiteral("时间间隔为:"))
                                     : t("Interval:", QStringLiteral("时间间隔为：")));
    form_.sLabel2->setText(t("seconds", QStringLiteral("秒")));
    form_.sLabel4->setText(t("seconds", QStringLiteral("秒")));
    const QString clean = t("Auto clean  IE cache and Cookies when change ip",
                            QStringLiteral("换IP时自动清理IE缓存和Cookies"));
    form_.acldelcheck->setText(clean);
    form_.shortcutdelcheck->setText(clean);
    form_.sGroupBox2->setTitle(t("Change Line Hotkey setting", QStringLiteral("手工换IP热键设置")));
    form_.shortcutkeycheck->setText(t("Enable Hotkey", QStringLiteral("启用手工换IP热键")));
    form_.sGroupBox3->setTitle(t("Auto Redial", QStringLiteral("自动断线重拨")));
    form_.redialcheck->setText(t("Enable auto redial", QStringLiteral("启用断线自动重拨")));
    form_.sLabel3->setText(lang == 3 ? totraditional(QStringLiteral("重拨间隔时间:"))
                                     : t("redial interval:", QStringLiteral("重拨间隔时间：")));
    form_.sGroupBox4->setTitle(t("Other", QStringLiteral("其它")));
    form_.taskmincheck->setText(
        t("Minimized to the tray After successful", QStringLiteral("连接成功后最小化到任务栏")));
    form_.sGroupBox5->setTitle(t("DNS Settings", QStringLiteral("DNS设置")));
    form_.sRadioButton1->setText(
        t("Maintain the current DNS settings", QStringLiteral("保持当前DNS设置")));
    form_.sRadioButton2->setText(
        t("Recover the local default DNS settings", QStringLiteral("恢复默认本地DNS设置")));
    form_.sRadioButton3->setText(
        t("Set to GoogleDNS(8.8.8.8,8.8.4.4)", QStringLiteral("设置为GoogleDNS(8.8.8.8,8.8.4.4)")));
    form_.sRadioButton4->setText(t("Set to OpenDNS(208.67.222.222,208.67.220.220)",
                                   QStringLiteral("设置为OpenDNS(208.67.222.222,208.67.220.220)")));
    form_.sRadioButton5->setText(
        t("Set to security DNS(114.114.114.119,114.114.115.119)",
          QStringLiteral("设置为安全DNS(114.114.114.119,114.114.115.119)")));
    form_.sRadioButton6->setText(t("Custom setting:", QStringLiteral("手工设置为:")));
    form_.sButton1->setText(t("OK", QStringLiteral("确认")));
    form_.sButton2->setText(t("Cancel", QStringLiteral("取消")));

    const bool rotation = session_.routeenable == QLatin1String("2");
    form_.sGroupBox1->setVisible(rotation);
    form_.sGroupBox2->setVisible(rotation);
    if (!rotation) {
        form_.sGroupBox4->move(form_.sGroupBox4->x(), form_.sGroupBox3->y());
        form_.sGroupBox3->move(form_.sGroupBox1->x(), form_.sGroupBox3->y());
        form_.sGroupBox5->move(form_.sGroupBox5->x(), form_.sGroupBox1->y());
    }

    if (session_.connected) {
        // Only the DNS choice may change under a live link; the rest is shown as it stands.
        for (QWidget* w : std::initializer_list<QWidget*>{
                 form_.sGroupBox1, form_.aclcheck, form_.sLabel1, form_.acltime, form_.sLabel2,
                 form_.acldelcheck, form_.sGroupBox2, form_.shortcutkeycheck, form_.shortcutname,
                 form_.shortcutdelcheck, form_.sGroupBox3, form_.redialcheck, form_.sLabel3,
                 form_.redialtime, form_.sLabel4, form_.sGroupBox4, form_.taskmincheck})
            w->setEnabled(false);
        const QColor inactive = QApplication::palette().color(QPalette::Inactive, QPalette::Mid);
        for (QLabel* l : {form_.sLabel1, form_.sLabel2, form_.sLabel3, form_.sLabel4}) {
            QPalette p = l->palette();
            for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                p.setColor(group, QPalette::WindowText, inactive);
            l->setPalette(p);
        }
    }
}

// --- Confirmation
void Settings::warn(const QString& english, const QString& chinese) {
    dialogs_.messageBox(QString::fromUtf8(kAppTitle), langtext(session_, english, chinese),
                        MsgIcon::Warning, MsgButtons::Ok);
}

// The DNS choice is carried out first and stays done whatever the later checks decide.
bool Settings::dnsaction() {
    DnsChoice choice = DnsChoice::Keep;
    if (form_.sRadioButton2->isChecked()) choice = DnsChoice::Restore;
    if (form_.sRadioButton3->isChecked()) choice = DnsChoice::Google;
    if (form_.sRadioButton4->isChecked()) choice = DnsChoice::OpenDns;
    if (form_.sRadioButton5->isChecked()) choice = DnsChoice::Secure;
    if (form_.sRadioButton6->isChecked()) choice = DnsChoice::Custom;
    const QString custom = form_.dnsiptxt->text();
    if (choice == DnsChoice::Custom) {
        if (custom.isEmpty()) {
            warn(QStringLiteral("DNS IP can not be empty"), QStringLiteral("DNS IP不能为空"));
            return false;
        }
        // Only addresses may reach the system's resolver settings.
        if (!parsednslist(custom)) {
            warn(QStringLiteral("Invalid DNS IP address"), QStringLiteral("DNS IP格式不正确"));
            return false;
        }
    }
    if (dns_) dns_->applychoice(choice, custom);
    return true;
}

// Both intervals are checked whether or not their switch is on.
bool Settings::intervalsvalid() {
    if (form_.aclcheck->isChecked() && form_.redialcheck->isChecked()) {
        warn(QStringLiteral("Auto redial and Auto Change IP cannot simultaneously enabled"),
             QStringLiteral("自动换IP和自动重拨不能同时启用"));
        return false;
    }
    if (form_.acltime->text().isEmpty()) {
        warn(QStringLiteral("Interval can not be empty"), QStringLiteral("间隔时间不能为空"));
        return false;
    }
    if (!atleast(form_.acltime->text(), 30)) {
        warn(QStringLiteral("Interval Time cannot be less than 30 seconds"),
             QStringLiteral("间隔时间不能小于30秒"));
        return false;
    }
    if (form_.redialtime->text().isEmpty()) {
        warn(QStringLiteral("auto redial Interval can not be empty"),
             QStringLiteral("自动重拨间隔时间不能为空"));
        return false;
    }
    if (!atleast(form_.redialtime->text(), 15)) {
        warn(QStringLiteral("auto redial Interval Time cannot be less than 15 seconds"),
             QStringLiteral("自动重拨间隔时间不能小于15秒"));
        return false;
    }
    return true;
}

void Settings::savehotkey() {
    registry_.createKey(kHive, kKey);
    writeswitch("shortcutdelcheck", form_.shortcutdelcheck->isChecked());
    writeswitch("shortcutkeycheck", form_.shortcutkeycheck->isChecked());
    writetext("shortcutname", form_.shortcutname->currentText());
    if (form_.shortcutkeycheck->isChecked()) {
        session_.shortcutkeycheck = QStringLiteral("2");
        session_.shortcutname = form_.shortcutname->currentText();
        applyhotkey(session_.shortcutname);
    } else {
        session_.shortcutkeycheck = QStringLiteral("1");
        if (hotkey_.release) hotkey_.release();
    }
}

void Settings::saveautochange() {
    registry_.createKey(kHive, kKey);
    writeswitch("taskmincheck", form_.taskmincheck->isChecked());
    writeswitch("acldelcheck", form_.acldelcheck->isChecked());
    writeswitch("aclcheck", form_.aclcheck->isChecked());
    writetext("acltime", form_.acltime->text());
    if (form_.aclcheck->isChecked()) {
        session_.aclcheck = QStringLiteral("2");
        session_.acltime = form_.acltime->text();
    } else {
        session_.aclcheck = QStringLiteral("1");
    }
}

void Settings::saveredial() {
    registry_.createKey(kHive, kKey);
    writeswitch("redialcheck", form_.redialcheck->isChecked());
    writetext("redialtime", form_.redialtime->text());
    if (form_.redialcheck->isChecked()) {
        session_.redialcheck = QStringLiteral("2");
        session_.redialtime = form_.redialtime->text();
    } else {
        session_.redialcheck = QStringLiteral("1");
    }
}

void Settings::sButton1Click() {
    if (!dnsaction()) return;
    if (!intervalsvalid()) return;
    try {
        savehotkey();
    } catch (...) {
    }
    session_.shortcutdelcheck = onoff(form_.shortcutdelcheck->isChecked());
    try {
        saveautochange();
    } catch (...) {
    }
    session_.acldelcheck = onoff(form_.acldelcheck->isChecked());
    session_.taskmincheck = onoff(form_.taskmincheck->isChecked());
    try {
        saveredial();
    } catch (...) {
    }
    form_.accept();
}

void Settings::sButton2Click() {
    form_.reject();
}

}  // namespace zenrun
