#include "backend/loginform.h"

#include "app/appinfo.h"

namespace zenrun {

Tfrmlogin::Tfrmlogin(Session& session, Platform& platform, QWidget* parent)
    : QDialog(parent), session_(session), platform_(platform) {
    setObjectName(QStringLiteral("frmlogin"));
    setWindowTitle(QString::fromUtf8(kAppTitle));
    setFixedSize(349, 285);
    setWindowFlag(Qt::WindowStaysOnTopHint);
}

}  // namespace zenrun
