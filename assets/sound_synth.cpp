#include "sound_synth.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <system_error>
#include <utility>

namespace voz::sounds {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// -3 dBFS leaves headroom for resampling in the audio backend.
const double kPeakTarget = 32767.0 * std::pow(10.0, -3.0 / 20.0);

// Bytes are appended one by one so the output does not depend on the host's
// endianness or struct padding.
void putLe16(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}

void putLe32(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    putLe16(out, v & 0xffff);
    putLe16(out, v >> 16);
}

void putBe16(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
}

void putBe32(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    putBe16(out, v >> 16);
    putBe16(out, v & 0xffff);
}

void putTag(std::vector<std::uint8_t> &out, const char (&tag)[5])
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(tag[i]));
}

// Raised-cosine ramp from 0 to 1 over [0, 1].
double ramp(double x)
{
    if (x <= 0.0)
        return 0.0;
    if (x >= 1.0)
        return 1.0;
    return 0.5 - 0.5 * std::cos(std::numbers::pi * x);
}

std::vector<std::int16_t> normalize(const std::vector<double> &signal)
{
    double peak = 0.0;
    for (double s : signal)
        peak = std::max(peak, std::abs(s));
    const double gain = peak > 0.0 ? kPeakTarget / peak : 0.0;

    std::vector<std::int16_t> pcm;
    pcm.reserve(signal.size());
    for (double s : signal) {
        const double v = std::clamp(std::round(s * gain), -32767.0, 32767.0);
        pcm.push_back(static_cast<std::int16_t>(v));
    }
    return pcm;
}

struct Partial {
    double ratio;
    double amplitude;
    double decaySeconds; // time constant of the exponential decay
};

// Adds one struck tone starting at sample `start`, lasting `length` samples,
// with a click-free attack and release.
void addTone(std::vector<double> &buf, std::size_t start, std::size_t length, double freq,
             const std::vector<Partial> &partials, double attackSeconds, double releaseSeconds)
{
    const double attack = attackSeconds * kSampleRate;
    const double release = releaseSeconds * kSampleRate;
    for (std::size_t i = 0; i < length && start + i < buf.size(); ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double fromEnd = static_cast<double>(length - 1 - i);
        const double env = ramp(static_cast<double>(i) / attack) * ramp(fromEnd / release);
        double s = 0.0;
        for (const Partial &p : partials) {
            const double f = freq * p.ratio;
            if (f >= kSampleRate / 2.0)
                continue;
            s += p.amplitude * std::exp(-t / p.decaySeconds) * std::sin(kTwoPi * f * t);
        }
        buf[start + i] += env * s;
    }
}

std::size_t samplesFor(double seconds)
{
    return static_cast<std::size_t>(std::lround(seconds * kSampleRate));
}

// ---- MIDI -------------------------------------------------------------

void putVarLen(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    std::uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<std::uint8_t>(v & 0x7f);
        v >>= 7;
    } while (v != 0);
    while (n > 1)
        out.push_back(static_cast<std::uint8_t>(groups[--n] | 0x80));
    out.push_back(groups[0]);
}

struct MidiEvent {
    std::uint32_t tick;
    int order; // among events at the same tick: meta/program first, then offs, then ons
    std::vector<std::uint8_t> bytes;
};

class TrackBuilder {
public:
    void meta(std::uint32_t tick, std::uint8_t type, std::vector<std::uint8_t> data)
    {
        std::vector<std::uint8_t> b{0xff, type};
        putVarLen(b, static_cast<std::uint32_t>(data.size()));
        b.insert(b.end(), data.begin(), data.end());
        events_.push_back({tick, 0, std::move(b)});
    }

    void name(const std::string &text)
    {
        meta(0, 0x03, std::vector<std::uint8_t>(text.begin(), text.end()));
    }

    void program(int channel, int program)
    {
        events_.push_back({0, 0,
                           {static_cast<std::uint8_t>(0xc0 | channel),
                            static_cast<std::uint8_t>(program)}});
    }

    void controller(int channel, int number, int value)
    {
        events_.push_back({0, 0,
                           {static_cast<std::uint8_t>(0xb0 | channel),
                            static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(value)}});
    }

