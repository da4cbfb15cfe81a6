// Build-time tool: writes the sounds Voz plays into the given folder.
#include "sound_synth.h"

#include <iostream>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: " << (argc > 0 ? argv[0] : "gen_sounds") << " OUTDIR\n";
        return 2;
    }
    std::string error;
    if (!voz::sounds::writeSoundFiles(argv[1], &error)) {
        std::cerr << "gen_sounds: " << error << '\n';
        return 1;
    }
    return 0;
}
