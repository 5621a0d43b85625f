#pragma once

// A private X server for tests that need real key presses: Xvfb on a display number it
// chooses itself, keys typed into it with xdotool.

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace zenrun::testing {

// Starts Xvfb in `xvfb` when both Xvfb and xdotool are installed. The display (":N"), or
// empty when there is none; the server ends with `xvfb`.
inline QString startXvfb(QProcess& xvfb) {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        return {};
    // -displayfd lets the server choose a free display number.
    xvfb.start(QStringLiteral("Xvfb"),
               {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                QStringLiteral("640x480x24")});
    if (!xvfb.waitForStarted(5000) || !xvfb.waitForReadyRead(10000)) return {};
    return QLatin1Char(':') + QString::fromLatin1(xvfb.readLine().trimmed());
}

// Presses and releases `key` (an X key name, "F9") on `display`.
inline bool sendKey(const QString& display, const char* key) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("xdotool"), {QStringLiteral("key"), QString::fromLatin1(key)});
    return p.waitForFinished(10000) && p.exitCode() == 0;
}

}  // namespace zenrun::testing
