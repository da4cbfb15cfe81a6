#include "core/alarms/alarm_engine.h"

#include "core/alarms/alarm_host.h"
#include "core/model/program_state.h"

void Form8::EditorClick(const QString& fFileName)
{
    touch();
    if (!host.openTextEditor(p.gAppPath + fFileName)) host.tell(QStringLiteral("cannot load notepad.exe"));
}
