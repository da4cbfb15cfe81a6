// The wallpaper back ends against real desktop components: the root window of an Xvfb, GNOME's
// settings in dconf and xfdesktop's in xfconfd, each on a private session bus. Every helper is
// started here and stopped by its process id; a missing program skips the test.
#include "platform/desktop_wallpaper.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <xcb/xcb.h>

namespace {

QCoreApplication& app()
{
    static int argc = 1;
    static char name[] = "desktop_wallpaper_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* instance = new QCoreApplication(argc, argv);
    return *instance;
}

// Polls until the condition holds; false when it never does within the time.
bool waitUntil(const std::function<bool()>& condition, int msecs)
{
    QDeadlineTimer deadline(msecs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QThread::msleep(50);
    }
    return true;
}

// A helper program of the test, ended by its process id (TERM, then KILL).
class Helper {
public:
    ~Helper() { stop(); }
    bool start(const QString& program, const QStringList& args, const QProcessEnvironment& env)
    {
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(program, args);
        return m_process.waitForStarted(10000);
    }
    // The first line the program prints, e.g. a display number or a bus address.
    QString firstLine(int msecs)
    {
        QString line;
        waitUntil([&] {
            m_process.waitForReadyRead(50);
            if (!m_process.canReadLine()) return false;
            line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
            return true;
        }, msecs);
        return line;
    }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    QProcess m_process;
};

std::optional<QString> runTool(const QString& program, const QStringList& args, const QProcessEnvironment& env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForFinished(20000) || process.exitCode() != 0) return std::nullopt;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

QString program(const QString& name)
{
    if (QFileInfo(name).isAbsolute()) return QFileInfo(name).isExecutable() ? name : QString();
    return QStandardPaths::findExecutable(name);
}

#define REQUIRE_PROGRAMS(...)                                                             \
    for (const char* needed : {__VA_ARGS__})                                              \
        if (program(QString::fromUtf8(needed)).isEmpty()) GTEST_SKIP() << needed << " is not installed";

QString savePicture(const QString& path, QColor colour)
{
    QImage image(320, 200, QImage::Format_RGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(path, nullptr, 95)) << path.toStdString();
    return path;
}

bool looksLike(QColor seen, QColor expected, int tolerance = 12)
{
    return std::abs(seen.red() - expected.red()) <= tolerance && std::abs(seen.green() - expected.green()) <= tolerance &&
           std::abs(seen.blue() - expected.blue()) <= tolerance;
}

// The colour in the middle of a picture file.
QColor middleOf(const QString& path)
{
    const QImage image(path);
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

QProcessEnvironment desktopFree()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "WAYLAND_DISPLAY", "DISPLAY",
                             "DBUS_SESSION_BUS_ADDRESS", "GSETTINGS_BACKEND"})
        env.remove(QString::fromUtf8(name));
    return env;
}

// ---- plain X11 -------------------------------------------------------------------------------

struct X11 {
    xcb_connection_t* c = nullptr;
    xcb_window_t root = 0;
    explicit X11(const QString& display)
    {
        c = xcb_connect(display.toLocal8Bit().constData(), nullptr);
        if (!xcb_connection_has_error(c)) root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    }
    ~X11() { xcb_disconnect(c); }

