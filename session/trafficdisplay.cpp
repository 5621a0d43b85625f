#include "session/trafficdisplay.h"

#include <QComboBox>
#include <QLabel>

#include "core/langtext.h"
#include "core/session.h"
#include "platform/clock.h"
#include "platform/platform.h"
#include "platform/ras.h"
#include "session/statusbarpanels.h"
#include "session/traffictext.h"
#include "ui/mainwindow.h"

namespace zenrun {

namespace {
const QString kRed = QStringLiteral("color: red;");
}

TrafficDisplay::TrafficDisplay(Session& session, Platform& platform, Tfrmmain& form)
    : session_(session), platform_(platform), form_(form) {}

void TrafficDisplay::rast12Timer() {
    if (!platform_.ras) return;  // no dial-up service: no link can be up
    Ras& ras = *platform_.ras;
    ras.currentStatusEx(session_.connhandle);
    ras.watch(kTrafficSlot, session_.connhandle);
    if (ras.connectState() != kRasConnected) return;
    ras.refreshCounters();

    // Each output reads the counters and the clock when it is written.
    const auto reading = [&] {
        return datatext(session_.langindex, ras.bytesXmited(), ras.bytesRcved(),
                        onlinemillis(session_.conntime, platform_.clock->now()));
    };
    if (QLabel* panel = statusbarpanel(form_.StatusBar1, 1)) panel->setText(reading());
    form_.datalabel->setStyleSheet(kRed);
    form_.datalabel->setText(reading());
    form_.statuslabel->setStyleSheet(kRed);
    form_.statuslabel->setText(
        langtext(session_, QStringLiteral("Connected"), QStringLiteral("连接成功")));
    form_.linelabel->setStyleSheet(kRed);
    form_.linelabel->setText(
        langtext(session_, QStringLiteral("Line:"), QStringLiteral("连接线路：")) +
        form_.IPAddrTxt->currentText());
}

}  // namespace zenrun
