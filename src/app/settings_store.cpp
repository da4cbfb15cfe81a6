#include "app/settings_store.h"

#include "app/program.h"
#include "clock/warning_window.h"

bool storeSettingsRecordOrWarn(Program& p, int n, const SettingsRecord& rec)
{
    QString reason;
    if (storeSettingsRecord(p.gAppPath, n, rec, &reason)) return true;
    if (!p.settingsWriteFailureTold) {
        p.settingsWriteFailureTold = true;
        p.form11().AnswerOk(QStringLiteral("voz.ini, file cannot be saved: ") + reason +
                            QStringLiteral(". Changed settings may not be kept."));
    }
    return false;
}
