#include "settings/settingsform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace zenrun {

namespace {
constexpr int kWidth = 824;
constexpr int kHeight = 420;
constexpr int kColumn = 400;

template <typename W>
W* place(W* w, const char* name, int x, int y, int width, int height) {
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(x, y, width, height);
    return w;
}
}  // namespace

// Two columns. When the rotation groups (1 and 2) are hidden, the DNS group moves to the top
// of the left column and the redial and other groups move up beside each other below it, so
// the designed positions are chosen to leave no overlap in either arrangement.
TForm7::TForm7(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(QStringLiteral("高级设置"));
    setFixedSize(kWidth, kHeight);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);

    sGroupBox1 = place(new QGroupBox(this), "sGroupBox1", 8, 8, kColumn, 176);
    aclcheck = place(new QCheckBox(sGroupBox1), "aclcheck", 14, 28, 340, 24);
    sLabel1 = place(new QLabel(sGroupBox1), "sLabel1", 14, 62, 130, 24);
    acltime = place(new QLineEdit(QStringLiteral("180"), sGroupBox1), "acltime", 146, 60, 80, 26);
    sLabel2 = place(new QLabel(sGroupBox1), "sLabel2", 234, 62, 120, 24);
    acldelcheck = place(new QCheckBox(sGroupBox1), "acldelcheck", 14, 98, 350, 24);

    sGroupBox2 = place(new QGroupBox(this), "sGroupBox2", 416, 8, kColumn, 176);
    shortcutkeycheck = place(new QCheckBox(sGroupBox2), "shortcutkeycheck", 14, 28, 340, 24);
    shortcutname = place(new QComboBox(sGroupBox2), "shortcutname", 14, 60, 120, 26);
    shortcutname->setEditable(true);
    shortcutname->addItems({QStringLiteral("F6"), QStringLiteral("F7"), QStringLiteral("F8"),
                            QStringLiteral("F9"), QStringLiteral("F10"), QStringLiteral("F11"),
                            QStringLiteral("F12"), QStringLiteral("HOME"), QStringLiteral("END")});
    shortcutname->setCurrentIndex(0);
    shortcutdelcheck = place(new QCheckBox(sGroupBox2), "shortcutdelcheck", 14, 98, 350, 24);

    sGroupBox5 = place(new QGroupBox(this), "sGroupBox5", 8, 192, kColumn, 176);
    sRadioButton1 = place(new QRadioButton(sGroupBox5), "sRadioButton1", 14, 24, 380, 22);
    sRadioButton2 = place(new QRadioButton(sGroupBox5), "sRadioButton2", 14, 48, 380, 22);
    sRadioButton3 = place(new QRadioButton(sGroupBox5), "sRadioButton3", 14, 72, 380, 22);
    sRadioButton4 = place(new QRadioButton(sGroupBox5), "sRadioButton4", 14, 96, 380, 22);
    sRadioButton5 = place(new QRadioButton(sGroupBox5), "sRadioButton5", 14, 120, 380, 22);
    sRadioButton6 = place(new QRadioButton(sGroupBox5), "sRadioButton6", 14, 144, 130, 22);
    dnsiptxt = place(new QLineEdit(QStringLiteral("202.96.128.86,202.96.134.33"), sGroupBox5),
                     "dnsiptxt", 146, 142, 240, 26);
    sRadioButton5->setToolTip(QStringLiteral(
        "此DNS拦截钓鱼、病毒、木马等网站  增强网银、证券、购物、游戏、隐私信息安全"));
    dnsiptxt->setToolTip(QStringLiteral("输入你想设置的DNS服务器IP地址，2个地址之间用逗号分开"));
    auto* group = new QButtonGroup(this);
    for (QRadioButton* r :
         {sRadioButton1, sRadioButton2, sRadioButton3, sRadioButton4, sRadioButton5, sRadioButton6})
        group->addButton(r);
    sRadioButton1->setChecked(true);

    sGroupBox3 = place(new QGroupBox(this), "sGroupBox3", 416, 192, kColumn, 96);
    redialcheck = place(new QCheckBox(sGroupBox3), "redialcheck", 14, 28, 340, 24);
    sLabel3 = place(new QLabel(sGroupBox3), "sLabel3", 14, 60, 130, 24);
    redialtime =
        place(new QLineEdit(QStringLiteral("30"), sGroupBox3), "redialtime", 146, 58, 80, 26);
    sLabel4 = place(new QLabel(sGroupBox3), "sLabel4", 234, 60, 120, 24);

    sGroupBox4 = place(new QGroupBox(this), "sGroupBox4", 416, 296, kColumn, 72);
    taskmincheck = place(new QCheckBox(sGroupBox4), "taskmincheck", 14, 30, 350, 24);

    sButton1 = place(new QPushButton(this), "sButton1", 628, 380, 90, 30);
    sButton2 = place(new QPushButton(this), "sButton2", 726, 380, 90, 30);
    sButton1->setAutoDefault(false);
    sButton2->setAutoDefault(false);
}

void TForm7::showEvent(QShowEvent* event) {
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
    if (onShow) onShow();
}

}  // namespace zenrun
