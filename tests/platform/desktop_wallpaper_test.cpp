// The wallpaper back ends against real desktop components: the root window of an Xvfb, GNOME's,
// MATE's and Cinnamon's settings in dconf and xfdesktop's in xfconfd, each on a private session
// bus, and pcmanfm's desktop; sway's swaymsg is a stand-in script. Every helper is started here
// and stopped by its process id; a missing program skips the test.
#include "platform/desktop_wallpaper.h"
#include "platform/qt_platform.h"
#include "support/test_program.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMutex>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUrl>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <xcb/xcb.h>

namespace {

// A helper program of the test, ended by its process id (TERM, then KILL).
struct Helper : QProcess {
    ~Helper() override
    {
        if (state() == NotRunning) return;
        terminate();
        if (!waitForFinished(5000)) {
            kill();
            waitForFinished(5000);
        }
    }
    bool start(const QString& program, const QStringList& args, const QProcessEnvironment& env)
    {
        setProcessEnvironment(env);
        QProcess::start(program, args);
        return waitForStarted(10000);
    }
    // The first line the program prints, e.g. a display number or a bus address.
    QString firstLine(int msecs)
    {
        const bool ready = QTest::qWaitFor([&] {
            waitForReadyRead(50);
            return canReadLine();
        }, msecs);
        return ready ? QString::fromLocal8Bit(readLine()).trimmed() : QString();
    }
};

// What a tool printed, or nothing when it failed.
std::optional<QString> runTool(const QString& program, const QStringList& args, const QProcessEnvironment& env)
{
    Helper tool;
    if (!tool.start(program, args, env) || !tool.waitForFinished(20000) || tool.exitCode() != 0) return std::nullopt;
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

QString program(const QString& name)
{
    if (QFileInfo(name).isAbsolute()) return QFileInfo(name).isExecutable() ? name : QString();
    return QStandardPaths::findExecutable(name);
}

#define REQUIRE_PROGRAMS(...)                                                             \
    for (const char* needed : {__VA_ARGS__})                                              \
        if (program(QString::fromUtf8(needed)).isEmpty()) GTEST_SKIP() << needed << " is not installed";

QString savePicture(const QTemporaryDir& dir, const char* name, QColor colour)
{
    const QString path = dir.filePath(QString::fromUtf8(name));
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

QColor middleOf(const QString& path)
{
    const QImage image(path);
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

QProcessEnvironment desktopFree()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CURRENT_DESKTOP", "XDG_SESSION_TYPE", "WAYLAND_DISPLAY", "DISPLAY",
                             "DBUS_SESSION_BUS_ADDRESS", "GSETTINGS_BACKEND", "SWAYSOCK"})
        env.remove(QString::fromUtf8(name));
    return env;
}

// The back end under test, with the reasons it gave for changes the desktop did not take (told
// on its worker).
struct Wallpaper {
    Wallpaper(const QProcessEnvironment& env, const QString& cache)
        : desktop(env, cache, [this](const QString& reason) {
              QMutexLocker lock(&mutex);
              reasons << reason;
          })
    {
    }
    // Hands the desktop a picture (empty: none) and waits until the back end has done with it.
    [[nodiscard]] bool show(const QString& picture) { return desktop.set(picture) && desktop.waitForIdle(60000); }
    QStringList failures()
    {
        QMutexLocker lock(&mutex);
        return std::exchange(reasons, {});
    }

    QMutex mutex;
    QStringList reasons;
    DesktopWallpaper desktop;  // last: its worker ends before the list does
};

// ---- plain X11 -------------------------------------------------------------------------------

// An Xvfb of our own and a connection to its root window.
struct X11 {
    Helper xvfb;
    QString display;
    xcb_connection_t* c = nullptr;
    xcb_window_t root = 0;
    ~X11()
    {
        if (c) xcb_disconnect(c);
    }
    bool start(const char* size)
    {
        const QString args = QStringLiteral("-displayfd 1 -screen 0 %1 -nolisten tcp").arg(QLatin1String(size));
        if (!xvfb.start(QStringLiteral("Xvfb"), args.split(u' '), desktopFree())) return false;
        const QString number = xvfb.firstLine(30000);
        if (number.isEmpty()) return false;
        display = QLatin1Char(':') + number;
        c = xcb_connect(display.toLocal8Bit().constData(), nullptr);
        if (xcb_connection_has_error(c)) return false;
        root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        return true;
    }

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
    ensureApplication();
    QTemporaryDir dir;
    X11 x;
    ASSERT_TRUE(x.start("640x480x24")) << "Xvfb did not come up";
    QProcessEnvironment env = desktopFree();
    env.insert(QStringLiteral("DISPLAY"), x.display);
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("icewm"));
    Wallpaper wallpaper(env, dir.filePath(QStringLiteral("cache")));
    ASSERT_EQ(wallpaper.desktop.backend(), WallpaperBackend::X11Root);

