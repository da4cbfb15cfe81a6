#include "clock/main_window.h"

#include "clock/front_window.h"

#include "core/alarms/alarm_engine.h"
#include "core/alarms/alarm_host.h"
#include "core/alarms/alarm_tick.h"
#include "app/program.h"
#include "core/clock/caption_clock.h"
#include "clock/message_window.h"
#include "clock/no_tray_window.h"
#include "clock/sound_module.h"
#include "clock/tray_icons.h"
#include "clock/warning_window.h"
#include "dialogs/about_window.h"
#include "dialogs/alarm_set_window.h"
#include "dialogs/settings_window.h"
#include "dialogs/message_input_window.h"
#include "dialogs/file_chooser_window.h"
#include "dialogs/overwrite_window.h"
#include "core/check_kit.h"
#include "platform/wayland_session.h"
#include "wallpaper/wallpaper_window.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>

#include <algorithm>
#include <cstdlib>

namespace {
// Guards against a tick starting inside another tick while pending window messages run.
struct TickGuard {
    explicit TickGuard(bool& flag) : f(flag) { f = true; }
    ~TickGuard() { f = false; }
    bool& f;
};
bool g_inTick = false;
}  // namespace

Form1::Form1(Program& program) : p(program)
{
    m_timer.setInterval(800);
    m_timer.setTimerType(Qt::PreciseTimer);  // every wall-clock second must see a tick
    connect(&m_timer, &QTimer::timeout, this, &Form1::Timer1_Timer);
    m_exact.setSingleShot(true);
    m_exact.setTimerType(Qt::PreciseTimer);
    connect(&m_exact, &QTimer::timeout, this, &Form1::ExactWake);
    p.setTickRunning = [this](bool run) { run ? StartTimer1() : StopTimer1(); };
}

Form1::~Form1()
{
    p.setTickRunning = nullptr;
    delete m_noTray;
    delete m_popup;
}

void Form1::Form_Load(const QString& startFolder)
{
    QString folder = startFolder;
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    p.gAppPath = folder;

    Image1 = drawClockIcon();
    imgXclock1 = drawDisabledClockIcon();
    m_hImage1 = p.platform.registerIcon(Image1);
    m_hXclock = p.platform.registerIcon(imgXclock1);

    p.form8().fForm1Load();

    NotifyIconData& d = p.gTrayIcon;
    d = NotifyIconData{};
    d.cbSize = 88;
    d.hWnd = reinterpret_cast<std::uintptr_t>(this);
    d.uID = 1;
    d.uFlags = 7;
    d.uCallbackMessage = 0x200;
    d.hIcon = m_hImage1;
    std::fill(std::begin(d.szTip), std::end(d.szTip), ' ');
    d.szTip[0] = 'V';
    d.szTip[1] = 'o';
    d.szTip[2] = 'z';
    d.szTip[3] = '\0';
    p.platform.setTrayCallback([this](int message) { TrayNotify(message); });
    p.platform.setTrayMenu(PopupMenu());
    p.platform.setTrayHostCallback([this](bool shown) { TrayHostChanged(shown); });
    p.platform.shellNotifyIcon(NIM_ADD, d);

    p.form8().Unload();
    StartTimer1();
}

void Form1::StartTimer1()
{
    m_timerEnabled = true;
    if (!QCoreApplication::instance()) return;
    m_timer.start();
    // Whatever changed the next due second (an add, a delete, a load, the chime or wallpaper
    // set up) did so in an event handler: look again before the program sleeps. Cheap unless
    // the list changed.
    if (!m_blockHooked) {
        if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
            connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &Form1::ArmExactWake);
            m_blockHooked = true;
        }
    }
    ArmExactWake();
}

void Form1::StopTimer1()
{
    m_timerEnabled = false;
    m_timer.stop();
    m_exact.stop();
}

void Form1::StopAllSound()
{
    p.platform.sndPlaySound(QString(), SND_NODEFAULT_STOP);
    p.platform.mciSendString(QStringLiteral("close tmpMidiPlay"));
}

QMenu* Form1::PopupMenu()
{
    if (m_popup) return m_popup;
    m_popup = new QMenu;
    m_popup->setObjectName(QStringLiteral("mPopup"));
    m_popup->setTitle(QStringLiteral("Popup"));
    m_popup->addAction(QStringLiteral("About"), this, &Form1::mOpen_Click);
    m_popup->addSeparator();
    m_popup->addAction(QStringLiteral("Alarm Set"), this, &Form1::mAlarmSet_Click);
    m_popup->addAction(QStringLiteral("Settings"), this, &Form1::mSetting_Click);
    m_popup->addAction(QStringLiteral("Wallpaper"), this, &Form1::mWallpaper_Click);
    m_popup->addSeparator();
    m_popup->addAction(QStringLiteral("Help"), this, &Form1::mHelp_Click);
    m_popup->addAction(QStringLiteral("Stop"), this, &Form1::mStop_Click);
    m_popup->addSeparator();
    m_disabledAction = m_popup->addAction(QStringLiteral("Disabled"));
    m_disabledAction->setCheckable(true);
    // The handler toggles the check itself, so the action must not toggle it first.
    connect(m_disabledAction, &QAction::triggered, this, [this] {
        m_disabledAction->setChecked(m_disabled);
        mDisabled_Click();
    });
    m_popup->addAction(QStringLiteral("Remove"), this, &Form1::mRemove_Click);
    return m_popup;
}

