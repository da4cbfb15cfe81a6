#include "app/session.h"
#include "support/test_program.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace {
struct SessionEvent {
    const char* name;
    std::function<void()> happen;
    bool ends;
};

void PrintTo(const SessionEvent& e, std::ostream* os) { *os << e.name; }

QSessionManager& sessionManager()
{
    auto* sm = qApp->findChild<QSessionManager*>();
    if (!sm) throw std::runtime_error("the application has no session manager");
    return *sm;
}

struct SessionTest : ::testing::TestWithParam<SessionEvent> {
    TestProgram t;
};
}  // namespace

TEST_P(SessionTest, OnlyTheRealEndOfTheSessionEndsTheProgram)
{
    {
        SessionWatch watch(t.program);
        GetParam().happen();
        // A signal arrives through the event loop; its socket is readable at once.
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(t.platform.ended, GetParam().ends);
    // Ending never deletes the tray icon on this path.
    EXPECT_EQ(t.platform.calls, GetParam().ends ? QStringList{QStringLiteral("end")} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Events, SessionTest,
    ::testing::Values(
        // A checkpoint asks for the data and the state, as a logout does first.
        SessionEvent{"Checkpoint",
                     [] {
                         emit qApp->commitDataRequest(sessionManager());
                         emit qApp->saveStateRequest(sessionManager());
                     },
                     false},
        // The session manager's die reaches the application as a Quit event.
        SessionEvent{"SessionDies",
                     [] {
                         QEvent quit(QEvent::Quit);
                         QCoreApplication::sendEvent(qApp, &quit);
                     },
                     true},
        SessionEvent{"Terminated", [] { std::raise(SIGTERM); }, true},
        SessionEvent{"Interrupted", [] { std::raise(SIGINT); }, true},
        SessionEvent{"HungUp", [] { std::raise(SIGHUP); }, true}),
    [](const ::testing::TestParamInfo<SessionEvent>& info) { return std::string(info.param.name); });