    QColor pixel(int x, int y) const
    {
        xcb_get_image_reply_t* reply = xcb_get_image_reply(
            c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, std::int16_t(x), std::int16_t(y), 1, 1, ~0u), nullptr);
        if (!reply) return {};
        std::uint32_t value = 0;
        std::memcpy(&value, xcb_get_image_data(reply), std::min<int>(4, xcb_get_image_data_length(reply)));
        std::free(reply);
        return QColor::fromRgb(value & 0xffffff);
    }
    std::uint32_t pixmapProperty(const char* name) const
    {
        xcb_intern_atom_reply_t* atom =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr);
        xcb_get_property_reply_t* reply =
            xcb_get_property_reply(c, xcb_get_property(c, 0, root, atom->atom, XCB_ATOM_PIXMAP, 0, 1), nullptr);
        std::uint32_t value = 0;
        if (reply && xcb_get_property_value_length(reply) == 4)
            std::memcpy(&value, xcb_get_property_value(reply), 4);
        std::free(reply);
        std::free(atom);
        return value;
    }
    // The size of a pixmap on the server; nothing once it has been freed.
    std::optional<QSize> pixmapSize(std::uint32_t pixmap) const
    {
        xcb_get_geometry_reply_t* reply = xcb_get_geometry_reply(c, xcb_get_geometry(c, pixmap), nullptr);
        if (!reply) return std::nullopt;
        const QSize size(reply->width, reply->height);
        std::free(reply);
        return size;
    }
};

TEST(DesktopWallpaper, X11RootShowsEachPictureAndClears)
{
    REQUIRE_PROGRAMS("Xvfb");
    app();
    QTemporaryDir dir;
    Helper xvfb;
    ASSERT_TRUE(xvfb.start(QStringLiteral("Xvfb"),
                           {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                            QStringLiteral("0"), QStringLiteral("640x480x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp")},
                           desktopFree()));
    const QString number = xvfb.firstLine(30000);
    ASSERT_FALSE(number.isEmpty()) << "Xvfb did not report its display";
    const QString display = QLatin1Char(':') + number;

    QProcessEnvironment env = desktopFree();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("icewm"));
    DesktopWallpaper wallpaper(env, dir.filePath(QStringLiteral("cache")));
    ASSERT_EQ(wallpaper.backend(), WallpaperBackend::X11Root);
    X11 x(display);
    ASSERT_FALSE(xcb_connection_has_error(x.c));

    const QColor red(200, 30, 40), blue(20, 60, 210);
    ASSERT_TRUE(wallpaper.set(savePicture(dir.filePath(QStringLiteral("red.bmp")), red)));
    ASSERT_TRUE(wallpaper.waitForIdle(30000));
    // Scaled to cover the screen: the middle and the far corner both show it.
    EXPECT_TRUE(looksLike(x.pixel(320, 240), red, 0));
    EXPECT_TRUE(looksLike(x.pixel(639, 479), red, 0));
    const std::uint32_t first = x.pixmapProperty("_XROOTPMAP_ID");
    ASSERT_NE(first, 0u);
    EXPECT_EQ(x.pixmapProperty("ESETROOT_PMAP_ID"), first);
    EXPECT_EQ(x.pixmapSize(first), QSize(640, 480));

    ASSERT_TRUE(wallpaper.set(savePicture(dir.filePath(QStringLiteral("blue.jpg")), blue)));
    ASSERT_TRUE(wallpaper.waitForIdle(30000));
    EXPECT_TRUE(looksLike(x.pixel(320, 240), blue));
    EXPECT_TRUE(looksLike(x.pixel(0, 0), blue));
    const std::uint32_t second = x.pixmapProperty("_XROOTPMAP_ID");
    ASSERT_NE(second, 0u);
    EXPECT_NE(second, first);
    EXPECT_FALSE(x.pixmapSize(first)) << "the first picture's pixmap was left on the server";

    ASSERT_TRUE(wallpaper.set(QString()));
    ASSERT_TRUE(wallpaper.waitForIdle(30000));
    EXPECT_EQ(x.pixmapProperty("_XROOTPMAP_ID"), 0u);
    EXPECT_EQ(x.pixmapProperty("ESETROOT_PMAP_ID"), 0u);
    EXPECT_TRUE(looksLike(x.pixel(320, 240), Qt::black, 0));
    EXPECT_FALSE(x.pixmapSize(second));
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("cache"))).isEmpty());
}

// ---- settings stores on a private session bus ------------------------------------------------

