#pragma once
// Generated alarm data shared by the benchmarks.
#include <QByteArray>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <random>
#include <vector>

namespace bench {

inline QByteArray timeText(int secs)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", secs / 3600, secs / 60 % 60, secs % 60);
    return QByteArray(buf, 8);
}

// A data file of `alarms` alarm lines and a tenth as many messages, all in random order and
// all after midnight. A day has only 86,399 such seconds, so above that many alarms some lines
// repeat a time and the load drops them as duplicates, as it would in a real file that big.
inline QByteArray makeDataFile(int alarms)
{
    static const char* const kWords[] = {"once", "twice", "thrice", "repeat"};
    std::mt19937 rng(20261207);
    std::vector<int> seconds(86399);
    std::iota(seconds.begin(), seconds.end(), 1);
    std::shuffle(seconds.begin(), seconds.end(), rng);

    std::vector<QByteArray> lines;
    lines.reserve(alarms + alarms / 10);
    for (int i = 0; i < alarms; ++i)
        lines.push_back(QByteArray(kWords[rng() % 4]) + ' ' + timeText(seconds[i % seconds.size()]));
    for (int i = 0; i < alarms / 10; ++i)
        lines.push_back("Message " + QByteArray::number(i) + " at " + timeText(seconds[rng() % seconds.size()]));
    std::shuffle(lines.begin(), lines.end(), rng);

    QByteArray out;
    for (const QByteArray& l : lines) out += '"' + l + "\"\r\n";
    return out;
}

}  // namespace bench
