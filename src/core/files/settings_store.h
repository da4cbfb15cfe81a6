#pragma once
#include "core/files/settings_file.h"

class AlarmHost;
struct ProgramState;

// Stores record n of voz.ini as storeSettingsRecord does. A failed write is told to the user
// with its reason, once a run (settingsWriteFailureTold): one unwritable file must not bring a
// warning at every closing of a window. False when the record was not written.
bool storeSettingsRecordOrWarn(ProgramState& s, AlarmHost& host, int n, const SettingsRecord& rec);
