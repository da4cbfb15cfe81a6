#pragma once
#include "core/files/settings_file.h"

class Program;

// Stores record n of voz.ini as storeSettingsRecord does. A failed write is told to the user in
// the warning window with its reason, once a run: one unwritable file must not bring a warning
// at every closing of a window. False when the record was not written.
bool storeSettingsRecordOrWarn(Program& p, int n, const SettingsRecord& rec);
