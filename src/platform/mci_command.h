#pragma once
#include <QString>
#include <optional>

// The MCI command strings the program sends for its MIDI tune, parsed on their own so that the
// grammar is tested without a synthesizer.
namespace voz::mci {

// Non-zero results, numbered as MCI numbers them.
inline constexpr int kUnrecognizedKeyword = 259;
inline constexpr int kUnrecognizedCommand = 261;
inline constexpr int kHardware = 262;
inline constexpr int kInvalidDeviceName = 263;
inline constexpr int kCannotLoadDriver = 266;
inline constexpr int kFileNotFound = 275;
inline constexpr int kDuplicateAlias = 289;
inline constexpr int kInvalidFile = 304;

enum class Verb { Open, Play, Close };

struct Command {
    Verb verb = Verb::Close;
    QString file;   // open: the file, quotes taken off
    QString type;   // open: the device type ("sequencer"), empty when not given
    QString alias;  // open: the alias given, empty when none; play/close: the device name
};

// Parses "open FILE [type TYPE] [alias NAME]", "play NAME", "close NAME". Keywords are
// case-insensitive; FILE may be in double quotes and, quoted or not, may contain spaces; NAME may
// be in double quotes. Nothing for an unknown verb, a missing or extra argument, an unknown or
// repeated keyword, or an unclosed quote.
std::optional<Command> parseCommand(const QString& text);

}  // namespace voz::mci
