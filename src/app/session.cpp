#include "app/session.h"

#include "app/form.h"
#include "app/program.h"
#include "clock/main_window.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QWindow>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

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

void watchSession(Program& program)
{
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, qApp,
                     [&program](QWindow* now) {
                         if (FormBase* f = formOf(now)) program.activationChanged(f);
                     });
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp,
                     [&program](QSessionManager&) { program.form1().Form_QueryUnload(); });

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
        QObject::connect(notifier, &QSocketNotifier::activated, qApp,
                         [&program] { program.form1().Form_QueryUnload(); });
        struct sigaction sa {};
        sa.sa_handler = onSignal;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &sa, nullptr);
        sigaction(SIGINT, &sa, nullptr);
        sigaction(SIGHUP, &sa, nullptr);
    }
}
