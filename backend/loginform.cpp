#include "backend/loginform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "core/appinfo.h"
#include "ui/appicon.h"
#include "ui/webpane.h"

namespace zenrun {

namespace {
constexpr int kWidth = 349;
constexpr int kHeight = 285;

template <typename W>
W* place(W* w, const char* name, int x, int y, int width, int height) {
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(x, y, width, height);
    return w;
}

// Enter belongs to the edit fields (they start the login); no button may take it as the
// dialog's default as well, or one key press would log in twice.
QPushButton* button(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}
}  // namespace

Tfrmlogin::Tfrmlogin(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmlogin"));
    setWindowTitle(QString::fromUtf8(kAppTitle));
    setWindowIcon(appicon());
    setFixedSize(kWidth, kHeight);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    wb1 = place(new WebPane(this), "wb1", 0, 0, kWidth, 72);
    wb1->setFocusPolicy(Qt::NoFocus);  // the window opens with the cursor in the user name

    sGroupBox1 = place(new QGroupBox(QStringLiteral("登陆"), this), "sGroupBox1", 6, 76, 337, 172);
    sLabel1 = place(new QLabel(QStringLiteral("用户名:"), sGroupBox1), "sLabel1", 14, 26, 72, 22);
    edt_user = place(new QLineEdit(sGroupBox1), "edt_user", 88, 24, 150, 26);
    sLabel2 = place(new QLabel(QStringLiteral("密  码:"), sGroupBox1), "sLabel2", 14, 60, 72, 22);
    edt_pass = place(new QLineEdit(sGroupBox1), "edt_pass", 88, 58, 150, 26);
    edt_pass->setEchoMode(QLineEdit::Password);
    sLabel3 = place(new QLabel(QStringLiteral("语  言:"), sGroupBox1), "sLabel3", 14, 94, 72, 22);
    lang = place(new QComboBox(sGroupBox1), "lang", 88, 92, 150, 26);
    lang->addItems(
        {QStringLiteral("简体中文"), QStringLiteral("English"), QStringLiteral("繁体中文")});
    lang->installEventFilter(this);

    chkpass =
        place(new QCheckBox(QStringLiteral("记住密码"), sGroupBox1), "chkpass", 246, 26, 88, 22);
    chkstatus =
        place(new QCheckBox(QStringLiteral("断线重拨"), sGroupBox1), "chkstatus", 246, 60, 88, 22);
    chkstatus->hide();
    sButton1 = place(button(QStringLiteral("帐户注册"), sGroupBox1), "sButton1", 246, 90, 84, 28);
    sButton3 = place(button(QStringLiteral("联系客服"), sGroupBox1), "sButton3", 246, 58, 84, 28);
    sButton3->hide();
    btn_login = place(button(QStringLiteral("登  陆"), sGroupBox1), "btn_login", 88, 130, 72, 30);
    btn_exit = place(button(QStringLiteral("关  闭"), sGroupBox1), "btn_exit", 166, 130, 72, 30);

    bottomPanel = place(new QFrame(this), "bottomPanel", 0, kHeight - 32, kWidth, 32);
    bottomPanel->setFrameShape(QFrame::StyledPanel);
    Label3 = place(new QLabel(QStringLiteral("欢迎使用Zenrun 11.0"), bottomPanel), "Label3", 8, 4,
                   kWidth - 16, 24);
    Label3->setStyleSheet(QStringLiteral("color: red;"));

    // Outside the visible client area: present, never seen.
    Label1 = place(new QLabel(QStringLiteral("注册帐户"), this), "Label1", kWidth + 20, 0, 80, 20);
    Label1->setCursor(Qt::PointingHandCursor);
    Label1->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
    Label1->installEventFilter(this);
    Button1 = place(button(QStringLiteral("判断语言"), this), "Button1", kWidth + 20, 30, 80, 26);
    Button1->hide();

    setTabOrder(edt_user, edt_pass);
    setTabOrder(edt_pass, lang);
    setTabOrder(lang, chkpass);
    setTabOrder(chkpass, btn_login);
    setTabOrder(btn_login, btn_exit);
    setTabOrder(btn_exit, sButton1);
    edt_user->setFocus();

    if (const QScreen* screen = this->screen()) {
        const QRect r = screen->availableGeometry();
        move(r.center() - QPoint(kWidth / 2, kHeight / 2));
    }
}

void Tfrmlogin::reject() {
    if (onCloseQuery && !onCloseQuery()) return;
    QDialog::reject();
}

void Tfrmlogin::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (onShow) onShow();
}

bool Tfrmlogin::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lang && event->type() == QEvent::MouseButtonDblClick && onLangDblClick) {
        onLangDblClick();
        return true;
    }
    if (watched == Label1 && event->type() == QEvent::MouseButtonRelease && onLabel1Click) {
        onLabel1Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace zenrun
