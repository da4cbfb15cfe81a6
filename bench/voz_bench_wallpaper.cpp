// A wallpaper change on a plain X11 desktop with a large photo: decoding a 3840x2160 JPEG,
// scaling it to the screen and handing the server the root pixmap. Runs against Xvfb displays
// it starts itself (a full-HD and a 4K screen) and stops at the end.
#include "platform/x11_root_wallpaper.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QFile>
#include <cstdio>
#include <unistd.h>
#include <memory>
#include <vector>

namespace {

QString g_photo;
std::vector<QString> g_displays;  // by screen: 0 full HD, 1 4K
std::vector<qint64> g_serverPids;

// CPU time a process has used, in milliseconds. On a busy machine the wall time swings with
// the load; our CPU time plus the server's says what a change costs.
double cpuMsOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) return 0;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return 0;
    return (fields[11].toDouble() + fields[12].toDouble()) * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

// A photo-like picture: soft gradients with grain, so that it compresses like a photo, not like
// a flat colour.
QString makePhoto(const QString& folder)
{
    QImage image(3840, 2160, QImage::Format_RGB32);
    QRandomGenerator noise(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grain = int(noise.bounded(24u)) - 12;
            line[x] = qRgb(qBound(0, x * 255 / 3840 + grain, 255), qBound(0, y * 255 / 2160 + grain, 255),
                           qBound(0, 128 + ((x ^ y) & 63) + grain, 255));
        }
    }
    const QString path = folder + QStringLiteral("/photo.jpg");
    return image.save(path, "JPEG", 90) ? path : QString();
}

void BM_X11RootChange(benchmark::State& state)
{
    const auto screen = static_cast<std::size_t>(state.range(0));
    const QString& display = g_displays.at(screen);
    const double serverBefore = cpuMsOf(g_serverPids.at(screen));
    for (auto _ : state)
        if (!setX11RootWallpaper(display, g_photo)) state.SkipWithError("the root window was not set");
    state.counters["server_cpu_ms"] =
        benchmark::Counter(cpuMsOf(g_serverPids.at(screen)) - serverBefore, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_X11RootChange)->ArgName("screen4k")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    g_photo = makePhoto(folder.path());
    if (g_photo.isEmpty()) {
        std::fprintf(stderr, "could not write the test photo\n");
        return 1;
    }
    std::vector<std::unique_ptr<QProcess>> servers;
    for (const char* size : {"1920x1080x24", "3840x2160x24"}) {
        auto& xvfb = servers.emplace_back(std::make_unique<QProcess>());
        xvfb->start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                             QStringLiteral("0"), QString::fromLatin1(size), QStringLiteral("-nolisten"),
                                             QStringLiteral("tcp")});
        if (!xvfb->waitForStarted(10000) || !xvfb->waitForReadyRead(30000)) {
            std::fprintf(stderr, "Xvfb did not start\n");
            return 1;
        }
        g_displays.push_back(QLatin1Char(':') + QString::fromLatin1(xvfb->readLine()).trimmed());
        g_serverPids.push_back(xvfb->processId());
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (auto& xvfb : servers) {  // by process id, like every helper we start
        xvfb->terminate();
        if (!xvfb->waitForFinished(5000)) xvfb->kill();
        xvfb->waitForFinished(5000);
    }
    return 0;
}
