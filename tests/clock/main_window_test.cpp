#include "clock/main_window.h"
#include "clock/message_window.h"
#include "clock/no_tray_window.h"
#include "clock/warning_window.h"
#include "dialogs/about_window.h"
#include "dialogs/alarm_set_window.h"
#include "dialogs/settings_window.h"
#include "rodidad/class1_interface.h"
#include "wallpaper/wallpaper_window.h"
#include "support/test_program.h"

#include <QAction>
#include <QHash>
#include <QMenu>
#include <QTimer>
#include <QAbstractButton>
#include <gtest/gtest.h>

#include <functional>

namespace {
struct MainWindowTest : ProgramTest {
    Form1& f = p.form1();
    QStringList endCalls() const
    {
        return t.platform.calls.size() == 2 && t.platform.calls[0].startsWith(QStringLiteral("tray 2"))
                   ? QStringList{QStringLiteral("tray 2"), t.platform.calls[1]}
                   : t.platform.calls;
    }
};
const QStringList kStopCalls{"snd \"\" 4", "mci close tmpMidiPlay"};
const QStringList kEndCalls{"tray 2", "end"};
}  // namespace

// Each item of the menu, in its place, runs its own command; "-" is a separator.
TEST_F(MainWindowTest, EveryMenuItemRunsItsCommand)
{
    p.createClass1 = [](QString*) { return nullptr; };  // the wallpaper window opens without its library
    const struct {
        const char* caption;
        std::function<bool()> done;
    } items[] = {
        {"About", [&] { return p.form3().Visible(); }},
        {"-", {}},
        {"Alarm Set", [&] { return p.form4().Visible(); }},
        {"Settings", [&] { return p.form7().Visible(); }},
        {"Wallpaper", [&] { return p.form12().Visible(); }},
        {"-", {}},
        {"Help", [&] { return warnings().contains(QStringLiteral("Help file not found")); }},
        {"Stop", [&] { return t.platform.calls == kStopCalls; }},
        {"-", {}},
        {"Disabled", [&] { return f.DisabledChecked() && !f.Timer1Enabled(); }},
        {"Remove", [&] { return endCalls() == kEndCalls; }},
    };
    const QList<QAction*> actions = f.PopupMenu()->actions();
    ASSERT_EQ(actions.size(), std::size(items));
    for (qsizetype i = 0; i < actions.size(); ++i) {
        SCOPED_TRACE(items[i].caption);
        if (!items[i].done) {
            EXPECT_TRUE(actions[i]->isSeparator());
            continue;
        }
        EXPECT_EQ(actions[i]->text(), QString::fromLatin1(items[i].caption));
        t.platform.calls.clear();
        actions[i]->trigger();
        EXPECT_TRUE(items[i].done()) << t.platform.calls.join(u'|').toStdString();
    }
    EXPECT_TRUE(actions[9]->isCheckable());
}

TEST_F(MainWindowTest, LeftClickStopsSoundUnlessASoundErrorBoxIsUp)
{
    t.platform.calls.clear();
    ASSERT_TRUE(t.platform.trayCallback);
    t.platform.trayCallback(WM_LBUTTONUP);
    EXPECT_EQ(t.platform.calls, kStopCalls);

    t.platform.calls.clear();
    p.gTrayMenuOn = VFalse;
    t.platform.trayCallback(WM_LBUTTONUP);
    p.gTrayMenuOn = 1;  // not -1: still not allowed
    t.platform.trayCallback(WM_LBUTTONUP);
    t.platform.trayCallback(0x201);
    EXPECT_TRUE(t.platform.calls.isEmpty());
}

TEST_F(MainWindowTest, DisabledSwapsIconAndStopsTheClockUntilUnchecked)
{
    f.mDisabled_Click();
    EXPECT_TRUE(f.DisabledChecked());
    EXPECT_FALSE(f.Timer1Enabled());
    EXPECT_EQ(t.platform.trayMessages.back(), NIM_MODIFY);
    EXPECT_EQ(t.platform.trayCalls.back().hIcon, f.XclockHandle());
    EXPECT_STREQ(t.platform.trayCalls.back().szTip, "Voz");
    f.mDisabled_Click();
    EXPECT_FALSE(f.DisabledChecked());
    EXPECT_TRUE(f.Timer1Enabled());
    EXPECT_EQ(t.platform.trayCalls.back().hIcon, f.Image1Handle());
}

