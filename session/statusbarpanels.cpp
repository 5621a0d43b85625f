#include "session/statusbarpanels.h"

#include <QLabel>
#include <QStatusBar>

namespace zenrun {

namespace {
constexpr int kPanels = 3;
QString panelname(int index) {
    return QStringLiteral("panel%1").arg(index);
}
}  // namespace

QLabel* statusbarpanel(QStatusBar* bar, int index) {
    if (!bar || index < 1 || index >= kPanels) return nullptr;
    QLabel* wanted = nullptr;
    for (int i = 1; i < kPanels; ++i) {
        auto* panel = bar->findChild<QLabel*>(panelname(i), Qt::FindDirectChildrenOnly);
        if (!panel) {
            // Permanent: a message in panel 0 must not hide them.
            panel = new QLabel(bar);
            panel->setObjectName(panelname(i));
            bar->addPermanentWidget(panel, 1);
        }
        if (i == index) wanted = panel;
    }
    return wanted;
}

}  // namespace zenrun