QStringList Form1::MenuCaptions()
{
    QStringList out;
    for (QAction* a : PopupMenu()->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

void Form1::TrayNotify(int mouseMessage)
{
    if (p.gTrayMenuOn != VTrue) return;
    if (mouseMessage == WM_LBUTTONUP) {
        StopAllSound();
    } else if (mouseMessage == WM_RBUTTONUP) {
        p.gForegroundResult = p.platform.setForegroundWindow(nullptr);
        QMenu* menu = PopupMenu();
        prepareMenuWithoutParent(menu);
        // Right edge at the cursor.
        const QPoint at = p.platform.trayMenuPosition() - QPoint(menu->sizeHint().width(), 0);
        emit popupShown();
        menu->exec(at);
    }
}

void Form1::TrayHostChanged(bool shown)
{
    if (shown) {
        if (m_noTray) m_noTray->hide();
        return;
    }
    if (!m_noTray) m_noTray = new NoTrayWindow(PopupMenu(), m_disabled ? imgXclock1 : Image1);
    m_noTray->comeForward();
}

NoTrayWindow* Form1::NoTrayWindowShown() const { return m_noTray && m_noTray->isVisible() ? m_noTray : nullptr; }

void Form1::mOpen_Click()
{
    // Asked for again while open, the About window comes to the front.
    p.form3().Show();
    p.form3().window()->raise();
    p.form3().window()->activateWindow();
}

void Form1::mAlarmSet_Click()
{
    p.gAlarmWindowOpen = VTrue;
    Form4& w = p.form4();
    if (w.Minimized()) {
        w.SetNormalState();
    } else {
        w.Show();
        w.window()->raise();
        w.window()->activateWindow();
    }
}

void Form1::mSetting_Click()
{
    Form7& f7 = p.form7();
    if (f7.Minimized()) f7.SetNormalState();
    else f7.Show();
}

void Form1::mWallpaper_Click()
{
    Form12& w = p.form12();
    if (w.Minimized()) {
        w.SetNormalState();
        if (!w.Visible()) w.Show();  // minimised, then hidden by its schedule's "Close"
    } else {
        w.Show();
        w.window()->raise();
        w.window()->activateWindow();
    }
}

void Form1::mHelp_Click()
{
    const QString helpFile = p.gAppPath + QStringLiteral("help.chm");
    if (QFileInfo(helpFile).isFile()) {
        // A viewer of compiled help files, else whatever the desktop opens them with.
        for (const QString& viewer : {QStringLiteral("xchm"), QStringLiteral("kchmviewer")}) {
            const QString path = p.platform.findProgram(viewer);
            if (!path.isEmpty() && p.platform.startProgram(path, {helpFile})) return;
        }
        // Without any of them the click would do nothing at all: say so.
        if (!p.platform.startProgram(QStringLiteral("xdg-open"), {helpFile}))
            p.form11().AnswerOk(QStringLiteral("Help viewer not found"));
    } else {
        p.form11().AnswerOk(QStringLiteral("Help file not found"));
    }
}

void Form1::mStop_Click() { StopAllSound(); }

void Form1::mDisabled_Click()
{
    m_disabled = !m_disabled;
    if (m_disabledAction) m_disabledAction->setChecked(m_disabled);
    if (m_disabled) {
        StopTimer1();
        p.gTrayIcon.hIcon = m_hXclock;
    } else {
        StartTimer1();
        p.gTrayIcon.hIcon = m_hImage1;
    }
    p.platform.shellNotifyIcon(NIM_MODIFY, p.gTrayIcon);
    if (m_noTray) m_noTray->setPicture(m_disabled ? imgXclock1 : Image1);
}

void Form1::mRemove_Click()
{
    p.platform.shellNotifyIcon(NIM_DELETE, p.gTrayIcon);
    p.platform.endProgram();
}

void Form1::Form_QueryUnload() { p.platform.endProgram(); }

void Form1::WhoWillForeground(std::int16_t tmpWho) { FrontWindow::PutBackOnTop(p, tmpWho); }

// ---- the clock tick -------------------------------------------------------------------------

void Form1::Timer1_Timer()
{
    if (g_inTick) return;
    RunTick();
    ArmExactWake();
}

void Form1::RunTick()
{
    TickGuard guard(g_inTick);

    if (p.gTimerArmed == VTrue) {
        alarmTick(p, p.host());
        SecondCheck();
        EMChime();
        if (p.gWallNextTime != -1) {
            const QTime t = p.platform.now().time();
            if ((p.gWallInterval < 60 && t.minute() == p.gWallNextTime) ||
                (p.gWallInterval >= 60 && t.hour() == p.gWallNextTime))
                WallpaperChange();
        }
        IdleCheck();
    }
    if (p.gMsgWindowLoaded == VTrue && p.form6().Loaded())
        p.form6().SetCaption(QStringLiteral("Message  ") + generalDateTime(p.platform.now()));
}

void Form1::ArmExactWake()
{
    if (g_inTick || !m_timerEnabled || !QCoreApplication::instance()) return;
    const QDateTime now = p.platform.now();
    const ListBox* lstData = p.form4().Loaded() ? &p.form4().c().lstData : nullptr;
    const QDateTime due = nextDueSecond(p, lstData, now);
    if (!due.isValid()) {
        m_exact.stop();
        return;
    }
    if (due != m_exactAt) m_earlyWakes = 0;
    // A wall clock that keeps coming short of the second is left to the 800 ms tick.
    if (m_earlyWakes > 3) return;
    // A millisecond into the second, never before it; a far one is looked at again on the way.
    const qint64 ms = std::clamp<qint64>(now.msecsTo(due) + 1, 1, 3600 * 1000);
    // The timer runs on the monotonic clock: a wall clock set or slewed since shows as a
    // remaining time that no longer fits.
    if (due == m_exactAt && m_exact.isActive() && std::abs(m_exact.remainingTime() - ms) <= 10) return;
    m_exactAt = due;
    m_exact.start(static_cast<int>(ms));
}

void Form1::ExactWake()
{
    // Short of the second by a little: the wall clock runs behind the timer's (a far one was a
    // stage of a long wait, or the clock was set back).
    const qint64 early = p.platform.now().msecsTo(m_exactAt);
    if (early > 0 && early < 1000) ++m_earlyWakes;
    Timer1_Timer();
}

void Form1::SecondCheck()
{
    const QTime t = p.platform.now().time();
    const int second = t.second();
    // A passed alarm needs no second 0: the alarm steps report it in the tick that sees it.
    if (second == 30 && p.gEMPlayOn == VTrue) EMResync();
    if (second == 45 && p.gWallNextTime != -1) WallpaperResync();
}

void Form1::EMChime()
{
    if (p.gEMPlayOn != VTrue) return;
    const QTime t = p.platform.now().time();
    const bool due = (p.gEMInterval != 60 && t.minute() == p.gEMNextTime) ||
                     (p.gEMInterval == 60 && t.hour() == p.gEMNextTime);
    if (!due) return;
    if (p.gSoundOn == VTrue && t.second() < 3)
        p.platform.sndPlaySound(p.gAppPath + QStringLiteral("didi.snd"), SND_ASYNC);
    EMNextTime();
}

void Form1::EMResync()
{
    const QTime t = p.platform.now().time();
    const int hour = t.hour();
    const int minute = t.minute();
    if (p.gEMInterval == 60 && p.gEMNextTime < hour) {
        if (!(hour == 23 && p.gEMNextTime == 0)) {
            p.gEMNextTime = static_cast<std::int16_t>(p.gEMNextTime + 1);
            if (p.gEMNextTime == 24) p.gEMNextTime = 0;
        }
    } else if (p.gEMInterval != 60 && p.gEMNextTime < minute) {
        if (!(p.gEMNextTime == 0 && minute >= 30)) p.form4().chkEMPlay_Click();
    }
}

void Form1::EMNextTime()
{
    CheckKit kit(p.platform.now());
    kit.CalcEMNext(p.gEMInterval, p.gEMNextTime);
}

void Form1::IdleCheck()
{
    if (p.gHasAlarms == VFalse && p.gAlarmWindowOpen == VFalse) {
        p.form4().Unload();
        if (p.gWallNextTime == -1 && p.gEMPlayOn == VFalse) p.gTimerArmed = VFalse;
    }
}

void Form1::WallpaperResync()
{
    const QTime t = p.platform.now().time();
    const int m = t.minute(), h = t.hour(), n = p.gWallNextTime, i = p.gWallInterval;
    bool replan = false;
    // Target 0 is the coming midnight only within one interval of it; later it was missed.
    if (i >= 60 && n < h) replan = !(n == 0 && 24 - h <= i / 60);
    else if (i < 60 && n < m) replan = !(n == 0 && m >= 30 && 60 - m <= i);
    else if (i < 60 && n > m && n - m > i) replan = true;
    if (!replan) return;
    p.gWallByTimer = VTrue;
    WallpaperReplan();
}

void Form1::WallpaperChange() { p.form12().EMShowToShow(); }

void Form1::WallpaperReplan()
{
    Form12& w = p.form12();
    w.chkChange_Click();
    if (!w.Visible()) w.Unload();
}
