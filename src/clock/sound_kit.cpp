#include "clock/sound_kit.h"

#include "platform/platform.h"

int SoundKit::timesOf(const QString& word)
{
    if (word == QLatin1String("twice")) return 2;
    if (word == QLatin1String("thrice")) return 3;
    if (word == QLatin1String("repeat")) return 0;
    return 1;
}

void SoundKit::PlayWave(const QString& word, const QString& path, std::int16_t& flag)
{
    if (!m_platform.playWave(path, timesOf(word))) flag = 0;
}
