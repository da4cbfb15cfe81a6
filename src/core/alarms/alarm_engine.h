#pragma once
#include "core/model/controls.h"
#include "core/model/truth.h"

#include <QString>
#include <array>
#include <cstdint>

class AlarmHost;
struct ProgramState;

// Form8, the invisible alarm list engine: the logic behind the Alarm Set window's commands.
// It keeps nothing between calls; every operation sets its private state before use. It reaches
// the windows only through its host.
class Form8 {
public:
    Form8(ProgramState& state, AlarmHost& host);

    void Unload();
    bool Loaded() const { return m_loaded; }

    void Sorting(const QString& strAlarmClock, const QString& strTimesOfPlay);
    void TimePassed(const QString& line, VBool& passed);
    void LoadClick(const QString& fFileName);
    void Filting(const QString& TtmpData, VBool& Fdata);
    void SaveFileClick(const QString& fFileName);
    // Writes both lists to the file of the program folder, replacing it; warns when that fails,
    // and when the Alarm Set window, which holds the lists, has been unloaded.
    bool WriteDataFile(const QString& fFileName);
    // Opens the named file of the program folder in the desktop's text editor.
    void EditorClick(const QString& fFileName);

    void SongClick(ComboBox& cmbSong);
    void SongDropDown(VBool& SFjumper, ComboBox& cmbSong);
    void PlayBClick(ComboBox& cmbSong);
    void ViewMClick(TextBox& txtViewM, ListBox& lstMessage, Button& cmdViewM);

    void AddClick(VBool& Switch, std::array<TextBox, 4>& txtTime, TextBox& txtAm, ComboBox& cbPlayTimes,
                  QString& strTimesOfPlay, ComboBox& cbHour, ComboBox& cbMin, ComboBox& cbSec);
    void HourDropDown(VBool& Switch, std::array<TextBox, 4>& txtTime, Shape& shpInputTime, Shape& shpClickTime);
    void MinDropDown(VBool& Switch, ComboBox& cbMin, Shape& shpInputTime, Shape& shpClickTime,
                     std::array<TextBox, 4>& txtTime);
    void SecDropDown(VBool& Switch, ComboBox& cbSec, Shape& shpInputTime, Shape& shpClickTime,
                     std::array<TextBox, 4>& txtTime);
    void Label1Click(VBool& Switch, Shape& shpInputTime, Shape& shpClickTime, std::array<TextBox, 4>& txtTime);
    void UpClick(TextBox& txtAm);
    void DownClick(TextBox& txtAm);
    void cClearMsg(ListBox& lstMessage, const ListBox& lstData);

    void fForm1Load();
    // The Alarm Set window's load: its place, the song and sound settings, the chime's boxes.
    void fForm4Load(TextBox& txtAm, CheckBox& chkEMPlay, ComboBox& cbEMPlay);
    void fForm4ExitClick(const ListBox& lstData);

    // Private state, public for the tests that follow an operation.
    QString strAlarmTime;
    QString strDataLine;
    VBool bLineOk = VFalse;
    std::int16_t iCheck = 0;

private:
    void touch() { m_loaded = true; }
    // A drop-down opened: the time is taken from the lists, not typed.
    void ToListMode(VBool& Switch, Shape& shpInputTime, Shape& shpClickTime, std::array<TextBox, 4>& txtTime);
    QString Hour24(const QString& H, const QString& A) const;
    QString timeOfDay() const;

    ProgramState& p;
    AlarmHost& host;
    bool m_loaded = false;
};
