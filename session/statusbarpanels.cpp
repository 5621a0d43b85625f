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
    if (!bar || index < 0 || index >= kPanels) return nullptr;
    if (auto* found = bar->findChild<QLabel*>(panelname(index), Qt::FindDirectChildrenOnly))
        return found;
    QLabel* wanted = nullptr;
    for (int i = 0; i < kPanels; ++i) {
        auto* panel = bar->findChild<QLabel*>(panelname(i), Qt::FindDirectChildrenOnly);
        if (!panel) {
            panel = new QLabel(bar);
            panel->setObjectName(panelname(i));
            bar->addWidget(panel, 1);
        }
        if (i == index) wanted = panel;
    }
    return wanted;
}

}  // namespace zenrun
