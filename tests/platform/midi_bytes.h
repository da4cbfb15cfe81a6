#pragma once
#include <QByteArray>
#include <initializer_list>

// A format-0 Standard MIDI File: piano notes of `noteTicks` each at 480 ticks a quarter
// (120 bpm by default, so 480 ticks are half a second).
inline QByteArray midiFileBytes(std::initializer_list<int> notes, int noteTicks = 240)
{
    auto be32 = [](QByteArray& b, quint32 v) {
        for (int shift = 24; shift >= 0; shift -= 8) b.append(char((v >> shift) & 0xFF));
    };
    auto varLen = [](QByteArray& b, quint32 v) {
        QByteArray bytes(1, char(v & 0x7F));
        while (v >>= 7) bytes.prepend(char((v & 0x7F) | 0x80));
        b.append(bytes);
    };
    QByteArray track;
    track.append("\x00\xC0\x00", 3);  // program change: acoustic grand piano
    for (int note : notes) {
        track.append('\x00');
        track.append(char(0x90)).append(char(note)).append(char(100));
        varLen(track, quint32(noteTicks));
        track.append(char(0x80)).append(char(note)).append(char(0));
    }
    track.append("\x00\xFF\x2F\x00", 4);  // end of track

    QByteArray file("MThd", 4);
    be32(file, 6);
    file.append("\x00\x00\x00\x01\x01\xE0", 6);  // format 0, one track, 480 ticks a quarter
    file.append("MTrk", 4);
    be32(file, quint32(track.size()));
    file.append(track);
    return file;
}
