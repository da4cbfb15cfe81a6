// Synthesizes the sounds Voz ships with, so no audio file has to be kept in
// the repository. Every function is deterministic: the same build always
// produces the same bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace voz::sounds {

inline constexpr int kSampleRate = 44100;
inline constexpr int kMidiTicksPerQuarter = 480;

// Canonical 44-byte-header RIFF/WAVE, 16-bit PCM, mono.
std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t> &samples,
                                    int sampleRate = kSampleRate);

// About two seconds of a struck bell: the default alarm sound.
std::vector<std::uint8_t> makeDingWav();

// A short high-low two-tone chime, about 0.4 s, as a WAVE file.
std::vector<std::uint8_t> makeDidiWav();

// A short tune with melody and bass, as a Standard MIDI File (format 1).
std::vector<std::uint8_t> makeAirMidi();

// Writes ding.wav, didi.snd and air.mid into dir, creating it if needed.
// On failure returns false and describes the problem in *error.
bool writeSoundFiles(const std::filesystem::path &dir, std::string *error);

} // namespace voz::sounds
