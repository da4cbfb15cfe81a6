#include "platform/wave_player.h"

struct WavePlayer::Impl {};

WavePlayer::WavePlayer(QObject* parent) : QObject(parent), d(std::make_unique<Impl>()) {}
WavePlayer::~WavePlayer() = default;
bool WavePlayer::play(const QString&, int) { return false; }
void WavePlayer::stop() {}
bool WavePlayer::isPlaying() const { return false; }
