#pragma once

#include <QString>

namespace zenrun {

// A file replaced atomically (QSaveFile) is written to a temporary beside it ("NAME.XXXXXX")
// and renamed over it; a write killed before the rename leaves that temporary behind for good.
// Removes such temporaries of `file` older than a minute: a write takes milliseconds, so an
// older one belongs to no write still running.
void removeStaleSaveTemps(const QString& file);

}  // namespace zenrun
