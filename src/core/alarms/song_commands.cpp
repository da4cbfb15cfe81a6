#include "core/alarms/alarm_engine.h"

#include "core/alarms/alarm_host.h"
#include "core/files/settings_store.h"
#include "core/model/program_state.h"

#include <QDir>
#include <algorithm>

namespace {
const QString kWave = QStringLiteral(".wav");

// The chosen item of a list, or nothing when none is chosen.
bool chosenItem(const ListBox& list, QString& item)
{
    if (list.ListIndex() == -1) return false;
    item = list.List(list.ListIndex());
    return true;
}
}  // namespace

void Form8::SongClick(ComboBox& cmbSong)
{
    touch();
    QString song;
    if (!chosenItem(cmbSong, song)) return;
    p.gSongPath = p.gAppPath + song + kWave;
    SettingsRecord& rec = p.settingsRecord;
    rec.setLabel(QStringLiteral("[SongName]"));
    rec.Value1 = 0;
    rec.Value2 = 0;
    rec.setText(song);
    storeSettingsRecordOrWarn(p, host, 3, rec);
}

void Form8::SongDropDown(VBool& SFjumper, ComboBox& cmbSong)
{
    touch();
    if (SFjumper != VFalse) return;
    // Only names that end in ".wav" exactly: the song is played as name + ".wav", so a file
    // "x.WAV" listed as "x" could never be found on a case-sensitive file system.
    QStringList names;
    const QStringList files =
        QDir(p.gAppPath).entryList({QStringLiteral("*") + kWave}, QDir::Files | QDir::CaseSensitive, QDir::Unsorted);
    for (const QString& file : files)
        if (file.size() > kWave.size()) names << file.chopped(kWave.size());
    // The directory's own order differs between file systems; a fixed order keeps the list alike.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
    cmbSong.AddItems(names);
    SFjumper = VTrue;
}

void Form8::PlayBClick(ComboBox& cmbSong)
{
    touch();
    QString song;
    if (!chosenItem(cmbSong, song)) return;
    // Trying the song plays it even with "Sound on" off; a file that cannot play stays silent.
    host.trySong(p.gAppPath + song + kWave);
}

void Form8::ViewMClick(TextBox& txtViewM, ListBox& lstMessage, Button& cmdViewM)
{
    touch();
    if (txtViewM.Visible()) {
        txtViewM.setVisible(false);
        txtViewM.setText(QString());
        cmdViewM.setCaption(QStringLiteral("View Message"));
        return;
    }
    if (lstMessage.List(0).isEmpty()) return;
    const QString joint = QString(199, QLatin1Char(' ')) + QStringLiteral("\r\n ^-^ ");
    QString view;
    for (int i = 0; i < lstMessage.ListCount(); ++i) {
        if (view.isEmpty())
            view = lstMessage.List(i);
        else
            view += joint + lstMessage.List(i);
    }
    txtViewM.setText(view);
    txtViewM.setVisible(true);
    cmdViewM.setCaption(QStringLiteral("Hide Message"));
}