    const QColor red(200, 30, 40), blue(20, 60, 210);
    ASSERT_TRUE(wallpaper.show(savePicture(dir, "red.bmp", red)));
    // Scaled to cover the screen: the middle and the far corner both show it.
    EXPECT_TRUE(looksLike(x.pixel(320, 240), red, 0));
    EXPECT_TRUE(looksLike(x.pixel(639, 479), red, 0));
    const std::uint32_t first = x.pixmapProperty("_XROOTPMAP_ID");
    ASSERT_NE(first, 0u);
    EXPECT_EQ(x.pixmapProperty("ESETROOT_PMAP_ID"), first);
    EXPECT_EQ(x.pixmapSize(first), QSize(640, 480));

    ASSERT_TRUE(wallpaper.show(savePicture(dir, "blue.jpg", blue)));
    EXPECT_TRUE(looksLike(x.pixel(320, 240), blue));
    EXPECT_TRUE(looksLike(x.pixel(0, 0), blue));
    const std::uint32_t second = x.pixmapProperty("_XROOTPMAP_ID");
    ASSERT_NE(second, 0u);
    EXPECT_NE(second, first);
    EXPECT_FALSE(x.pixmapSize(first)) << "the first picture's pixmap was left on the server";

    ASSERT_TRUE(wallpaper.show(QString()));
    EXPECT_EQ(x.pixmapProperty("_XROOTPMAP_ID"), 0u);
    EXPECT_EQ(x.pixmapProperty("ESETROOT_PMAP_ID"), 0u);
    EXPECT_TRUE(looksLike(x.pixel(320, 240), Qt::black, 0));
    EXPECT_FALSE(x.pixmapSize(second));
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("cache"))).isEmpty());
    EXPECT_EQ(wallpaper.failures(), QStringList());
}

// ---- settings stores on a private session bus ------------------------------------------------

// The environment of a desktop session whose settings live under `folder`.
QProcessEnvironment sessionUnder(const QString& folder, const QString& busAddress, const QString& desktop)
{
    QProcessEnvironment env = desktopFree();
    for (const char* sub : {"home", "config"}) QDir(folder).mkpath(QString::fromUtf8(sub));
    QDir(folder).mkdir(QStringLiteral("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.insert(QStringLiteral("HOME"), folder + QStringLiteral("/home"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder + QStringLiteral("/runtime"));
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), desktop);
    env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
    return env;
}

// A desktop session under a folder of its own, on a session bus of its own with no activatable
// services: the test starts the settings store itself.
struct StoreSession {
    QTemporaryDir dir;
    QProcessEnvironment env;
    Helper bus, store;

    // Starts the bus and the store's daemon and waits until the daemon has taken its name.
    bool start(const char* desktop, const QString& daemon, const QString& name)
    {
        const QString config = dir.filePath(QStringLiteral("bus.conf"));
        const QString conf =
            QStringLiteral("<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>\n"
                           "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                           "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
        if (!writeFile(config, conf.arg(dir.path()).toUtf8())) return false;
        if (!bus.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")},
                       desktopFree()))
            return false;
        const QString address = bus.firstLine(30000);
        if (address.isEmpty()) return false;
        env = sessionUnder(dir.path(), address, QString::fromUtf8(desktop));
        if (!store.start(daemon, {}, env)) return false;
        QDBusConnection connection = QDBusConnection::connectToBus(address, name + QLatin1Char(' ') + address);
        return QTest::qWaitFor([&] {
            return connection.isConnected() && connection.interface()->isServiceRegistered(name).value();
        }, 30000);
    }
};

