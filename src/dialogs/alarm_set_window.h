#pragma once
#include "core/alarms/alarm_set_controls.h"
#include "app/form.h"
#include "core/model/truth.h"

#include <QString>
#include <array>
#include <memory>

// Form4, "Voz Alarm Set": the window where the user builds the day's alarm list. Its lists are
// the program's live alarm list, so closing only hides it.
class Form4 : public FormBase {
public:
    explicit Form4(Program& p);

    // Window-level variables, set again each time the window loads.
    VBool Switch = VTrue;
    QString strTimesOfPlay;
    VBool SFjumper = VFalse;

    // Touching the controls loads the window.
    Form4Controls& c();

    // Also run by the clock to set the chime up afresh when it lags.
    void chkEMPlay_Click();
    void cbEMPlay_Click();
    void txtTime_Change();
    // Opens the message input window for the selected alarm.
    void lstData_DblClick();
    // On: the alarm list gives way to the hourglass; off: the reverse.
    void ShowMessagePlaceholder(bool on);

    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdDeleteAll_Click();
    void cmdLoad_Click();
    void cmdSaveFile_Click();
    void cmdEditor_Click();
    void cmdExit_Click();
    void cmdMin_Click();
    void cmdUp_Click();
    void cmdDown_Click();
    void lblLabel1_Click();

    // The widgets, while the window is loaded (tests and screenshots reach them by these names).
    QWidget* Widget(const char* name) const;

protected:
    void CreateControls(FormWindow* w) override;
    Qt::WindowFlags WindowFlags() const override;
    void ReleaseControls() override;
    void Form_Load() override;
    // A close request from the window manager is "Exit": unloading would lose the lists.
    void CloseBoxClicked() override { cmdExit_Click(); }

private:
    void CreateWidgets(FormWindow* w);
    std::unique_ptr<Form4Controls> m_c;
};
