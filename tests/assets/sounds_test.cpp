// Checks the synthesized sounds by reading them back the way a player would.
#include "sound_synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <numbers>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using ::testing::AssertionFailure;
using voz::sounds::kSampleRate;

std::uint32_t le16(const Bytes &b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
std::uint32_t le32(const Bytes &b, std::size_t at) { return le16(b, at) | (le16(b, at + 2) << 16); }
std::uint32_t be16(const Bytes &b, std::size_t at) { return (b[at] << 8) | b[at + 1]; }
std::uint32_t be32(const Bytes &b, std::size_t at) { return (be16(b, at) << 16) | be16(b, at + 2); }
bool tagAt(const Bytes &b, std::size_t at, const char *tag)
{
    return b.size() >= at + 4 && std::equal(tag, tag + 4, b.begin() + static_cast<long>(at));
}

// ---- WAVE -------------------------------------------------------------

struct Wav {
    std::vector<double> samples; // scaled to [-1, 1)
    double seconds() const { return static_cast<double>(samples.size()) / kSampleRate; }
};

::testing::AssertionResult parseWav(const Bytes &b, Wav &wav)
{
    if (b.size() < 44)
        return AssertionFailure() << "shorter than a header: " << b.size();
    if (!tagAt(b, 0, "RIFF") || !tagAt(b, 8, "WAVE") || !tagAt(b, 12, "fmt ") || !tagAt(b, 36, "data"))
        return AssertionFailure() << "not a canonical RIFF/WAVE layout";
    if (le32(b, 4) != b.size() - 8)
        return AssertionFailure() << "RIFF size " << le32(b, 4) << " for " << b.size() << " bytes";
    if (le32(b, 16) != 16)
        return AssertionFailure() << "fmt chunk size " << le32(b, 16);
    const std::uint32_t format = le16(b, 20), channels = le16(b, 22), rate = le32(b, 24),
                        byteRate = le32(b, 28), align = le16(b, 32), bits = le16(b, 34);
    if (format != 1 || channels != 1 || rate != 44100 || bits != 16)
        return AssertionFailure() << "format " << format << ", " << channels << " ch, " << rate << " Hz, " << bits
                                  << " bits";
    if (align != 2 || byteRate != 88200)
        return AssertionFailure() << "block align " << align << ", byte rate " << byteRate;
    const std::uint32_t dataSize = le32(b, 40);
    if (dataSize != b.size() - 44 || dataSize % 2 != 0)
        return AssertionFailure() << "data size " << dataSize << " for " << b.size() << " bytes";

    wav.samples.clear();
    for (std::size_t at = 44; at + 1 < b.size(); at += 2)
        wav.samples.push_back(static_cast<std::int16_t>(le16(b, at)) / 32768.0);
    return ::testing::AssertionSuccess();
}

double peakOf(const std::vector<double> &s, std::size_t from = 0, std::size_t to = SIZE_MAX)
{
    double peak = 0.0;
    for (std::size_t i = from; i < std::min(to, s.size()); ++i)
        peak = std::max(peak, std::abs(s[i]));
    return peak;
}

double rmsOf(const std::vector<double> &s, std::size_t from, std::size_t to)
{
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i)
        sum += s[i] * s[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

double goertzelPower(const std::vector<double> &s, std::size_t from, std::size_t to, double freq)
{
    const double coeff = 2.0 * std::cos(2.0 * std::numbers::pi * freq / kSampleRate);
    double prev = 0.0, prev2 = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        const double cur = s[i] + coeff * prev - prev2;
        prev2 = prev;
        prev = cur;
    }
    return prev * prev + prev2 * prev2 - coeff * prev * prev2;
}

double dominantFrequency(const std::vector<double> &s, std::size_t from, std::size_t to)
{
    double best = 0.0, bestPower = -1.0;
    for (double f = 100.0; f <= 8000.0; f += 5.0) {
        const double p = goertzelPower(s, from, to, f);
        if (p > bestPower) {
            bestPower = p;
            best = f;
        }
    }
    return best;
}

// Stretches of 5 ms windows louder than a tenth of the peak.
std::vector<std::pair<std::size_t, std::size_t>> bursts(const std::vector<double> &s)
{
    const std::size_t win = kSampleRate / 200;
    const double threshold = 0.1 * peakOf(s);
    std::vector<std::pair<std::size_t, std::size_t>> found;
    bool inside = false;
    for (std::size_t at = 0; at + win <= s.size(); at += win) {
        const bool loud = peakOf(s, at, at + win) > threshold;
        if (loud && !inside)
            found.push_back({at, at + win});
        else if (loud)
            found.back().second = at + win;
        inside = loud;
    }
    return found;
}

// Within its length, loud enough without clipping, and without a click: it fades in from and out
// to silence.
void expectCleanSound(const Wav &wav, double minSeconds, double maxSeconds, double minPeak)
{
    const std::size_t ms = kSampleRate / 1000;
    const double peak = peakOf(wav.samples);
    EXPECT_GE(wav.seconds(), minSeconds);
    EXPECT_LE(wav.seconds(), maxSeconds);
    EXPECT_LT(peak, 32767.0 / 32768.0) << "clips";
    EXPECT_GT(peak, minPeak) << "too quiet";
    ASSERT_GT(wav.samples.size(), 10 * ms);
    EXPECT_LT(std::abs(wav.samples.front()), 0.001);
    EXPECT_LT(std::abs(wav.samples.back()), 0.001);
    EXPECT_LT(peakOf(wav.samples, 0, ms / 2), 0.2 * peak) << "attack is too abrupt";
    EXPECT_LT(peakOf(wav.samples, wav.samples.size() - ms / 2), 0.02 * peak) << "ends abruptly";
}

TEST(SoundsTest, DingIsAboutTwoSecondsOfLoudCleanDecayingBell)
{
    Wav wav;
    ASSERT_TRUE(parseWav(voz::sounds::makeDingWav(), wav));
    // Louder than -6 dB, to wake anyone.
    expectCleanSound(wav, 1.5, 2.5, std::pow(10.0, -6.0 / 20.0));

    // A bell rings out: the last stretch is far quieter than the strike.
    const std::size_t part = static_cast<std::size_t>(0.4 * kSampleRate);
    const std::size_t n = wav.samples.size();
    EXPECT_LT(rmsOf(wav.samples, n - part, n), 0.25 * rmsOf(wav.samples, 0, part));
}

TEST(SoundsTest, DidiIsTwoShortTonesHighThenLow)
{
    Wav wav;
    ASSERT_TRUE(parseWav(voz::sounds::makeDidiWav(), wav));
    expectCleanSound(wav, 0.3, 0.5, 0.25);

    const auto tones = bursts(wav.samples);
    ASSERT_EQ(tones.size(), 2u) << "expected two separate tones";
    for (const auto &[from, to] : tones) {
        const double ms = 1000.0 * static_cast<double>(to - from) / kSampleRate;
        EXPECT_GT(ms, 60.0);
        EXPECT_LT(ms, 250.0);
    }
    const double first = dominantFrequency(wav.samples, tones[0].first, tones[0].second);
    const double second = dominantFrequency(wav.samples, tones[1].first, tones[1].second);
    EXPECT_GT(first, second * 1.05) << first << " Hz then " << second << " Hz";
}

// ---- MIDI -------------------------------------------------------------

struct Midi {
    unsigned format = 0, tracks = 0, division = 0;
    std::vector<std::uint32_t> tempos;
    std::uint32_t lastTick = 0;
    std::map<int, int> notesPerChannel;
};

std::uint32_t readVarLen(const Bytes &b, std::size_t &at, std::size_t end, bool &ok)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4 && at < end; ++i) {
        const std::uint8_t c = b[at++];
        v = (v << 7) | (c & 0x7f);
        if (!(c & 0x80))
            return v;
    }
    ok = false;
    return 0;
}

