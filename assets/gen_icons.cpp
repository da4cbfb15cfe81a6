// Build-time tool: writes the program's icon, the tray's clock, as PNGs in the sizes icon themes
// look for: OUTDIR/NxN/apps/voz.png.
#include "clock/tray_icons.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argc > 0 ? argv[0] : "gen_icons");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        const QString file = dir + QStringLiteral("/voz.png");
        if (!QDir().mkpath(dir) || !drawClockIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "gen_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
