#include "backend/updatenotice.h"

#include <QLabel>
#include <QPushButton>

#include "core/langtext.h"
#include "core/session.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "platform/shell.h"
#include "ui/uifont.h"

namespace zenrun {

namespace {
const char kNoticeEnglish[] =
    "There have been updated version, the old version may not be available, we strongly "
    "recommend that you download the latest version";

QString tr3(const Session& s, const char* english, const char* chinese) {
    return langtext(s, QString::fromUtf8(english), QString::fromUtf8(chinese));
}
}  // namespace

TForm6::TForm6(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("软件更新"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(360, 160);
    sLabel1 = new QLabel(QStringLiteral("已经有新版，请立即下载更新，否则可能无法使用"), this);
    sLabel1->setObjectName(QStringLiteral("sLabel1"));
    sLabel1->setGeometry(20, 16, 320, 80);
    sLabel1->setWordWrap(true);
    sLabel1->setStyleSheet(QStringLiteral("color: red;"));
    sLabel1->setFont(uifont(QStringLiteral("Arial"), 12));
    sButton1 = new QPushButton(QStringLiteral("立即下载"), this);
    sButton1->setObjectName(QStringLiteral("sButton1"));
    sButton1->setGeometry(70, 110, 100, 30);
    sButton2 = new QPushButton(QStringLiteral("下次再说"), this);
    sButton2->setObjectName(QStringLiteral("sButton2"));
    sButton2->setGeometry(190, 110, 100, 30);
}

void TForm6::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (onShow) onShow();
}

UpdateNotice::UpdateNotice(Session& session, Shell& shell, TForm6& form)
    : session_(session), shell_(shell), form_(form) {
    form_.onShow = [this] { FormShow(); };
    QObject::connect(form_.sButton1, &QPushButton::clicked, &form_, [this] { sButton1Click(); });
    QObject::connect(form_.sButton2, &QPushButton::clicked, &form_, [this] { sButton2Click(); });
}

void UpdateNotice::FormShow() {
    form_.setWindowTitle(tr3(session_, "Update", "软件更新"));
    form_.sLabel1->setText(
        tr3(session_, kNoticeEnglish, "已经有新版，请立即下载更新，否则可能无法使用"));
    form_.sButton1->setText(tr3(session_, "Download", "立即下载"));
    form_.sButton2->setText(tr3(session_, "Cancel", "下次再说"));
}

void UpdateNotice::sButton1Click() {
    try {
        shell_.openUrl(session_.updateurl);
    } catch (...) {
        // An unusable address fails quietly; the choice still counts.
    }
    session_.updateflag = QStringLiteral("2");
    form_.accept();
}

void UpdateNotice::sButton2Click() {
    form_.reject();
}

void showupdatenotice(Session& session, Platform& platform, QWidget* parent) {
    TForm6 form(parent);
    UpdateNotice notice(session, *platform.shell, form);
    notice.FormShow();  // the texts are right before the first paint, and under test too
    platform.dialogs->execModal(form);
}

VersionReminder::VersionReminder(Session& session, Dialogs& dialogs, Timer& vercheck)
    : session_(session), dialogs_(dialogs), vercheck_(vercheck) {
    vercheck_.setHandler([this] { vercheckTimer(); });
}

void VersionReminder::vercheckTimer() {
    if (session_.vercheckcount > 1) {
        vercheck_.setEnabled(false);
        return;
    }
    if (session_.newversion == QLatin1String(kOutdatedVersion)) {
        dialogs_.trayBalloon(
            tr3(session_, "Update Info", "更新提示"),
            tr3(session_, kNoticeEnglish, "已经有更新版本，强烈建议您下载最新版本"),
            MsgIcon::Information, 10000);
    }
    ++session_.vercheckcount;
}

}  // namespace zenrun
