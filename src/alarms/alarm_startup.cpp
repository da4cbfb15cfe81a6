#include "alarms/alarm_engine.h"

#include "app/check_box.h"
#include "app/program.h"
#include "app/settings_store.h"
#include "core/model/twips.h"
#include "clock/warning_window.h"
#include "dialogs/alarm_set_window.h"
#include "dialogs/settings_window.h"

#include <QDir>

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
                p.LoadWallpaperWindowHidden();
        }
    }
    // Later readers keep their defaults quietly; the start says it once.
    if (!reader.problem().isEmpty())
        p.form11().AnswerOk(QStringLiteral("voz.ini, file cannot be read: ") + reader.problem() +
                            QStringLiteral(". Voz uses its default settings."));
}

void Form8::fForm4Load()
{
    touch();
    Form4& f4 = p.form4();
    Form4Controls& c = f4.c();
    c.txtAm.setText(p.timeOfDay().left(2).toInt() >= 12 ? QStringLiteral("PM") : QStringLiteral("AM"));

    SettingsReader reader(p.gAppPath);
    if (reader.exists()) {
        SettingsRecord& rec = p.settingsRecord;
        reader.read(1, rec);
        if (trimBlanks(rec.Label()) != QLatin1String("[TimeInputLoc]")) {
            rec.Value1 = 0;
            rec.Value2 = 0;
        } else {
            f4.MoveTwips(rec.Value1, rec.Value2);
        }
        reader.read(3, rec);
        if (trimBlanks(rec.Label()) == QLatin1String("[SongName]"))
            p.gSongPath = p.gAppPath + trimBlanks(rec.Text()) + QStringLiteral(".wav");
        reader.read(4, rec);
        if (trimBlanks(rec.Label()) == QLatin1String("[Setting]")) {
            // The settings window's boxes set the flags; loading it reads record 4 into the buffer again.
            const std::int16_t soundOn = rec.Value1;
            const std::int16_t errMsgPop = rec.Value2;
            Form7& f7 = p.form7();
            f7.Load();
            f7.chkSoundOn->setValue(soundOn);
            f7.chkErrMsgPop->setValue(errMsgPop);
            if (!f7.Visible()) f7.Unload();
        }
    }

    if (p.gEMPlayOn == VTrue) {
        c.chkEMPlay.setValue(1);  // its click handler sets the chime up
        c.chkEMPlay.setEnabled(true);
        c.cbEMPlay.setText((p.gEMInterval >= 0 ? QStringLiteral(" ") : QString()) + QString::number(p.gEMInterval));
        c.cbEMPlay.setEnabled(false);
    }
}

void Form8::fForm4ExitClick(const ListBox& lstData)
{
    touch();
    Form4& f4 = p.form4();
    SettingsRecord& rec = p.settingsRecord;
    rec.setLabel(QStringLiteral("[TimeInputLoc]"));
    rec.Value1 = twipsToInt16(f4.TopTwips());
    rec.Value2 = twipsToInt16(f4.LeftTwips());
    storeSettingsRecordOrWarn(p, 1, rec);
    p.gAlarmWindowOpen = toVBool(!lstData.List(0).isEmpty());
}