// GNOME and its relatives, on their own schemas (gsettings-desktop-schemas, mate-desktop-common,
// cinnamon-desktop-data): two pictures through one file name, then a removal, each taken by the
// schema without a refusal. dconf-service runs with the private home, so nothing reaches the real one.
TEST(DesktopWallpaper, GnomeMateCinnamonShowTheSecondPictureAndClear)
{
    REQUIRE_PROGRAMS("dbus-daemon", "gsettings", "/usr/libexec/dconf-service");
    ensureApplication();
    const struct {
        const char* desktop;
        WallpaperBackend backend;
        const char* schema;
        const char* key;
        const char* darkKey;   // or null
        bool uri;              // a file: URI rather than a path
        const char* cleared;   // picture-options after a removal
    } cases[] = {
        {"ubuntu:GNOME", WallpaperBackend::Gnome, "org.gnome.desktop.background", "picture-uri", "picture-uri-dark",
         true, "'none'"},
        {"MATE", WallpaperBackend::Mate, "org.mate.background", "picture-filename", nullptr, false, "'zoom'"},
        {"X-Cinnamon", WallpaperBackend::Cinnamon, "org.cinnamon.desktop.background", "picture-uri", nullptr, true,
         "'none'"},
    };
    int ran = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.desktop);
        const QString schema = QString::fromUtf8(c.schema);
        if (!QFile::exists(QStringLiteral("/usr/share/glib-2.0/schemas/%1.gschema.xml").arg(schema))) continue;
        ++ran;
        StoreSession session;
        ASSERT_TRUE(
            session.start(c.desktop, QStringLiteral("/usr/libexec/dconf-service"), QStringLiteral("ca.desrt.dconf")));
        const QTemporaryDir& dir = session.dir;
        QProcessEnvironment& env = session.env;
        env.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("dconf"));

        auto gsettings = [&](const char* verb, const char* key, const QStringList& value = {}) {
            return runTool(QStringLiteral("gsettings"), QStringList{verb, schema, key} + value, env);
        };
        auto get = [&](const char* key) { return gsettings("get", key); };
        // The picture's file from a string value ('...'): a file: URI or the path itself.
        auto shownFile = [&](const QString& value) {
            const QString text = value.mid(1, value.size() - 2);
            return c.uri ? QUrl(text).toLocalFile() : text;
        };
        // A removal left by an earlier run, where the schema knows one.
        if (QString::fromUtf8(c.cleared) == QLatin1String("'none'")) {
            ASSERT_TRUE(gsettings("set", "picture-options", {"'none'"}));
        }

        Wallpaper wallpaper(env, dir.filePath(QStringLiteral("cache")));
        ASSERT_EQ(wallpaper.desktop.backend(), c.backend);
        // Both pictures come through one file name, as the converted pictures do.
        const QColor red(220, 20, 30), green(30, 200, 40);

        ASSERT_TRUE(wallpaper.show(savePicture(dir, "picture.jpg", red)));
        const std::optional<QString> first = get(c.key);
        ASSERT_TRUE(first);
        EXPECT_TRUE(looksLike(middleOf(shownFile(*first)), red)) << first->toStdString();
        EXPECT_EQ(get("picture-options"), QStringLiteral("'zoom'"));

        ASSERT_TRUE(wallpaper.show(savePicture(dir, "picture.jpg", green)));
        EXPECT_TRUE(QTest::qWaitFor([&] { return get(c.key) != first; }, 30000))
            << c.key << " stayed " << first->toStdString();
        const std::optional<QString> second = get(c.key);
        ASSERT_TRUE(second);
        EXPECT_TRUE(looksLike(middleOf(shownFile(*second)), green)) << second->toStdString();
        if (c.darkKey) {
            EXPECT_EQ(get(c.darkKey), second);
        }
        EXPECT_FALSE(QFile::exists(shownFile(*first))) << "the earlier copy was left behind";

        ASSERT_TRUE(wallpaper.show(QString()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return get(c.key) == QStringLiteral("''"); }, 30000));
        EXPECT_EQ(get("picture-options"), QString::fromUtf8(c.cleared));
        EXPECT_EQ(wallpaper.failures(), QStringList());
        EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("config/dconf/user")))) << "dconf wrote elsewhere";
    }
    if (ran == 0) GTEST_SKIP() << "no desktop schema is installed";
}

