#pragma once
#include "core/files/settings_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// Wpaper.dat, the wallpaper list: one entry a line, each a double quote, the entry (a quote in
// it doubled), a double quote and CR LF; an empty list is an empty file. Text is UTF-8.
QString WallpaperListPath(const QString& appPath);  // appPath ends in "/"
QByteArray ComposeWallpaperList(const QStringList& entries);

// The entries of a list file: quoted fields whose quotes may be doubled (core/files/quoted_fields.h).
QStringList ReadWallpaperList(const QByteArray& content);

// Writes the whole list through the safe write of the data files: a failed write leaves the old
// file as it was. False with the system's reason otherwise.
bool WriteWallpaperList(const QString& path, const QStringList& entries, QString* error = nullptr);

// Record 5 of voz.ini: the wallpaper window's place and the choices saved at its last close.
inline constexpr int kWallpaperRecord = 5;
inline const QString kWallpaperLabel = QStringLiteral("[WallpaperLoc]");

// The choices as stored: "Empty" when not kept; otherwise "Check", then "Check"/"Empty" for the
// change box, "Prior"/"Rando" for the order, then the interval entry as " 0".." 7" or "-1".
struct WallpaperChoices {
    bool keep = false;           // "Save above setting"
    bool change = false;         // "Change in every "
    bool random = false;         // random order instead of priority
    int interval = -1;           // selected interval entry, -1 for none
};
QString ComposeWallpaperChoices(const WallpaperChoices& c);
// Nothing for a text that begins with neither "Check" nor "Empty".
std::optional<WallpaperChoices> ParseWallpaperChoices(const QString& text);

// A number as the record writes it: a blank in the sign's place when not negative.
QString SignedNumberText(int n);
// The leading number of a text: blanks skipped, an optional minus, decimal digits; no digits
// give 0. Saturates at the ends of int.
int LeadingNumber(const QString& text);

// A zero-filled record 5 with its label, place and choices text.
SettingsRecord WallpaperRecord(std::int16_t top, std::int16_t left, const QString& text);
