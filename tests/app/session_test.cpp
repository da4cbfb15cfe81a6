#include "app/session.h"
#include "support/test_program.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {
QSessionManager& sessionManager()
{
    auto* sm = qApp->findChild<QSessionManager*>();
    if (!sm) throw std::runtime_error("the application has no session manager");
    return *sm;
}
}  // namespace

TEST(SessionTest, OnlyTheRealEndOfTheSessionEndsTheProgram)
{
    const struct {
        const char* name;
        std::function<void()> happen;
        bool ends;
    } events[] = {
        // A checkpoint asks for the data and the state, as a logout does first.
        {"Checkpoint",
         [] {
             emit qApp->commitDataRequest(sessionManager());
             emit qApp->saveStateRequest(sessionManager());
         },
         false},
        // The session manager's die reaches the application as a Quit event.
        {"SessionDies",
         [] {
             QEvent quit(QEvent::Quit);
             QCoreApplication::sendEvent(qApp, &quit);
         },
         true},
        {"Terminated", [] { std::raise(SIGTERM); }, true},
        {"Interrupted", [] { std::raise(SIGINT); }, true},
        {"HungUp", [] { std::raise(SIGHUP); }, true},
    };
    for (const auto& e : events) {
        SCOPED_TRACE(e.name);
        TestProgram t;
        {
            SessionWatch watch(t.program);
            e.happen();
            // A signal arrives through the event loop; its socket is readable at once.
            QCoreApplication::processEvents();
        }
        EXPECT_EQ(t.platform.ended, e.ends);
        // Ending never deletes the tray icon on this path.
        EXPECT_EQ(t.platform.calls, e.ends ? QStringList{QStringLiteral("end")} : QStringList{});
    }
}
