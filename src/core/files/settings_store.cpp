#include "core/files/settings_store.h"

#include "core/alarms/alarm_host.h"
#include "core/model/program_state.h"

bool storeSettingsRecordOrWarn(ProgramState& s, AlarmHost& host, int n, const SettingsRecord& rec)
{
    QString reason;
    if (storeSettingsRecord(s.gAppPath, n, rec, &reason)) return true;
    if (!s.settingsWriteFailureTold) {
        s.settingsWriteFailureTold = true;
        host.tell(QStringLiteral("voz.ini, file cannot be saved: ") + reason +
                  QStringLiteral(". Changed settings may not be kept."));
    }
    return false;
}
