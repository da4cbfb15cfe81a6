#include "app/program.h"
#include "app/session.h"
#include "clock/main_window.h"
#include "platform/qt_platform.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voz"));
    QApplication::setQuitOnLastWindowClosed(false);  // there is no main window to close

    QtPlatform platform;
    Program program(platform);
    SessionWatch session(program);
    program.form1().Form_Load(QCoreApplication::applicationDirPath());
    return app.exec();
}