TEST(DesktopWallpaper, XfceSetsEveryBackdrop)
{
    REQUIRE_PROGRAMS("dbus-daemon", "xfconf-query");
    QString xfconfd;
    for (const char* place : {"/usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd", "/usr/lib/xfce4/xfconf/xfconfd",
                              "/usr/libexec/xfconfd"})
        if (xfconfd.isEmpty()) xfconfd = program(QString::fromUtf8(place));
    if (xfconfd.isEmpty()) GTEST_SKIP() << "xfconfd is not installed";
    ensureApplication();
    StoreSession session;
    ASSERT_TRUE(session.start("XFCE", xfconfd, QStringLiteral("org.xfce.Xfconf")));
    const QTemporaryDir& dir = session.dir;
    const QProcessEnvironment& env = session.env;

    // A property of the first monitor's backdrops; with more arguments, made with that type and value.
    auto property = [&](const char* name, const QStringList& create = {}) {
        const QString path = QStringLiteral("/backdrop/screen0/monitorVirtual1/") + QString::fromUtf8(name);
        return runTool(QStringLiteral("xfconf-query"), QStringList{"-c", "xfce4-desktop", "-p", path} + create, env);
    };
    ASSERT_TRUE(property("workspace0/last-image", {"-n", "-t", "string", "-s", "/nowhere/old.png"}));
    ASSERT_TRUE(property("workspace1/last-image", {"-n", "-t", "string", "-s", "/nowhere/old.png"}));
    ASSERT_TRUE(property("workspace1/image-style", {"-n", "-t", "int", "-s", "0"}));

    Wallpaper wallpaper(env, dir.filePath(QStringLiteral("cache")));
    ASSERT_EQ(wallpaper.desktop.backend(), WallpaperBackend::Xfce);
    const QColor yellow(230, 210, 20);
    ASSERT_TRUE(wallpaper.show(savePicture(dir, "picture.jpg", yellow)));
    const std::optional<QString> shown = property("workspace0/last-image");
    ASSERT_TRUE(shown);
    EXPECT_TRUE(looksLike(middleOf(*shown), yellow)) << shown->toStdString();
    EXPECT_EQ(property("workspace1/last-image"), shown);
    EXPECT_EQ(property("workspace1/image-style"), QStringLiteral("5"));

    ASSERT_TRUE(wallpaper.show(QString()));
    EXPECT_EQ(property("workspace0/image-style"), QStringLiteral("0"));
    EXPECT_EQ(property("workspace1/image-style"), QStringLiteral("0"));
    EXPECT_EQ(wallpaper.failures(), QStringList());
}

// A swaymsg stand-in running the shell body, in dir/bin; that folder, or empty.
QString fakeSwaymsg(const QTemporaryDir& dir, const QString& body)
{
    const QString bin = dir.filePath(QStringLiteral("bin"));
    const QString script = bin + QStringLiteral("/swaymsg");
    if (!QDir().mkpath(bin) || !writeFile(script, "#!/bin/sh\n" + body.toUtf8())) return {};
    return QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) ? bin : QString();
}

// sway through a stand-in swaymsg that writes down its arguments and answers as sway would; the
// real compositor has its own scenario. A refusal reaches the failure handler with sway's words.
TEST(DesktopWallpaper, SwayCommandsAndRefusalsAreSeen)
{
    ensureApplication();
    QTemporaryDir dir;
    const QString args = dir.filePath(QStringLiteral("args")), answer = dir.filePath(QStringLiteral("answer"));
    const QString bin = fakeSwaymsg(dir, QStringLiteral("printf '%s|' \"$@\" > '%1'\n"
                                                        "[ -s '%2' ] || exit 0\ncat '%2'\nexit 2\n").arg(args, answer));
    ASSERT_FALSE(bin.isEmpty());
    QProcessEnvironment env = desktopFree();
    env.insert(QStringLiteral("PATH"), bin + QLatin1Char(':') + env.value(QStringLiteral("PATH")));
    env.insert(QStringLiteral("SWAYSOCK"), dir.filePath(QStringLiteral("sway-ipc.sock")));
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("wayland-1"));
    Wallpaper wallpaper(env, dir.filePath(QStringLiteral("my cache")));  // a blank: one argument all the same
    ASSERT_EQ(wallpaper.desktop.backend(), WallpaperBackend::Sway);
    const QString picture = savePicture(dir, "p.jpg", Qt::red);

    const struct {
        bool clear;
        const char* sway;    // what sway answers; empty: done
        const char* shown;   // the arguments, as a pattern
    } cases[] = {
        {false, "", "^output\\|\\*\\|bg\\|\"[^|]*/my cache/wallpaper-[0-9a-f]+\\.jpg\"\\|fill\\|$"},
        {true, "", "^output\\|\\*\\|bg\\|#000000\\|solid_color\\|$"},
        {false, "[{ \"success\": false, \"error\": \"Unable to access background file\" }]", "bg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        ASSERT_TRUE(writeFile(answer, c.sway));
        ASSERT_TRUE(wallpaper.show(c.clear ? QString() : picture));
        EXPECT_TRUE(QString::fromUtf8(readFile(args)).contains(QRegularExpression(QString::fromUtf8(c.shown))));
        const QStringList refused{QStringLiteral("swaymsg output: ") + QString::fromUtf8(c.sway)};
        EXPECT_EQ(wallpaper.failures(), *c.sway ? refused : QStringList());
    }
}

