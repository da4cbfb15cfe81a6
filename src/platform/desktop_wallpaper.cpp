#include "platform/desktop_wallpaper.h"

#include "platform/x11_root_wallpaper.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMutex>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <QWaitCondition>
#include <optional>

WallpaperBackend chooseWallpaperBackend(const QString& currentDesktop, const QString& sessionType,
                                        const QString& waylandDisplay, const QString& display,
                                        const QString& swaySocket)
{
    static const struct {
        const char* name;
        WallpaperBackend backend;
    } known[] = {
        {"GNOME", WallpaperBackend::Gnome},       {"Unity", WallpaperBackend::Gnome},
        {"Budgie", WallpaperBackend::Gnome},      {"Pantheon", WallpaperBackend::Gnome},
        {"X-Cinnamon", WallpaperBackend::Cinnamon},
        {"Cinnamon", WallpaperBackend::Cinnamon}, {"MATE", WallpaperBackend::Mate},
        {"XFCE", WallpaperBackend::Xfce},         {"KDE", WallpaperBackend::Plasma},
        {"LXDE", WallpaperBackend::Lxde},         {"LXQt", WallpaperBackend::Lxqt},
        {"sway", WallpaperBackend::Sway},
    };
    for (const QString& part : currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString token = part.trimmed();
        for (const auto& k : known)
            if (token.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0) return k.backend;
    }
    if (!swaySocket.isEmpty()) return WallpaperBackend::Sway;
    const QString type = sessionType.trimmed().toLower();
    const bool wayland = type == QLatin1String("wayland") || (type.isEmpty() && !waylandDisplay.isEmpty());
    // Under Wayland an X display is Xwayland's, whose root window nobody sees.
    if (wayland || display.isEmpty()) return WallpaperBackend::None;
    return WallpaperBackend::X11Root;
}

WallpaperBackend chooseWallpaperBackend(const QProcessEnvironment& env)
{
    return chooseWallpaperBackend(env.value(QStringLiteral("XDG_CURRENT_DESKTOP")),
                                  env.value(QStringLiteral("XDG_SESSION_TYPE")),
                                  env.value(QStringLiteral("WAYLAND_DISPLAY")), env.value(QStringLiteral("DISPLAY")),
                                  env.value(QStringLiteral("SWAYSOCK")));
}

namespace {

const QString kCopyPrefix = QStringLiteral("wallpaper-");

struct Change {
    QString file;         // the fresh copy; empty: remove the wallpaper
    QString stamp;        // orders the copies: older ones are removed once this one is shown
    QStringList screens;  // screen names, for desktops that keep a setting per monitor
};

// A settings tool run with the session's environment, never for long: a desktop service that
// hangs must not keep the next change waiting forever. The first failure of a change is kept
// with the tool's own words, for the user.
struct Tool {
    const QProcessEnvironment& env;
    mutable QString failure;

    bool fail(const QString& why) const
    {
        if (failure.isEmpty()) failure = why;
        return false;
    }

