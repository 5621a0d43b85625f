#include "lines/speedtestform.h"

#include <QListWidget>
#include <QPushButton>

namespace zenrun {

TForm1::TForm1(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("速度测试"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setFixedSize(340, 220);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(10, 10, 320, 160);
    Button1 = new QPushButton(QStringLiteral("重新测试"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(120, 180, 100, 28);
}

void TForm1::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (onShow) onShow();
}

}  // namespace zenrun
