#include "core/alarms/alarm_engine.h"

#include "core/alarms/alarm_host.h"
#include "core/files/settings_store.h"
#include "core/model/program_state.h"
#include "core/model/twips.h"


void Form8::fForm1Load()
{
    touch();
    p.gSongPath = p.gAppPath + QStringLiteral("ding.wav");
    p.gListChanged = VTrue;
    p.gEMNextTime = -1;
    p.gWallNextTime = -1;
    p.gTrayMenuOn = VTrue;
    p.gTimerArmed = VFalse;
    p.gSoundOn = VTrue;
    p.gErrMsgPop = VTrue;
    p.gMsgWindowLoaded = VFalse;

    SettingsReader reader(p.gAppPath);
    if (reader.exists()) {
        for (int r = 4; r <= 6; ++r) {
            reader.read(r, p.settingsRecord);
            const QString text = p.settingsRecord.Text();
            if (r == 4 && trimBlanks(text) == QLatin1String("AutomaticLoadOn"))
                LoadClick(QStringLiteral("my.dat"));
            else if (r == 5 && text.left(5) == QLatin1String("Check"))
                host.loadWallpaperWindowHidden();
        }
    }
    // Later readers keep their defaults quietly; the start says it once.
    if (!reader.problem().isEmpty())
        host.tell(QStringLiteral("voz.ini, file cannot be read: ") + reader.problem() +
                            QStringLiteral(". Voz uses its default settings."));
}

void Form8::fForm4Load(TextBox& txtAm, CheckBox& chkEMPlay, ComboBox& cbEMPlay)
{
    touch();
    txtAm.setText(timeOfDay().left(2).toInt() >= 12 ? QStringLiteral("PM") : QStringLiteral("AM"));

    SettingsReader reader(p.gAppPath);
    if (reader.exists()) {
        SettingsRecord& rec = p.settingsRecord;
        reader.read(1, rec);
        if (trimBlanks(rec.Label()) != QLatin1String("[TimeInputLoc]")) {
            rec.Value1 = 0;
            rec.Value2 = 0;
        } else {
            host.moveListWindow({double(rec.Value1), double(rec.Value2)});
        }
        reader.read(3, rec);
        if (trimBlanks(rec.Label()) == QLatin1String("[SongName]"))
            p.gSongPath = p.gAppPath + trimBlanks(rec.Text()) + QStringLiteral(".wav");
        reader.read(4, rec);
        // Passed as values: setting them may read record 4 into the buffer again.
        if (trimBlanks(rec.Label()) == QLatin1String("[Setting]")) host.setSoundSettings(rec.Value1, rec.Value2);
    }

    if (p.gEMPlayOn == VTrue) {
        chkEMPlay.setValue(1);  // its click handler sets the chime up
        chkEMPlay.setEnabled(true);
        cbEMPlay.setText((p.gEMInterval >= 0 ? QStringLiteral(" ") : QString()) + QString::number(p.gEMInterval));
        cbEMPlay.setEnabled(false);
    }
}

void Form8::fForm4ExitClick(const ListBox& lstData)
{
    touch();
    const TwipsPlace at = host.listWindowPlace();
    SettingsRecord& rec = p.settingsRecord;
    rec.setLabel(QStringLiteral("[TimeInputLoc]"));
    rec.Value1 = twipsToInt16(at.top);
    rec.Value2 = twipsToInt16(at.left);
    storeSettingsRecordOrWarn(p, host, 1, rec);
    p.gAlarmWindowOpen = toVBool(!lstData.List(0).isEmpty());
}
