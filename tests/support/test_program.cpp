#include "support/test_program.h"

#include "clock/main_window.h"
#include "clock/warning_window.h"
#include "core/files/settings_file.h"

#include <QApplication>
#include <QDir>
#include <QWidget>

void ensureApplication()
{
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char arg0[] = "voz_tests";
    static char* argv[] = {arg0, nullptr};
    new QApplication(argc, argv);  // lives as long as the process
    QApplication::setQuitOnLastWindowClosed(false);
}

TestProgram::TestProgram()
{
    ensureApplication();
    platform.runtimeDir = dir.path() + QStringLiteral("/run/");
    program.gAppPath = dir.path() + QLatin1Char('/');
}

void TestProgram::start() { program.form1().Form_Load(dir.path()); }

SettingsRecord TestProgram::record(int n) const
{
    SettingsRecord r;
    SettingsReader(program.gAppPath).read(n, r);
    return r;
}

QStringList TestProgram::warnings()
{
    QStringList out;
    if (program.form11().Visible()) out << program.form11().LabelText();
    for (const auto& copy : program.form11Copies())
        if (copy->Visible()) out << copy->LabelText();
    return out;
}

QStringList TestProgram::answerWarnings()
{
    const QStringList told = warnings();
    // A copy's OK removes it from the list: answer the last first.
    while (!program.form11Copies().empty()) program.form11Copies().back()->cmdOk_Click();
    if (program.form11().Loaded()) program.form11().cmdOk_Click();
    return told;
}

void screenshot(QWidget* window, const QString& file)
{
    const QString dir = qEnvironmentVariable("VOZ_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    window->grab().save(dir + QLatin1Char('/') + file);
}