// The program's platform: a refusal found on the wallpaper's worker is heard on the thread that
// asked, once the event loop runs, as the warning window needs it.
TEST(DesktopWallpaper, SwayRefusalReachesTheAskingThread)
{
    ensureApplication();
    QTemporaryDir dir;
    const QString bin = fakeSwaymsg(dir, QStringLiteral("echo 'Error: no output matched' >&2\nexit 2\n"));
    ASSERT_FALSE(bin.isEmpty());
    // QtPlatform takes the session from the process; the copies go to a cache of our own.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", (bin + QLatin1Char(':')).toLocal8Bit() + path);
    qputenv("SWAYSOCK", dir.filePath(QStringLiteral("sway.sock")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", dir.filePath(QStringLiteral("cache")).toLocal8Bit());
    auto restore = qScopeGuard([path] {
        qputenv("PATH", path);
        qunsetenv("SWAYSOCK");
        qunsetenv("XDG_CACHE_HOME");
    });
    QtPlatform platform;
    QStringList heard;
    platform.setWallpaperFailureCallback([&heard](const QString& reason) {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        heard << reason;
    });
    ASSERT_TRUE(platform.setWallpaper(savePicture(dir, "p.bmp", Qt::blue)));
    EXPECT_TRUE(heard.isEmpty()) << "told before the desktop answered";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !heard.isEmpty(); }, 30000));
    EXPECT_EQ(heard, QStringList{QStringLiteral("swaymsg output: Error: no output matched")});
}

// LXDE: pcmanfm's own desktop under an Xvfb, with the home, configuration and runtime folders
// the program has; the picture shows on the screen and in pcmanfm's settings, and a removal
// shows the plain colour. Without the desktop running, the change is refused, not lost silently.
TEST(DesktopWallpaper, LxdePcmanfmDesktopShowsAndClears)
{
    REQUIRE_PROGRAMS("Xvfb", "pcmanfm");
    ensureApplication();
    QTemporaryDir dir;
    X11 x;
    ASSERT_TRUE(x.start("320x240x24")) << "Xvfb did not come up";
    QProcessEnvironment env = sessionUnder(dir.path(), QString(), QStringLiteral("LXDE"));
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("x11"));
    env.insert(QStringLiteral("DISPLAY"), x.display);
    const QString settings = dir.filePath(QStringLiteral("config/pcmanfm/default/desktop-items-0.conf"));
    auto setting = [&](const char* key) {
        return QSettings(settings, QSettings::IniFormat).value(QStringLiteral("*/") + QLatin1String(key)).toString();
    };

    auto desktop = std::make_unique<Helper>();
    ASSERT_TRUE(desktop->start(QStringLiteral("pcmanfm"), {QStringLiteral("--desktop")}, env));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(settings) && looksLike(x.pixel(160, 120), Qt::black, 0); },
                                30000))
        << "pcmanfm's desktop did not come up";

    Wallpaper wallpaper(env, dir.filePath(QStringLiteral("cache")));
    ASSERT_EQ(wallpaper.desktop.backend(), WallpaperBackend::Lxde);
    const QColor red(200, 30, 40);
    ASSERT_TRUE(wallpaper.show(savePicture(dir, "red.jpg", red)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return looksLike(x.pixel(160, 120), red); }, 30000))
        << "the screen never showed it";
    // pcmanfm writes its settings a moment after it shows them.
    EXPECT_TRUE(QTest::qWaitFor([&] { return looksLike(middleOf(setting("wallpaper")), red); }, 30000))
        << setting("wallpaper").toStdString();
    EXPECT_EQ(setting("wallpaper_mode"), QStringLiteral("crop"));

    ASSERT_TRUE(wallpaper.show(QString()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return looksLike(x.pixel(160, 120), Qt::black, 0); }, 30000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return setting("wallpaper_mode") == QLatin1String("color"); }, 30000));
    EXPECT_EQ(wallpaper.failures(), QStringList());

    desktop.reset();
    ASSERT_TRUE(wallpaper.show(savePicture(dir, "red.jpg", red)));
    const QStringList reasons = wallpaper.failures();
    ASSERT_EQ(reasons.size(), 1);
    EXPECT_TRUE(reasons[0].startsWith(QStringLiteral("pcmanfm"))) << reasons[0].toStdString();
}

}  // namespace
