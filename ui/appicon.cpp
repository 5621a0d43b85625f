#include "ui/appicon.h"

#include <QSize>

namespace zenrun {

QIcon appicon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/zenrun/icons/%1x%1/zenrun.png").arg(size),
                     QSize(size, size));
    return icon;
}

}  // namespace zenrun