    std::optional<QString> run(const QString& program, const QStringList& args) const
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        // Found on the session's search path, which QProcess would not look at.
        const QString found = QStandardPaths::findExecutable(
            program, env.value(QStringLiteral("PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts));
        process.start(found.isEmpty() ? program : found, args, QIODevice::ReadOnly);
        if (!process.waitForStarted(5000)) {
            fail(program + QStringLiteral(" cannot be started (") + process.errorString() + QLatin1Char(')'));
            return std::nullopt;
        }
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(1000);
            fail(program + QStringLiteral(" did not answer"));
            return std::nullopt;
        }
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            // Tools say why on standard error, swaymsg on standard output.
            QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
            if (said.isEmpty()) said = out.trimmed();
            said = said.section(QLatin1Char('\n'), 0, 0).trimmed();
            fail(program + QLatin1Char(' ') + args.value(0) + QStringLiteral(": ") +
                 (said.isEmpty() ? QStringLiteral("ended with code %1").arg(process.exitCode()) : said));
            return std::nullopt;
        }
        return out;
    }
};

// A string in GVariant text form, as gsettings reads it.
QString gvariantString(const QString& s)
{
    QString quoted = s;
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString fileUri(const QString& path) { return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded); }

// GNOME and its relatives: a picture key (a URI, or a plain path for MATE), a dark-style twin
// where the desktop has one, and picture-options, where 'none' hides any picture. MATE's schema
// has no 'none': an empty file name alone gives its plain colour.
void applyGSettings(const Tool& tool, const QString& schema, const QStringList& keys, bool asUri, bool hasNone,
                    const QString& file)
{
    const QString gsettings = QStringLiteral("gsettings");
    const QString options = QStringLiteral("picture-options");
    auto set = [&](const QString& key, const QString& value) {
        return tool.run(gsettings, {QStringLiteral("set"), schema, key, value}).has_value();
    };
    if (file.isEmpty()) {
        for (const QString& key : keys)
            if (!set(key, QStringLiteral("''"))) return;
        if (hasNone) set(options, QStringLiteral("'none'"));
        return;
    }
    if (hasNone) {
        const auto current = tool.run(gsettings, {QStringLiteral("get"), schema, options});
        if (!current) return;
        if (current->trimmed() == QLatin1String("'none'") && !set(options, QStringLiteral("'zoom'"))) return;
    }
    const QString value = gvariantString(asUri ? fileUri(file) : file);
    for (const QString& key : keys)
        if (!set(key, value)) return;
}

// xfdesktop keeps one backdrop per monitor and workspace; each gets the picture. A style of 0
// shows no picture, which is how a removal is made and undone.
void applyXfce(const Tool& tool, const QString& file, const QStringList& screens)
{
    const QString query = QStringLiteral("xfconf-query");
    const QStringList channel{QStringLiteral("-c"), QStringLiteral("xfce4-desktop")};
    const auto listing = tool.run(query, channel + QStringList{QStringLiteral("-l"), QStringLiteral("-v")});
    if (!listing) return;
    static const QRegularExpression imageKey(QStringLiteral("^/backdrop/.*/(last-image|image-path)$"));
    static const QRegularExpression styleKey(QStringLiteral("^/backdrop/.*/image-style$"));
    QStringList images, folders;
    QHash<QString, QString> styles;
    for (const QString& line : listing->split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString property = line.section(QLatin1Char(' '), 0, 0);
        const QString value = line.section(QLatin1Char(' '), 1).trimmed();
        if (imageKey.match(property).hasMatch()) {
            images << property;
            const QString folder = property.section(QLatin1Char('/'), 0, -2);
            if (!folders.contains(folder)) folders << folder;
        } else if (styleKey.match(property).hasMatch()) {
            styles.insert(property, value);
        }
    }
    const QStringList setString{QStringLiteral("-n"), QStringLiteral("-t"), QStringLiteral("string"),
                                QStringLiteral("-s")};
    const QStringList setInt{QStringLiteral("-n"), QStringLiteral("-t"), QStringLiteral("int"), QStringLiteral("-s")};
    if (file.isEmpty()) {
        for (const QString& folder : folders)
            tool.run(query, channel + QStringList{QStringLiteral("-p"), folder + QStringLiteral("/image-style")} +
                                setInt + QStringList{QStringLiteral("0")});
        return;
    }
    // A desktop that never had a backdrop set yet: one for each monitor's first workspace.
    if (images.isEmpty())
        for (const QString& screen : screens)
            images << QStringLiteral("/backdrop/screen0/monitor%1/workspace0/last-image").arg(screen);
    for (auto it = styles.cbegin(); it != styles.cend(); ++it)
        if (it.value() == QLatin1String("0"))
            tool.run(query, channel + QStringList{QStringLiteral("-p"), it.key()} + setInt + QStringList{QStringLiteral("5")});
    for (const QString& property : images)
        tool.run(query, channel + QStringList{QStringLiteral("-p"), property} + setString + QStringList{file});
}

// Plasma's desktop scripting: every desktop's wallpaper plugin. Without a picture the plain
// colour plugin takes over.
void applyPlasma(const Tool& tool, const QString& file)
{
    const QProcessEnvironment& env = tool.env;
    QString script;
    if (file.isEmpty()) {
        script = QStringLiteral("desktops().forEach(function (d) { d.wallpaperPlugin = 'org.kde.color'; });");
    } else {
        const QByteArray quoted = QJsonDocument(QJsonArray{fileUri(file)}).toJson(QJsonDocument::Compact);
        script = QStringLiteral(
                     "var uri = %1[0];\n"
                     "desktops().forEach(function (d) {\n"
                     "  d.wallpaperPlugin = 'org.kde.image';\n"
                     "  d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];\n"
                     "  d.writeConfig('Image', uri);\n"
                     "});")
                     .arg(QString::fromUtf8(quoted));
    }
    const QString address = env.value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    QDBusConnection bus = address.isEmpty()
                              ? QDBusConnection::sessionBus()
                              : QDBusConnection::connectToBus(address, QStringLiteral("voz-wallpaper ") + address);
    if (!bus.isConnected()) {
        tool.fail(QStringLiteral("no session bus to reach plasmashell"));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.kde.plasmashell"), QStringLiteral("/PlasmaShell"),
                                                       QStringLiteral("org.kde.PlasmaShell"),
                                                       QStringLiteral("evaluateScript"));
    call << script;
    const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
    if (reply.type() == QDBusMessage::ErrorMessage) tool.fail(QStringLiteral("plasmashell: ") + reply.errorMessage());
}

// pcmanfm hands the change to its running desktop instance and ends.
void applyPcmanfm(const Tool& tool, const QString& program, const QString& fillMode, const QString& file)
{
    if (file.isEmpty())
        tool.run(program, {QStringLiteral("--wallpaper-mode=color")});
    else
        tool.run(program, {QStringLiteral("--set-wallpaper=") + file, QStringLiteral("--wallpaper-mode=") + fillMode});
}

// sway reads one command line; the quotes keep a path with blanks one argument. A removal
// leaves the black of a bare X root window.
void applySway(const Tool& tool, const QString& file)
{
    const QStringList output{QStringLiteral("output"), QStringLiteral("*"), QStringLiteral("bg")};
    if (file.isEmpty())
        tool.run(QStringLiteral("swaymsg"), output + QStringList{QStringLiteral("#000000"), QStringLiteral("solid_color")});
    else
        tool.run(QStringLiteral("swaymsg"),
                 output + QStringList{QLatin1Char('"') + file + QLatin1Char('"'), QStringLiteral("fill")});
}

// Empty when the desktop took the change; otherwise why not.
QString apply(WallpaperBackend backend, const QProcessEnvironment& env, const Change& change)
{
    const Tool tool{env, {}};
    const QString& file = change.file;
    switch (backend) {
    case WallpaperBackend::Gnome:
        applyGSettings(tool, QStringLiteral("org.gnome.desktop.background"),
                       {QStringLiteral("picture-uri"), QStringLiteral("picture-uri-dark")}, true, true, file);
        break;
    case WallpaperBackend::Cinnamon:
        applyGSettings(tool, QStringLiteral("org.cinnamon.desktop.background"), {QStringLiteral("picture-uri")}, true,
                       true, file);
        break;
    case WallpaperBackend::Mate:
        applyGSettings(tool, QStringLiteral("org.mate.background"), {QStringLiteral("picture-filename")}, false, false,
                       file);
        break;
    case WallpaperBackend::Xfce: applyXfce(tool, file, change.screens); break;
    case WallpaperBackend::Plasma: applyPlasma(tool, file); break;
    case WallpaperBackend::Lxde: applyPcmanfm(tool, QStringLiteral("pcmanfm"), QStringLiteral("crop"), file); break;
    case WallpaperBackend::Lxqt: applyPcmanfm(tool, QStringLiteral("pcmanfm-qt"), QStringLiteral("zoom"), file); break;
    case WallpaperBackend::Sway: applySway(tool, file); break;
    case WallpaperBackend::X11Root: {
        const QString display = env.value(QStringLiteral("DISPLAY"));
        if (!setX11RootWallpaper(display, file))
            tool.fail(QStringLiteral("the picture cannot be drawn on the X display ") + display);
        break;
    }
    case WallpaperBackend::None: break;
    }
    return tool.failure;
}

// Why no back end serves the session, in the user's terms.
QString noBackendReason(const QProcessEnvironment& env)
{
    const QString desktop = env.value(QStringLiteral("XDG_CURRENT_DESKTOP"));
    const QString named = desktop.isEmpty() ? QStringLiteral("an unnamed desktop") : desktop;
    if (!env.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() ||
        env.value(QStringLiteral("XDG_SESSION_TYPE")).trimmed().toLower() == QLatin1String("wayland"))
        return QStringLiteral("no way to set it is known for %1 on Wayland").arg(named);
    return QStringLiteral("no way to set it is known for %1 without an X display").arg(named);
}

// Copies older than `stamp`: the desktop has been told about a newer one.
void removeOlderCopies(const QString& folder, const QString& stamp)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList({kCopyPrefix + QLatin1Char('*')}, QDir::Files))
        if (QFileInfo(name).completeBaseName() < kCopyPrefix + stamp) QFile::remove(dir.filePath(name));
}

}  // namespace

