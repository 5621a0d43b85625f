#include "vpn/layouts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

#include "core/session.h"
#include "ui/mainwindow.h"

namespace zenrun {

namespace {
void setlinechoice(Tfrmmain& f, bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{f.IPAddrTxt, f.AreaTxt2, f.routetype,
                                                      f.btn_conn, f.rb_pptp, f.rb_lp2p, f.cesu,
                                                      f.linenametxt, f.linenamesearch})
        w->setEnabled(on);
    f.btn_disconn->setEnabled(!on);
}
}  // namespace

void connectinglayout(Tfrmmain& form) {
    setlinechoice(form, false);
    form.btn_speed->setEnabled(false);
    form.vt1->setEnabled(false);
}

void idlelayout(Tfrmmain& form, Session& session) {
    form.btn_speed->setEnabled(true);
    form.vt1->setEnabled(true);
    form.rast12->setEnabled(false);
    form.statuscheck->setEnabled(false);
    session.connected = false;
    setlinechoice(form, true);
}

void setred(QLabel& label) {
    label.setStyleSheet(QStringLiteral("color: red;"));
}
void setwindowtext(QLabel& label) {
    label.setStyleSheet(QString());
}

}  // namespace zenrun
