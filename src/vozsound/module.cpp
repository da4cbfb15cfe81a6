#include "vozsound/sink_output.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT WaveOutput* voz_create_wave_output() { return makeSinkOutput().release(); }
