#pragma once
#include "core/files/settings_file.h"

#include <QString>
#include <optional>

// Messages are typed and shown in Times New Roman; Liberation Serif has the same metrics.
inline constexpr const char* kMessageFontFamily = "Liberation Serif";

// Whole point sizes that the message input window's "-" and "+" can reach from its 9 points.
inline constexpr int kMessageFontMin = 6;
inline constexpr int kMessageFontMax = 17;

// Reads record 7 of voz.ini into the shared buffer (its label trimmed) and gives the stored
// message font size, when the record carries the "[FontSize]" label and a size the input
// window could have set. A size beyond that (0, 32767) would hide the text, so it is ignored.
std::optional<int> readMessageFontSize(const QString& appPath, SettingsRecord& buffer);

// A line of a message view longer than this shows its first and last characters only.
inline constexpr qsizetype kShownLineLength = 2000;
inline constexpr qsizetype kShownLineTail = 100;

// The text as a message view (the message window, the Alarm Set window's view of the messages)
// shows it: each line (ended by LF or CR LF) within kShownLineLength characters, a longer one cut
// in the middle with a note of how many characters are not shown.
QString shownMessageText(const QString& text);
