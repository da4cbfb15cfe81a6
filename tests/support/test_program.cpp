#include "support/test_program.h"

#include "clock/main_window.h"

#include <QApplication>
#include <QFile>

void ensureApplication()
{
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char arg0[] = "voz_tests";
    static char* argv[] = {arg0, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    (void)app;
}

TestProgram::TestProgram()
{
    ensureApplication();
    platform.runtimeDir = dir.path() + QStringLiteral("/run/");
    program.gAppPath = dir.path() + QLatin1Char('/');
}

TestProgram::~TestProgram() = default;

void TestProgram::start() { program.form1().Form_Load(dir.path()); }

QString writeFileIn(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.path() + QLatin1Char('/') + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    return path;
}

void TestProgram::writeFile(const QString& file, const QByteArray& bytes) const { writeFileIn(dir, file, bytes); }

QByteArray TestProgram::readFile(const QString& file) const
{
    QFile f(dir.path() + QLatin1Char('/') + file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