// A session bus of our own with no activatable services: the test starts each one itself.
class PrivateBus {
public:
    bool start(const QString& folder)
    {
        const QString config = folder + QStringLiteral("/bus.conf");
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)) return false;
        file.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                                  " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                                  "<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>\n"
                                  "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                  "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                       .arg(folder)
                       .toUtf8());
        file.close();
        if (!m_daemon.start(QStringLiteral("dbus-daemon"),
                            {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                             QStringLiteral("--print-address=1")},
                            desktopFree()))
            return false;
        address = m_daemon.firstLine(30000);
        return !address.isEmpty();
    }
    // Waits until a service has taken its name on the bus.
    bool waitForName(const QString& name)
    {
        QDBusConnection bus = QDBusConnection::connectToBus(address, name + QLatin1Char(' ') + address);
        return waitUntil([&] { return bus.isConnected() && bus.interface()->isServiceRegistered(name).value(); }, 30000);
    }
    QString address;

private:
    Helper m_daemon;
};

// The environment of a desktop session whose settings live under `folder`.
QProcessEnvironment sessionUnder(const QString& folder, const QString& busAddress, const QString& desktop)
{
    QProcessEnvironment env = desktopFree();
    for (const char* sub : {"home", "config", "runtime"}) QDir(folder).mkpath(QString::fromUtf8(sub));
    QFile::setPermissions(folder + QStringLiteral("/runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                   QFileDevice::ExeOwner);
    env.insert(QStringLiteral("HOME"), folder + QStringLiteral("/home"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder + QStringLiteral("/runtime"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), desktop);
    env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    return env;
}

// A gsettings string value ('...') as a local path.
QString pathOfUri(const QString& gvariant)
{
    QString text = gvariant;
    if (text.startsWith(QLatin1Char('\'')) && text.endsWith(QLatin1Char('\''))) text = text.mid(1, text.size() - 2);
    return QUrl(text).toLocalFile();
}

TEST(DesktopWallpaper, GnomeShowsTheSecondPictureFromTheSameFileName)
{
    const QString dconfService = QStringLiteral("/usr/libexec/dconf-service");
    REQUIRE_PROGRAMS("dbus-daemon", "gsettings", "/usr/libexec/dconf-service");
    if (!QFile::exists(QStringLiteral("/usr/share/glib-2.0/schemas/org.gnome.desktop.background.gschema.xml")))
        GTEST_SKIP() << "gsettings-desktop-schemas is not installed";
    app();
    QTemporaryDir dir;
    PrivateBus bus;
    ASSERT_TRUE(bus.start(dir.path()));
    QProcessEnvironment env = sessionUnder(dir.path(), bus.address, QStringLiteral("ubuntu:GNOME"));
    env.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("dconf"));
    Helper dconf;
    ASSERT_TRUE(dconf.start(dconfService, {}, env));
    ASSERT_TRUE(bus.waitForName(QStringLiteral("ca.desrt.dconf")));

    const QString gsettings = QStringLiteral("gsettings"), schema = QStringLiteral("org.gnome.desktop.background");
    auto get = [&](const char* key) { return runTool(gsettings, {QStringLiteral("get"), schema, QString::fromUtf8(key)}, env); };
    ASSERT_TRUE(runTool(gsettings, {QStringLiteral("set"), schema, QStringLiteral("picture-options"), QStringLiteral("'none'")}, env));

    DesktopWallpaper wallpaper(env, dir.filePath(QStringLiteral("cache")));
    ASSERT_EQ(wallpaper.backend(), WallpaperBackend::Gnome);
    // Both pictures come through one file name, as the converted pictures do.
    const QString picture = dir.filePath(QStringLiteral("picture.jpg"));
    const QColor red(220, 20, 30), green(30, 200, 40);

    ASSERT_TRUE(wallpaper.set(savePicture(picture, red)));
    ASSERT_TRUE(wallpaper.waitForIdle(60000));
    const std::optional<QString> first = get("picture-uri");
    ASSERT_TRUE(first);
    EXPECT_TRUE(looksLike(middleOf(pathOfUri(*first)), red)) << first->toStdString();
    EXPECT_EQ(get("picture-options"), QStringLiteral("'zoom'"));

    ASSERT_TRUE(wallpaper.set(savePicture(picture, green)));
    ASSERT_TRUE(wallpaper.waitForIdle(60000));
    std::optional<QString> second;
    EXPECT_TRUE(waitUntil([&] { return (second = get("picture-uri")) && *second != *first; }, 30000))
        << "picture-uri stayed " << first->toStdString();
    ASSERT_TRUE(second);
    EXPECT_TRUE(looksLike(middleOf(pathOfUri(*second)), green)) << second->toStdString();
    EXPECT_EQ(get("picture-uri-dark"), second);
    EXPECT_FALSE(QFile::exists(pathOfUri(*first))) << "the earlier copy was left behind";
}

TEST(DesktopWallpaper, XfceSetsEveryBackdrop)
{
    REQUIRE_PROGRAMS("dbus-daemon", "xfconf-query");
    QString xfconfd;
    for (const char* place : {"/usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd", "/usr/lib/xfce4/xfconf/xfconfd",
                              "/usr/libexec/xfconfd"})
        if (xfconfd.isEmpty()) xfconfd = program(QString::fromUtf8(place));
    if (xfconfd.isEmpty()) GTEST_SKIP() << "xfconfd is not installed";
    app();
    QTemporaryDir dir;
    PrivateBus bus;
    ASSERT_TRUE(bus.start(dir.path()));
    const QProcessEnvironment env = sessionUnder(dir.path(), bus.address, QStringLiteral("XFCE"));
    Helper daemon;
    ASSERT_TRUE(daemon.start(xfconfd, {}, env));
    ASSERT_TRUE(bus.waitForName(QStringLiteral("org.xfce.Xfconf")));

    const QString query = QStringLiteral("xfconf-query");
    const QString base = QStringLiteral("/backdrop/screen0/monitorVirtual1/");
    auto property = [&](const QString& name) {
        return runTool(query, {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"), QStringLiteral("-p"), base + name}, env);
    };
    auto create = [&](const QString& name, const char* type, const QString& value) {
        return runTool(query, {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"), QStringLiteral("-p"), base + name,
                               QStringLiteral("-n"), QStringLiteral("-t"), QString::fromUtf8(type), QStringLiteral("-s"), value},
                       env)
            .has_value();
    };
    ASSERT_TRUE(create(QStringLiteral("workspace0/last-image"), "string", QStringLiteral("/nowhere/old.png")));
    ASSERT_TRUE(create(QStringLiteral("workspace1/last-image"), "string", QStringLiteral("/nowhere/old.png")));
    ASSERT_TRUE(create(QStringLiteral("workspace1/image-style"), "int", QStringLiteral("0")));

    DesktopWallpaper wallpaper(env, dir.filePath(QStringLiteral("cache")));
    ASSERT_EQ(wallpaper.backend(), WallpaperBackend::Xfce);
    const QColor yellow(230, 210, 20);
    ASSERT_TRUE(wallpaper.set(savePicture(dir.filePath(QStringLiteral("picture.jpg")), yellow)));
    ASSERT_TRUE(wallpaper.waitForIdle(60000));
    const std::optional<QString> shown = property(QStringLiteral("workspace0/last-image"));
    ASSERT_TRUE(shown);
    EXPECT_TRUE(looksLike(middleOf(*shown), yellow)) << shown->toStdString();
    EXPECT_EQ(property(QStringLiteral("workspace1/last-image")), shown);
    EXPECT_EQ(property(QStringLiteral("workspace1/image-style")), QStringLiteral("5"));

    ASSERT_TRUE(wallpaper.set(QString()));
    ASSERT_TRUE(wallpaper.waitForIdle(60000));
    EXPECT_EQ(property(QStringLiteral("workspace0/image-style")), QStringLiteral("0"));
    EXPECT_EQ(property(QStringLiteral("workspace1/image-style")), QStringLiteral("0"));
}

}  // namespace