class DesktopWallpaper::Worker : public QThread {
public:
    Worker(WallpaperBackend backend, QProcessEnvironment env, QString folder, FailureHandler failed)
        : m_backend(backend), m_env(std::move(env)), m_folder(std::move(folder)), m_failed(std::move(failed))
    {
    }

    void post(Change change)
    {
        QMutexLocker lock(&m_mutex);
        m_pending = std::move(change);
        m_wake.wakeAll();
    }

    bool waitForIdle(int msecs)
    {
        QDeadlineTimer deadline(msecs);
        QMutexLocker lock(&m_mutex);
        while (m_pending || m_busy)
            if (!m_idle.wait(&m_mutex, deadline)) return false;
        return true;
    }

    void stop()
    {
        QMutexLocker lock(&m_mutex);
        m_stopping = true;
        m_wake.wakeAll();
    }

protected:
    void run() override
    {
        for (;;) {
            Change change;
            {
                QMutexLocker lock(&m_mutex);
                while (!m_pending && !m_stopping) m_wake.wait(&m_mutex);
                if (!m_pending) return;
                change = std::move(*m_pending);
                m_pending.reset();
                m_busy = true;
            }
            const QString failure = apply(m_backend, m_env, change);
            if (!failure.isEmpty() && m_failed) m_failed(failure);
            removeOlderCopies(m_folder, change.stamp);
            QMutexLocker lock(&m_mutex);
            m_busy = false;
            if (!m_pending) m_idle.wakeAll();
        }
    }

private:
    const WallpaperBackend m_backend;
    const QProcessEnvironment m_env;
    const QString m_folder;
    const FailureHandler m_failed;
    QMutex m_mutex;
    QWaitCondition m_wake, m_idle;
    std::optional<Change> m_pending;
    bool m_busy = false;
    bool m_stopping = false;
};

