#include "alarms/alarm_engine.h"

#include "core/alarms/alarm_file.h"
#include "core/alarms/alarm_list.h"
#include "core/alarms/alarm_tick.h"
#include "app/program.h"
#include "core/files/readable_file.h"
#include "clock/load_error_window.h"
#include "clock/warning_window.h"
#include "dialogs/alarm_set_window.h"
#include "dialogs/overwrite_window.h"
#include "core/check_kit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

Form8::Form8(Program& program) : p(program) {}

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
    ListBox& lstData = p.form4().c().lstData;
    if (addAlarmEntry(p, lstData, strAlarmClock, strTimesOfPlay, p.platform.now().date()) == SortResult::Refused)
        p.form11().AnswerOk(QStringLiteral("Double time alarm is not permitted"));
}

void Form8::TimePassed(const QString& line, VBool& passed)
{
    touch();
    passed = toVBool(timePassed(line, p.timeOfDay()));
}

void Form8::Filting(const QString& TtmpData, VBool& Fdata)
{
    touch();
    iCheck = 1;
    CheckKit kit(p.platform.now());
    kit.CheckAlarmLine(TtmpData, iCheck);
    if (iCheck == 0) Fdata = VFalse;
}

void Form8::LoadClick(const QString& fFileName)
{
    touch();
    const QString path = p.gAppPath + fFileName;
    if (!QFileInfo::exists(path)) {
        p.form11().AnswerOk(fFileName + QStringLiteral(", file not found"));
        return;
    }
    // A file that is there but cannot be read is not an empty list: say so, change nothing.
    QByteArray content;
    QString reason;
    switch (readWholeFile(path, kMaxDataFileBytes, content, &reason)) {
    case FileRead::Read: break;
    case FileRead::TooLarge:
        p.form11().AnswerOk(fFileName + QStringLiteral(", file is too large: a data file holds at most %1 MB")
                                            .arg(kMaxDataFileBytes / (1024 * 1024)));
        return;
    case FileRead::Failed:
        p.form11().AnswerOk(fFileName + QStringLiteral(", file cannot be read: ") + reason);
        return;
    }
    Form4Controls& c = p.form4().c();
    // One moment for the passed-time check and the day the new alarms belong to.
    const QDateTime at = p.platform.now();
    const LoadReport report = [&] {
        CheckKit kit(at);
        return mergeDataFile(content, fFileName, timeOfDayText(at), kit, c.lstData, c.lstMessage);
    }();
    for (const QString& t : report.addedAlarmTimes) p.gAlarmDays.insert(t, at.date());
    if (report.badRecords > 0) {
        p.platform.beep();
        Form10& errors = p.form10();
        for (const QString& line : report.errorLines) errors.AddErrorLine(line);
        errors.Show();
    }
    p.gTimerArmed = VTrue;
    p.gListChanged = VTrue;
    p.gHasAlarms = toVBool(c.lstData.ListCount() >= 1);
}

void Form8::SaveFileClick(const QString& fFileName)
{
    touch();
    if (!QDir(p.gAppPath).exists()) QDir().mkpath(p.gAppPath);
    if (QFileInfo::exists(p.gAppPath + fFileName)) {
        p.form13().FileAlreadyExist(QStringLiteral("AlarmSet"), fFileName);
        return;
    }
    WriteDataFile(fFileName);
}

bool Form8::WriteDataFile(const QString& fFileName)
{
    // The lists live with the Alarm Set window; a fresh window's empty ones must not replace the file.
    if (!p.form4().Loaded()) {
        p.form11().AnswerOk(fFileName + QStringLiteral(", file cannot be saved: the alarm list is no longer open"));
        return false;
    }
    const Form4Controls& c = p.form4().c();
    QString reason;
    if (writeFileSafely(p.gAppPath + fFileName, composeDataFile(c.lstData, c.lstMessage), &reason)) return true;
    p.form11().AnswerOk(fFileName + QStringLiteral(", file cannot be saved: ") + reason);
    return false;
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
