#include "app/program.h"
#include "app/session.h"
#include "clock/main_window.h"
#include "platform/qt_platform.h"
#include "platform/wayland_session.h"
#include "wallpaper/rodidad_client.h"

#include <QApplication>

int main(int argc, char** argv)
{
    const bool choseXWayland = preferXWayland();
    QApplication app(argc, argv);
    if (choseXWayland) qunsetenv("QT_QPA_PLATFORM");
    QApplication::setApplicationName(QStringLiteral("Voz"));
    QApplication::setQuitOnLastWindowClosed(false);  // there is no main window to close

    QtPlatform platform;
    Program program(platform);
    SessionWatch session(program);
    // Class1 by its class id, from the library beside the program (gAppPath is set at load).
    program.createClass1 = [&program](QString* reason) { return CreateClass1(program.gAppPath, reason); };
    program.form1().Form_Load(QCoreApplication::applicationDirPath());
    return app.exec();
}
