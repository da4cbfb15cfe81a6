#pragma once
#include "platform/wave_output.h"

#include <memory>

// The output the module hands out: the file decoded by libsndfile, played through a Qt audio sink
// on a thread of its own, so that the sound is fed whatever the windows' thread does.
std::unique_ptr<WaveOutput> makeSinkOutput();
