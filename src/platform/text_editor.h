#pragma once
#include <QString>

class Platform;

// Opens the file with the desktop's text editor: the application the desktop opens it with,
// else the user's own editor ($VISUAL, else $EDITOR) in a terminal. The path is always one
// argument of its own; no shell. False when nothing could be started.
bool startTextEditor(Platform& platform, const QString& path);