DesktopWallpaper::DesktopWallpaper(QProcessEnvironment env, QString cacheFolder, FailureHandler failed)
    : m_env(std::move(env)),
      m_cacheFolder(std::move(cacheFolder)),
      m_backend(chooseWallpaperBackend(m_env)),
      m_failed(std::move(failed))
{
}

DesktopWallpaper::~DesktopWallpaper()
{
    if (!m_worker) return;
    m_worker->stop();
    // A change under way finishes first; each of its steps is bounded, but a program that is
    // ending does not wait out a hung desktop service.
    if (m_worker->wait(3000))
        delete m_worker;
}

bool DesktopWallpaper::set(const QString& path, QString* reason)
{
    if (m_backend == WallpaperBackend::None) {
        if (reason) *reason = noBackendReason(m_env);
        return false;
    }
    // Stamps grow within a run and across runs, and sort as text.
    m_lastStamp = std::max<quint64>(m_lastStamp + 1, quint64(QDateTime::currentMSecsSinceEpoch()) * 1000);
    Change change;
    change.stamp = QStringLiteral("%1").arg(m_lastStamp, 16, 16, QLatin1Char('0'));
    if (!path.isEmpty()) {
        if (!QFileInfo(path).isFile()) {
            if (reason) *reason = path + QStringLiteral(" is no file");
            return false;
        }
        QDir().mkpath(m_cacheFolder);
        const QString suffix = QFileInfo(path).suffix();
        change.file = QDir(m_cacheFolder).filePath(kCopyPrefix + change.stamp +
                                                   (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix));
        // Taken now: the caller may overwrite its file for the next change at once. Without
        // room for a copy the desktop still gets the picture, by its own name.
        if (!QFile::copy(path, change.file)) change.file = path;
    }
    if (m_backend == WallpaperBackend::Xfce && qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        for (const QScreen* screen : QGuiApplication::screens()) change.screens << screen->name();
    if (!m_worker) {
        m_worker = new Worker(m_backend, m_env, m_cacheFolder, m_failed);
        m_worker->start();
    }
    m_worker->post(std::move(change));
    return true;
}

bool DesktopWallpaper::waitForIdle(int msecs) { return !m_worker || m_worker->waitForIdle(msecs); }
