#include <QApplication>

#include "app/clientapp.h"
#include "core/appinfo.h"
#include "core/session.h"
#include "platform/platform.h"
#include "ui/appicon.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zenrun"));
    QApplication::setApplicationVersion(QString::fromUtf8(zenrun::kAppVersion));
    // Every window, message boxes included, carries the icon; the desktop matches the
    // windows to zenrun.desktop.
    QApplication::setWindowIcon(zenrun::appicon());
    QGuiApplication::setDesktopFileName(QStringLiteral("zenrun"));
    // The window hides to the tray; only the close handler ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    zenrun::Session& session = zenrun::Session::instance();
    session.apppath = QCoreApplication::applicationDirPath() + QLatin1Char('/');

    const auto platform = zenrun::makePlatform(zenrun::platformOptionsFromEnvironment());
    zenrun::ClientApp client(session, *platform, {});
    if (!client.start()) return 0;
    return QApplication::exec();
}
