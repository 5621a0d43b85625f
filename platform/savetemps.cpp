#include "platform/savetemps.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace zenrun {

void removeStaleSaveTemps(const QString& file) {
    const QFileInfo info(file);
    const QDateTime cutoff = QDateTime::currentDateTimeUtc().addSecs(-60);
    const QString prefix = info.fileName() + QLatin1Char('.');
    const QDir dir = info.absoluteDir();
    for (const QFileInfo& temp :
         dir.entryInfoList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden)) {
        const QString tail = temp.fileName().mid(prefix.size());
        const bool ours = std::all_of(tail.begin(), tail.end(), [](QChar c) {
            return c.isLetterOrNumber() && c.unicode() < 128;
        });
        if (ours && temp.lastModified().toUTC() < cutoff) QFile::remove(temp.absoluteFilePath());
    }
}

}  // namespace zenrun
