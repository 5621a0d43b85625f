#pragma once

#include <QIcon>

namespace zenrun {

// The program's icon (desktop/zenrun.svg, drawn at the usual sizes) for every window and the
// tray.
QIcon appicon();

}  // namespace zenrun