    void note(int channel, std::uint32_t tick, std::uint32_t length, int key, int velocity)
    {
        const auto ch = static_cast<std::uint8_t>(channel);
        const auto k = static_cast<std::uint8_t>(key);
        events_.push_back({tick, 2, {static_cast<std::uint8_t>(0x90 | ch), k,
                                     static_cast<std::uint8_t>(velocity)}});
        // A real note-off (not a zero-velocity note-on), release velocity 64.
        events_.push_back({tick + length, 1, {static_cast<std::uint8_t>(0x80 | ch), k, 64}});
    }

    // Serialises the track as an MTrk chunk ending at endTick.
    void writeChunk(std::vector<std::uint8_t> &out, std::uint32_t endTick)
    {
        std::stable_sort(events_.begin(), events_.end(),
                         [](const MidiEvent &a, const MidiEvent &b) {
                             return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
                         });
        std::vector<std::uint8_t> body;
        std::uint32_t now = 0;
        for (const MidiEvent &e : events_) {
            putVarLen(body, e.tick - now);
            now = e.tick;
            body.insert(body.end(), e.bytes.begin(), e.bytes.end());
        }
        putVarLen(body, endTick > now ? endTick - now : 0);
        body.insert(body.end(), {0xff, 0x2f, 0x00});

        putTag(out, "MTrk");
        putBe32(out, static_cast<std::uint32_t>(body.size()));
        out.insert(out.end(), body.begin(), body.end());
    }

private:
    std::vector<MidiEvent> events_;
};

// One note of a line: key (-1 for a rest) and length in eighths.
struct Step {
    int key;
    int eighths;
};

constexpr std::uint32_t kEighth = kMidiTicksPerQuarter / 2;

// Lays a line of steps on a channel; returns the tick where it ends.
std::uint32_t addLine(TrackBuilder &track, int channel, const std::vector<Step> &steps,
                      int velocity, double legato)
{
    std::uint32_t tick = 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const std::uint32_t len = static_cast<std::uint32_t>(steps[i].eighths) * kEighth;
        if (steps[i].key >= 0) {
            // Downbeats a little stronger, so the line breathes.
            const bool downbeat = tick % (4 * kMidiTicksPerQuarter) == 0;
            const bool last = i + 1 == steps.size();
            const auto held = last ? len : static_cast<std::uint32_t>(len * legato);
            track.note(channel, tick, held, steps[i].key, downbeat ? velocity + 12 : velocity);
        }
        tick += len;
    }
    return tick;
}

} // namespace

std::vector<std::uint8_t> encodeWav(const std::vector<std::int16_t> &samples, int sampleRate)
{
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    const auto rate = static_cast<std::uint32_t>(sampleRate);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataBytes);
    putTag(out, "RIFF");
    putLe32(out, 36 + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putLe32(out, 16);       // fmt chunk size
    putLe16(out, 1);        // PCM
    putLe16(out, 1);        // mono
    putLe32(out, rate);
    putLe32(out, rate * 2); // byte rate
    putLe16(out, 2);        // block align
    putLe16(out, 16);       // bits per sample
    putTag(out, "data");
    putLe32(out, dataBytes);
    for (std::int16_t s : samples)
        putLe16(out, static_cast<std::uint16_t>(s));
    return out;
}

std::vector<std::uint8_t> makeDingWav()
{
    // Inharmonic partials give the metallic colour; higher ones die away
    // faster, as on a real bell. The slightly detuned copy of the
    // fundamental adds a slow shimmer.
    const std::vector<Partial> bell{
        {1.0, 1.00, 0.80}, {1.0016, 0.30, 0.90}, {2.0, 0.55, 0.50},
        {2.76, 0.40, 0.35}, {5.4, 0.22, 0.18},  {8.93, 0.12, 0.10},
    };
    const std::size_t length = samplesFor(2.0);
    std::vector<double> buf(length, 0.0);
    addTone(buf, 0, length, 880.0, bell, 0.004, 0.25);
    return encodeWav(normalize(buf));
}

