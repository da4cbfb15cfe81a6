#include "core/alarms/alarm_engine.h"

#include "core/alarms/alarm_file.h"
#include "core/alarms/alarm_host.h"
#include "core/alarms/alarm_list.h"
#include "core/alarms/time_text.h"
#include "core/check_kit.h"
#include "core/files/readable_file.h"
#include "core/model/program_state.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

Form8::Form8(ProgramState& state, AlarmHost& alarmHost) : p(state), host(alarmHost) {}

QString Form8::timeOfDay() const { return timeOfDayText(host.now()); }

void Form8::Unload()
{
    m_loaded = false;
    strAlarmTime.clear();
    strDataLine.clear();
    bLineOk = VFalse;
    iCheck = 0;
}

void Form8::Sorting(const QString& strAlarmClock, const QString& strTimesOfPlay)
{
    touch();
    ListBox& lstData = host.lstData();
    if (addAlarmEntry(p, lstData, strAlarmClock, strTimesOfPlay, host.now().date()) == SortResult::Refused)
        host.tell(QStringLiteral("Double time alarm is not permitted"));
}

void Form8::TimePassed(const QString& line, VBool& passed)
{
    touch();
    passed = toVBool(timePassed(line, timeOfDay()));
}

void Form8::Filting(const QString& TtmpData, VBool& Fdata)
{
    touch();
    iCheck = 1;
    CheckKit kit(host.now());
    kit.CheckAlarmLine(TtmpData, iCheck);
    if (iCheck == 0) Fdata = VFalse;
}

void Form8::LoadClick(const QString& fFileName)
{
    touch();
    const QString path = p.gAppPath + fFileName;
    if (!QFileInfo::exists(path)) {
        host.tell(fFileName + QStringLiteral(", file not found"));
        return;
    }
    // A file that is there but cannot be read is not an empty list: say so, change nothing.
    QByteArray content;
    QString reason;
    switch (readWholeFile(path, kMaxDataFileBytes, content, &reason)) {
    case FileRead::Read: break;
    case FileRead::TooLarge:
        host.tell(fFileName + QStringLiteral(", file is too large: a data file holds at most %1 MB")
                                            .arg(kMaxDataFileBytes / (1024 * 1024)));
        return;
    case FileRead::Failed:
        host.tell(fFileName + QStringLiteral(", file cannot be read: ") + reason);
        return;
    }
    ListBox& lstData = host.lstData();
    ListBox& lstMessage = host.lstMessage();
    // One moment for the passed-time check and the day the new alarms belong to.
    const QDateTime at = host.now();
    const LoadReport report = [&] {
        CheckKit kit(at);
        return mergeDataFile(content, fFileName, timeOfDayText(at), kit, lstData, lstMessage);
    }();
    for (const QString& t : report.addedAlarmTimes) p.gAlarmDays.insert(t, at.date());
    if (report.badRecords > 0) host.showLoadErrors(report.errorLines);
    p.gTimerArmed = VTrue;
    p.gListChanged = VTrue;
    p.gHasAlarms = toVBool(lstData.ListCount() >= 1);
}

void Form8::SaveFileClick(const QString& fFileName)
{
    touch();
    if (!QDir(p.gAppPath).exists()) QDir().mkpath(p.gAppPath);
    if (QFileInfo::exists(p.gAppPath + fFileName)) {
        // The same safe write as saving: a failure is reported and the old file stays.
        host.askOverwrite([this, fFileName] { WriteDataFile(fFileName); });
        return;
    }
    WriteDataFile(fFileName);
}

bool Form8::WriteDataFile(const QString& fFileName)
{
    // The lists live with the Alarm Set window; a fresh window's empty ones must not replace the file.
    if (!host.listsLoaded()) {
        host.tell(fFileName + QStringLiteral(", file cannot be saved: the alarm list is no longer open"));
        return false;
    }
    QString reason;
    if (writeFileSafely(p.gAppPath + fFileName, composeDataFile(host.lstData(), host.lstMessage()), &reason))
        return true;
    host.tell(fFileName + QStringLiteral(", file cannot be saved: ") + reason);
    return false;
}

void Form8::EditorClick(const QString& fFileName)
{
    touch();
    if (!host.openTextEditor(p.gAppPath + fFileName)) host.tell(QStringLiteral("cannot load notepad.exe"));
}

void Form8::cClearMsg(ListBox& lstMessage, const ListBox& lstData)
{
    touch();
    if (lstMessage.ListCount() < 1) return;
    const QString t = lstData.CurrentText().right(8);
    for (int i = 0; i < lstMessage.ListCount(); ++i) {
        if (lstMessage.List(i).right(8) == t) {
            lstMessage.RemoveItem(i);
            return;
        }
    }
}