::testing::AssertionResult parseTrack(const Bytes &b, std::size_t at, std::size_t end, Midi &midi)
{
    std::uint32_t tick = 0;
    std::map<std::pair<int, int>, int> sounding;
    std::set<int> programmed;
    bool ended = false;
    while (at < end) {
        if (ended)
            return AssertionFailure() << "events after end of track at offset " << at;
        bool ok = true;
        tick += readVarLen(b, at, end, ok);
        if (!ok || at >= end)
            return AssertionFailure() << "truncated delta time at offset " << at;
        const std::uint8_t status = b[at++];
        if (!(status & 0x80))
            return AssertionFailure() << "running status or stray data byte at offset " << at - 1;

        if (status == 0xff) {
            if (at >= end)
                return AssertionFailure() << "truncated meta event";
            const std::uint8_t type = b[at++];
            const std::uint32_t len = readVarLen(b, at, end, ok);
            if (!ok || at + len > end)
                return AssertionFailure() << "meta event overruns track at offset " << at;
            if (type == 0x51) {
                if (len != 3)
                    return AssertionFailure() << "tempo event of length " << len;
                midi.tempos.push_back((b[at] << 16) | (b[at + 1] << 8) | b[at + 2]);
            }
            if (type == 0x2f) {
                if (len != 0)
                    return AssertionFailure() << "end of track with data";
                ended = true;
            }
            at += len;
            continue;
        }
        if (status == 0xf0 || status == 0xf7)
            return AssertionFailure() << "unexpected sysex";

        const int kind = status & 0xf0, channel = status & 0x0f;
        const std::size_t dataLen = (kind == 0xc0 || kind == 0xd0) ? 1 : 2;
        if (at + dataLen > end)
            return AssertionFailure() << "channel event overruns track";
        for (std::size_t i = 0; i < dataLen; ++i)
            if (b[at + i] & 0x80)
                return AssertionFailure() << "data byte with high bit at offset " << at + i;
        const int key = b[at], velocity = dataLen > 1 ? b[at + 1] : 0;
        at += dataLen;

        if (kind == 0xc0)
            programmed.insert(channel);
        if (kind == 0x90 && velocity > 0) {
            if (!programmed.count(channel))
                return AssertionFailure() << "note on channel " << channel << " before any program change";
            ++sounding[{channel, key}];
            ++midi.notesPerChannel[channel];
        } else if (kind == 0x80 || kind == 0x90) {
            if (sounding[{channel, key}]-- <= 0)
                return AssertionFailure() << "note-off without note-on: ch " << channel << " key " << key;
        }
    }
    if (!ended)
        return AssertionFailure() << "track does not end with an end-of-track event";
    for (const auto &[note, count] : sounding)
        if (count != 0)
            return AssertionFailure() << "note left sounding: ch " << note.first << " key " << note.second;
    midi.lastTick = std::max(midi.lastTick, tick);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult parseMidi(const Bytes &b, Midi &midi)
{
    if (!tagAt(b, 0, "MThd") || b.size() < 14 || be32(b, 4) != 6)
        return AssertionFailure() << "no MThd header";
    midi.format = be16(b, 8);
    midi.tracks = be16(b, 10);
    midi.division = be16(b, 12);
    std::size_t at = 14;
    for (unsigned t = 0; t < midi.tracks; ++t) {
        if (!tagAt(b, at, "MTrk") || at + 8 > b.size())
            return AssertionFailure() << "track " << t << ": no MTrk at offset " << at;
        const std::size_t len = be32(b, at + 4);
        at += 8;
        if (at + len > b.size())
            return AssertionFailure() << "track " << t << " is longer than the file";
        if (auto r = parseTrack(b, at, at + len, midi); !r)
            return r << " (track " << t << ")";
        at += len;
    }
    if (at != b.size())
        return AssertionFailure() << (b.size() - at) << " stray bytes after the last track";
    return ::testing::AssertionSuccess();
}

TEST(SoundsTest, AirIsAWellFormedTuneOfAboutTenSeconds)
{
    Midi midi;
    ASSERT_TRUE(parseMidi(voz::sounds::makeAirMidi(), midi));
    EXPECT_TRUE(midi.format == 1 || (midi.format == 0 && midi.tracks == 1))
        << "format " << midi.format << " with " << midi.tracks << " tracks";

    // One tempo for the whole tune keeps the length easy to reason about.
    ASSERT_EQ(midi.tempos.size(), 1u);
    const double seconds = midi.lastTick * (midi.tempos[0] / 1e6) / midi.division;
    EXPECT_GE(seconds, 8.0);
    EXPECT_LE(seconds, 12.0);

    // A melody with a bass line under it.
    ASSERT_GE(midi.notesPerChannel.size(), 2u);
    int total = 0;
    for (const auto &[channel, count] : midi.notesPerChannel)
        total += count;
    EXPECT_GE(midi.notesPerChannel[0], 16);
    EXPECT_GE(total, 20);
}

// ---- The files on disk ----------------------------------------------------

Bytes readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(SoundsTest, WritesTheSameBytesEveryTimeAndReportsAFolderItCannotMake)
{
    const auto dir = std::filesystem::path(::testing::TempDir()) / "voz_sounds_test";
    std::filesystem::remove_all(dir);
    std::string error;
    ASSERT_TRUE(voz::sounds::writeSoundFiles(dir / "nested", &error)) << error;

    // Regenerating must not change a byte, or every build would look dirty.
    EXPECT_EQ(readFile(dir / "nested" / "ding.wav"), voz::sounds::makeDingWav());
    EXPECT_EQ(readFile(dir / "nested" / "didi.snd"), voz::sounds::makeDidiWav());
    EXPECT_EQ(readFile(dir / "nested" / "air.mid"), voz::sounds::makeAirMidi());

    // A plain file in the way cannot be turned into a folder, even by root.
    std::string blocked;
    EXPECT_FALSE(voz::sounds::writeSoundFiles(dir / "nested" / "air.mid" / "out", &blocked));
    EXPECT_FALSE(blocked.empty());
    std::filesystem::remove_all(dir);
}

} // namespace