TEST_F(MainWindowTest, HelpWarnsWithoutHelpFileAndOpensAViewerWithIt)
{
    f.mHelp_Click();
    EXPECT_EQ(warnings(), QStringList{"Help file not found"});
    EXPECT_TRUE(t.platform.started.empty());

    t.writeFile(QStringLiteral("help.chm"), "ITSF");
    f.mHelp_Click();
    ASSERT_EQ(t.platform.started.size(), 1u);
    EXPECT_EQ(t.platform.started[0].first, QStringLiteral("xdg-open"));
    EXPECT_EQ(t.platform.started[0].second, QStringList{t.path(QStringLiteral("help.chm"))});

    t.platform.programsOnPath.insert(QStringLiteral("kchmviewer"), QStringLiteral("/usr/bin/kchmviewer"));
    f.mHelp_Click();
    EXPECT_EQ(t.platform.started.back().first, QStringLiteral("/usr/bin/kchmviewer"));
    p.form11().cmdOk_Click();

    // Nothing can be started: the user hears why rather than nothing at all.
    t.platform.startResult = false;
    t.platform.started.clear();
    f.mHelp_Click();
    EXPECT_EQ(t.platform.started.size(), 2u);  // kchmviewer, then xdg-open
    EXPECT_EQ(warnings(), QStringList{"Help viewer not found"});
}

TEST_F(MainWindowTest, WhoWillForegroundRaisesOnlyAVisibleFrontWindow)
{
    t.platform.calls.clear();
    f.WhoWillForeground(0);
    f.WhoWillForeground(kFrontMessage);
    f.WhoWillForeground(kFrontWarning);  // not loaded: nothing, and it is not loaded by asking
    EXPECT_TRUE(t.platform.calls.isEmpty());
    EXPECT_FALSE(p.form11().Loaded());

    p.form6().Show();
    p.form11().AnswerOk(QStringLiteral("x"));
    t.platform.calls.clear();
    f.WhoWillForeground(kFrontMessage);
    EXPECT_TRUE(t.platform.calls.isEmpty());
    f.WhoWillForeground(kFrontWarning);
    EXPECT_EQ(t.platform.calls, QStringList{"topmost Voz Warning Message"});
}

TEST_F(MainWindowTest, RightClickOpensTheMenuWithItsRightEdgeWhereThePlatformSays)
{
    // A StatusNotifierItem host names the point; the pointer is elsewhere.
    t.platform.menuPosition = QPoint(500, 300);
    QRect seen;
    QTimer::singleShot(0, f.PopupMenu(), [&] {
        seen = f.PopupMenu()->geometry();
        f.PopupMenu()->close();
    });
    t.platform.trayCallback(WM_RBUTTONUP);
    EXPECT_EQ(seen.x() + seen.width(), 500);
    EXPECT_EQ(seen.y(), 300);
}

TEST_F(MainWindowTest, NoTrayWindowFollowsTheTrayAndRunsTheMenusOwnCommands)
{
    ASSERT_TRUE(t.platform.trayHostCallback);
    EXPECT_EQ(t.platform.trayMenu, f.PopupMenu());
    t.platform.trayHostCallback(true);
    EXPECT_EQ(f.NoTrayWindowShown(), nullptr);

    t.platform.trayHostCallback(false);
    NoTrayWindow* w = f.NoTrayWindowShown();
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QStringList captions;
    QHash<QString, QAbstractButton*> buttons;
    for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
        captions << b->text();
        buttons.insert(b->text(), b);
    }
    QStringList items = f.MenuCaptions();
    items.removeAll(QStringLiteral("-"));
    EXPECT_EQ(captions, items);

    // The window's "Disabled" is the menu's: check, icon and clock change together, both ways.
    for (const bool checked : {true, false}) {
        buttons.value(QStringLiteral("Disabled"))->click();
        EXPECT_EQ(f.DisabledChecked(), checked);
        EXPECT_EQ(buttons.value(QStringLiteral("Disabled"))->isChecked(), checked);
        EXPECT_EQ(f.PopupMenu()->actions().at(9)->isChecked(), checked);
        EXPECT_EQ(f.Timer1Enabled(), !checked);
        EXPECT_EQ(t.platform.trayCalls.back().hIcon, checked ? f.XclockHandle() : f.Image1Handle());
    }
    t.platform.calls.clear();
    buttons.value(QStringLiteral("Stop"))->click();
    EXPECT_EQ(t.platform.calls, kStopCalls);

    // Closing only minimises: the window is the only way in.
    w->close();
    EXPECT_EQ(f.NoTrayWindowShown(), w);
    t.platform.trayHostCallback(true);
    EXPECT_EQ(f.NoTrayWindowShown(), nullptr);
    t.platform.trayHostCallback(false);
    EXPECT_EQ(f.NoTrayWindowShown(), w);
    EXPECT_FALSE(w->isMinimized());

    t.platform.calls.clear();
    buttons.value(QStringLiteral("Remove"))->click();
    EXPECT_EQ(endCalls(), kEndCalls);
}
