// Resident memory of the program after every window has been opened and closed once.
// It starts as voz does (QApplication, the desktop platform, Form1's load from a program folder),
// then opens each window the way its command does, shows it on screen, closes it, and prints
// VmRSS and VmHWM from /proc/self/status before and after. Usage: voz_memory PROGRAM_FOLDER
#include "app/program.h"
#include "clock/load_error_window.h"
#include "clock/main_window.h"
#include "clock/message_window.h"
#include "clock/warning_window.h"
#include "dialogs/about_window.h"
#include "dialogs/alarm_set_window.h"
#include "dialogs/file_chooser_window.h"
#include "dialogs/message_input_window.h"
#include "dialogs/overwrite_window.h"
#include "dialogs/settings_window.h"
#include "platform/qt_platform.h"
#include "wallpaper/wallpaper_window.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QMenu>

#include <QMap>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray statusLine(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return "?";
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(qstrlen(key)).simplified();
    return "?";
}

void report(const char* when)
{
    std::printf("%-28s VmRSS %-12s VmHWM %s\n", when, statusLine("VmRSS:").constData(),
                statusLine("VmHWM:").constData());
    std::fflush(stdout);
}

// Resident kB by what is mapped: a file (a library, a font) or the heap and other anonymous memory.
QMap<QByteArray, qint64> residentByMapping()
{
    QMap<QByteArray, qint64> kb;
    QFile f(QStringLiteral("/proc/self/smaps"));
    if (!f.open(QIODevice::ReadOnly)) return kb;
    QByteArray name;
    for (const QByteArray& line : f.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 5 && fields[0].contains('-') && !fields[0].endsWith(':'))
            name = fields.size() >= 6 ? fields[5] : QByteArray("[anonymous]");
        else if (fields.size() >= 2 && fields[0] == "Rss:")
            kb[name] += fields[1].toLongLong();
    }
    return kb;
}

// What grew most between two readings: the report names where the windows' memory went.
void reportGrowth(const QMap<QByteArray, qint64>& before, const QMap<QByteArray, qint64>& after)
{
    std::vector<std::pair<qint64, QByteArray>> growth;
    for (auto it = after.begin(); it != after.end(); ++it)
        if (const qint64 d = it.value() - before.value(it.key()); d > 0) growth.emplace_back(d, it.key());
    std::sort(growth.begin(), growth.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    growth.resize(std::min<size_t>(growth.size(), 10));
    for (const auto& [kb, name] : growth) std::printf("grew %6lld kB  %s\n", static_cast<long long>(kb), name.constData());
}

// Lets the window system map and draw what was shown.
// Closed windows are deleted later, as in the program's event loop; outside it, only on request.
void settle()
{
    QDeadlineTimer until(300);
    while (!until.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void chooseMenuItem(Form1& f1, const QString& caption)
{
    for (QAction* a : f1.PopupMenu()->actions())
        if (a->text() == caption) return a->trigger();
    std::fprintf(stderr, "no menu item %s\n", qPrintable(caption));
}

// Shows a window, lets it draw, closes it from code.
template <typename Open>
bool openAndClose(FormBase& form, const char* name, Open open)
{
    open();
    settle();
    const bool shown = form.Visible();
    form.Unload();
    settle();
    std::printf("  %-26s %-16s VmRSS %s\n", name, shown ? "shown and closed" : "DID NOT SHOW",
                statusLine("VmRSS:").constData());
    return shown;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Voz"));
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc < 2) {
        std::fprintf(stderr, "usage: voz_memory PROGRAM_FOLDER\n");
        return 2;
    }
    QtPlatform platform;
    Program program(platform);
    Form1& f1 = program.form1();
    f1.Form_Load(QString::fromLocal8Bit(argv[1]));
    settle();
    report("started:");
    const QMap<QByteArray, qint64> atStart = residentByMapping();

    bool all = true;
    all &= openAndClose(program.form3(), "About", [&] { chooseMenuItem(f1, QStringLiteral("About")); });
    all &= openAndClose(program.form7(), "Settings", [&] { chooseMenuItem(f1, QStringLiteral("Settings")); });
    // The Alarm Set window stays open while the windows it opens are shown.
    chooseMenuItem(f1, QStringLiteral("Alarm Set"));
    settle();
    Form4& f4 = program.form4();
    all &= f4.Visible();
    f4.c().lstData.AddItem(QStringLiteral("once 23:59:59"));
    f4.c().lstData.setListIndex(0);
    all &= openAndClose(program.form5(), "Input message", [&] { f4.lstData_DblClick(); });
    f4.ShowMessagePlaceholder(false);
    all &= openAndClose(program.form14(), "Voz files (chooser)", [&] { f4.cmdLoad_Click(); });
    all &= openAndClose(program.form13(), "Overwrite confirmation",
                        [&] { program.form13().FileAlreadyExist([] {}); });
    all &= openAndClose(program.form11(), "Warning",
                        [&] { program.form11().AnswerOk(QStringLiteral("Invalid input")); });
    all &= openAndClose(program.form10(), "Load data error", [&] {
        program.form10().AddErrorLine(QStringLiteral("line 1: bad"));
        program.form10().Show();
    });
    all &= openAndClose(program.form6(), "Message", [&] {
        program.form6().SetMsgText(QStringLiteral("Tea"));
        program.form6().Show();
    });
    f4.c().lstData.Clear();
    f4.Unload();
    settle();
    std::printf("  %-26s %-16s VmRSS %s\n", "Alarm Set", "shown and closed", statusLine("VmRSS:").constData());
    all &= openAndClose(program.form12(), "Wallpaper", [&] { chooseMenuItem(f1, QStringLiteral("Wallpaper")); });
    report("every window opened+closed:");
    reportGrowth(atStart, residentByMapping());
    return all ? 0 : 1;
}
