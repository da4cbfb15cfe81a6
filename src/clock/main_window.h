#pragma once
#include "core/model/truth.h"

#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <cstdint>

class Program;
class QMenu;
class QAction;
class NoTrayWindow;

// Form1, the hidden main window: tray icon, popup menu and the clock tick; never shown.
// Its timer drives all timed work.
class Form1 : public QObject {
    Q_OBJECT
public:
    explicit Form1(Program& p);
    ~Form1() override;

    // Program start. startFolder is the folder of the running program.
    void Form_Load(const QString& startFolder);

    // The tray icon's mouse notification (WM_LBUTTONUP, WM_RBUTTONUP, ...).
    void TrayNotify(int mouseMessage);
    // A notification area shows the icon (true) or there is none (false): the no-tray window
    // goes or comes.
    void TrayHostChanged(bool shown);
    // The window shown while there is no notification area; null while none was needed.
    NoTrayWindow* NoTrayWindowShown() const;

    void mOpen_Click();
    void mAlarmSet_Click();
    void mSetting_Click();
    void mWallpaper_Click();
    void mHelp_Click();
    void mStop_Click();
    void mDisabled_Click();
    void mRemove_Click();
    void Form_QueryUnload();

    void WhoWillForeground(std::int16_t tmpWho);

    // The clock tick, every 800 ms.
    void Timer1_Timer();

    // Timer1 as the other windows see it: stopped around sound error boxes and while disabled.
    void StartTimer1();
    void StopTimer1();
    bool Timer1Enabled() const { return m_timerEnabled; }
    // The second the precise wake is set for, between two ticks; invalid when none is set.
    QDateTime ExactWakeAt() const { return m_exact.isActive() ? m_exactAt : QDateTime(); }

    bool DisabledChecked() const { return m_disabled; }
    QMenu* PopupMenu();
    QStringList MenuCaptions();
    int Image1Handle() const { return m_hImage1; }
    int XclockHandle() const { return m_hXclock; }

    QImage Image1;
    QImage imgXclock1;

signals:
    // The popup menu is about to show / has closed; lets the desktop tests and screenshots follow.
    void popupShown();

private:
    void StopAllSound();
    void SecondCheck();
    void EMChime();
    void EMResync();
    void EMNextTime();
    void IdleCheck();
    void WallpaperResync();
    void WallpaperChange();
    void WallpaperReplan();
    void RunTick();
    void ArmExactWake();
    void ExactWake();

    Program& p;
    QTimer m_timer;
    // Single shot at the start of the next second with timed work, so that it is not left to
    // the 800 ms tick to come upon it up to 800 ms late.
    QTimer m_exact;
    QDateTime m_exactAt;
    int m_earlyWakes = 0;
    bool m_blockHooked = false;  // wakes that came before m_exactAt by the wall clock
    bool m_timerEnabled = false;
    bool m_disabled = false;
    int m_hImage1 = 0;
    int m_hXclock = 0;
    QMenu* m_popup = nullptr;
    QAction* m_disabledAction = nullptr;
    NoTrayWindow* m_noTray = nullptr;
};