std::vector<std::uint8_t> makeDidiWav()
{
    const std::vector<Partial> chime{
        {1.0, 1.00, 0.30}, {2.0, 0.25, 0.12}, {3.0, 0.08, 0.06},
    };
    const std::size_t tone = samplesFor(0.150);
    const std::size_t gap = samplesFor(0.040);
    std::vector<double> buf(samplesFor(0.400), 0.0);
    addTone(buf, 0, tone, 1318.51, chime, 0.005, 0.020);          // E6
    addTone(buf, tone + gap, tone, 1046.50, chime, 0.005, 0.020); // C6
    return encodeWav(normalize(buf));
}

std::vector<std::uint8_t> makeAirMidi()
{
    // An original little air in D major, 4/4, four bars over I-IV-V-I.
    enum : int { D4 = 62, E4 = 64, Fs4 = 66, G4 = 67, A4 = 69, B4 = 71, Cs5 = 73, D5 = 74, E5 = 76 };
    enum : int { D2 = 38, G2 = 43, A2 = 45, Cs3 = 49, D3 = 50 };
    const std::vector<Step> melody{
        {Fs4, 1}, {A4, 1}, {D5, 2}, {Cs5, 1}, {D5, 1}, {E5, 2},  // D
        {D5, 1},  {B4, 1}, {G4, 2}, {A4, 1},  {B4, 1}, {D5, 2},  // G
        {Cs5, 2}, {E5, 1}, {Cs5, 1}, {A4, 3}, {G4, 1},           // A
        {Fs4, 2}, {E4, 1}, {Fs4, 1}, {D4, 4},                    // D
    };
    const std::vector<Step> bass{
        {D3, 4}, {A2, 4}, {G2, 4}, {D3, 4}, {A2, 4}, {Cs3, 4}, {D3, 2}, {D2, 6},
    };

    TrackBuilder conductor;
    conductor.name("Air");
    conductor.meta(0, 0x58, {4, 2, 24, 8}); // 4/4
    const std::uint32_t usPerQuarter = 600000; // 100 bpm
    conductor.meta(0, 0x51,
                   {static_cast<std::uint8_t>(usPerQuarter >> 16),
                    static_cast<std::uint8_t>((usPerQuarter >> 8) & 0xff),
                    static_cast<std::uint8_t>(usPerQuarter & 0xff)});
    conductor.meta(0, 0x59, {2, 0}); // two sharps, major

    TrackBuilder tune;
    tune.name("Melody");
    tune.program(0, 10); // music box
    tune.controller(0, 7, 110);
    const std::uint32_t tuneEnd = addLine(tune, 0, melody, 84, 0.9);

    TrackBuilder low;
    low.name("Bass");
    low.program(1, 0); // piano
    low.controller(1, 7, 90);
    const std::uint32_t lowEnd = addLine(low, 1, bass, 58, 0.95);

    // One extra beat so the last note can ring out before the player stops.
    const std::uint32_t end = std::max(tuneEnd, lowEnd) + kMidiTicksPerQuarter;

    std::vector<std::uint8_t> out;
    putTag(out, "MThd");
    putBe32(out, 6);
    putBe16(out, 1); // format 1
    putBe16(out, 3); // tracks
    putBe16(out, kMidiTicksPerQuarter);
    conductor.writeChunk(out, end);
    tune.writeChunk(out, end);
    low.writeChunk(out, end);
    return out;
}

bool writeSoundFiles(const std::filesystem::path &dir, std::string *error)
{
    auto fail = [error](const std::string &message) {
        if (error)
            *error = message;
        return false;
    };

    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec)
        return fail("cannot create " + dir.string() + ": " + ec.message());

    const std::pair<const char *, std::vector<std::uint8_t>> files[] = {
        {"ding.wav", makeDingWav()},
        {"didi.snd", makeDidiWav()},
        {"air.mid", makeAirMidi()},
    };
    for (const auto &[name, bytes] : files) {
        const std::filesystem::path path = dir / name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out)
            return fail("cannot write " + path.string());
    }
    return true;
}

} // namespace voz::sounds
