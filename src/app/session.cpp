#include "app/session.h"

#include "app/form.h"
#include "app/program.h"
#include "clock/main_window.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWindow>

#include <csignal>
#include <iterator>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};
const int kEndSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction g_previous[std::size(kEndSignals)];

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

FormBase* formOf(QWindow* w)
{
    if (!w) return nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() == w) {
            if (auto* fw = qobject_cast<FormWindow*>(top)) return fw->form();
            return nullptr;
        }
    }
    return nullptr;
}
}  // namespace

SessionWatch::SessionWatch(Program& program) : p(program)
{
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
        if (FormBase* f = formOf(now)) p.activationChanged(f);
    });
    // The session manager asks for data to be committed at every checkpoint as well as before a
    // logout, so that request ends nothing; a session that really ends sends "die", which reaches
    // the application as a Quit event (see eventFilter).
    qApp->installEventFilter(this);
    // Any other way out of the event loop ends the same way.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { p.form1().Form_QueryUnload(); });

    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            char c;
            [[maybe_unused]] ssize_t n = ::read(g_signalPipe[0], &c, 1);
            p.form1().Form_QueryUnload();
        });
        struct sigaction sa {};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        for (std::size_t i = 0; i < std::size(kEndSignals); ++i) sigaction(kEndSignals[i], &sa, &g_previous[i]);
    }
}

SessionWatch::~SessionWatch()
{
    if (g_signalPipe[0] < 0) return;
    for (std::size_t i = 0; i < std::size(kEndSignals); ++i) sigaction(kEndSignals[i], &g_previous[i], nullptr);
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    g_signalPipe[0] = g_signalPipe[1] = -1;
}

bool SessionWatch::eventFilter(QObject* watched, QEvent* event)
{
    // Quit comes from the session manager's die or the platform asking the program to quit.
    // Handled here, before Qt would ask the windows to close, which ours may refuse.
    if (watched == qApp && event->type() == QEvent::Quit) {
        p.form1().Form_QueryUnload();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
