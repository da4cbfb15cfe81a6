#include "platform/qt_platform.h"

#include "platform/desktop_wallpaper.h"
#include "platform/midi_player.h"
#include "platform/midi_synth.h"
#include "platform/status_notifier_item.h"
#include "platform/x11_tray_watch.h"
#include "platform/wave_output.h"
#include "platform/wave_player.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

namespace {
QString modulePath(const QString& folder, const char* name)
{
    return folder.isEmpty() ? QString() : QDir(folder).filePath(QLatin1String(name));
}
}  // namespace

QtPlatform::QtPlatform(const QString& moduleFolder)
    : m_wave(std::make_unique<WavePlayer>(modulePath(moduleFolder, kWaveOutputModule))),
      m_midi(std::make_unique<MidiPlayer>(modulePath(moduleFolder, kMidiSynthModule)))
{
    // A notification area has this long after the icon is added to show up before the window
    // stands in for it; with the program's own start that is within some 5 s of starting.
    m_hostGrace.setSingleShot(true);
    m_hostGrace.setInterval(4000);
    connect(&m_hostGrace, &QTimer::timeout, this, &QtPlatform::reportTrayHost);
}

QtPlatform::~QtPlatform() = default;

QDateTime QtPlatform::now() { return QDateTime::currentDateTime(); }

int QtPlatform::registerIcon(const QImage& image)
{
    const int handle = m_nextIcon++;
    m_icons.insert(handle, QIcon(QPixmap::fromImage(image)));
    m_images.insert(handle, image);
    return handle;
}

void QtPlatform::startTrayWatch()
{
    if (m_sni) return;
    m_sni = new StatusNotifierItem(this);
    m_sni->setMenu(m_trayMenu);
    connect(m_sni, &StatusNotifierItem::hostChanged, this, [this] { updateTray(); });
    connect(m_sni, &StatusNotifierItem::activated, this, [this] { postTrayMessage(WM_LBUTTONUP); });
    connect(m_sni, &StatusNotifierItem::contextMenuRequested, this, [this](QPoint at) {
        m_menuAt = at;
        postTrayMessage(WM_RBUTTONUP);
    });
    // XEmbed trays exist on X only; elsewhere no X call is made.
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        m_xTray = new X11TrayWatch(this);
        connect(m_xTray, &X11TrayWatch::trayChanged, this, [this] { updateTray(true); });
    }
}

void QtPlatform::postTrayMessage(int message)
{
    // Out of the tray's own mouse handler or bus call, like a posted notification.
    QTimer::singleShot(0, this, [this, message] {
        if (m_trayCallback) m_trayCallback(message);
    });
}

void QtPlatform::makeEmbeddedIcon()
{
    m_tray = std::make_unique<QSystemTrayIcon>();
    QObject::connect(m_tray.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) {
            postTrayMessage(WM_LBUTTONUP);
        } else if (reason == QSystemTrayIcon::Context) {
            m_menuAt.reset();
            postTrayMessage(WM_RBUTTONUP);
        }
    });
    m_tray->setIcon(m_icons.value(m_iconHandle));
    m_tray->setToolTip(m_tip);
    m_tray->show();
}

void QtPlatform::updateTray(bool xTrayReplaced)
{
    if (!m_iconAdded) {
        m_tray.reset();
        if (m_sni) m_sni->setShown(false);
        return;
    }
    const bool sni = m_sni && m_sni->hostPresent();
    const bool xembed = m_xTray && m_xTray->trayPresent();
    m_sni->setShown(true);
    m_sni->setIcon(m_images.value(m_iconHandle));
    m_sni->setToolTip(m_tip);
    // Qt's own icon does not follow a new tray manager: a fresh one docks into it. It is made only
    // while no watcher is there, so Qt never picks its D-Bus icon beside ours.
    if (sni || !xembed || xTrayReplaced) m_tray.reset();
    if (!sni && xembed) {
        if (!m_tray) makeEmbeddedIcon();
        else {
            m_tray->setIcon(m_icons.value(m_iconHandle));
            m_tray->setToolTip(m_tip);
        }
    }
    reportTrayHost();
}

void QtPlatform::reportTrayHost()
{
    if (!m_iconAdded) return;
    const bool shown = (m_sni && m_sni->hostPresent()) || (m_xTray && m_xTray->trayPresent());
    if (shown) m_hostGrace.stop();
    else if (m_hostGrace.isActive()) return;
    if (m_hostReported == shown) return;
    m_hostReported = shown;
    if (m_hostCallback) m_hostCallback(shown);
}

void QtPlatform::shellNotifyIcon(int message, const NotifyIconData& data)
{
    m_tip = QString::fromLatin1(data.szTip, static_cast<int>(qstrnlen(data.szTip, sizeof data.szTip)));
    switch (message) {
    case NIM_ADD:
        startTrayWatch();
        if (!m_iconAdded) m_hostGrace.start();
        m_iconAdded = true;
        m_iconHandle = data.hIcon;
        updateTray();
        break;
    case NIM_MODIFY:
        if (m_iconAdded) {
            m_iconHandle = data.hIcon;
            updateTray();
        }
        break;
    case NIM_DELETE:
        m_iconAdded = false;
        m_hostGrace.stop();
        updateTray();
        break;
    default:
        break;
    }
}

void QtPlatform::setTrayCallback(std::function<void(int)> callback) { m_trayCallback = std::move(callback); }

void QtPlatform::setTrayMenu(QMenu* menu)
{
    m_trayMenu = menu;
    if (m_sni) m_sni->setMenu(menu);
}

QPoint QtPlatform::trayMenuPosition() { return m_menuAt.value_or(QCursor::pos()); }

void QtPlatform::setTrayHostCallback(std::function<void(bool)> callback) { m_hostCallback = std::move(callback); }

std::int32_t QtPlatform::setForegroundWindow(QWidget* window)
{
    if (!window || !window->isVisible()) return 0;
    window->raise();
    window->activateWindow();
    return 1;
}

std::int32_t QtPlatform::setWindowPosTopmost(QWidget* window)
{
    if (!window) return 0;
    if (window->windowFlags() & Qt::WindowStaysOnTopHint) {
        if (window->isVisible()) window->raise();
        return 1;
    }
    const bool wasVisible = window->isVisible();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, true);  // hides a shown window
    if (wasVisible) window->show();
    return 1;
}

void QtPlatform::beep() { QApplication::beep(); }

void QtPlatform::messageBox(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Voz"), text, QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

bool QtPlatform::startProgram(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

QString QtPlatform::findProgram(const QString& name) { return QStandardPaths::findExecutable(name); }

bool QtPlatform::sndPlaySound(const QString& path, int flags)
{
    Q_UNUSED(flags);
    if (path.isEmpty()) {
        m_wave->stop();
        return true;
    }
    return m_wave->play(path, 1);
}

bool QtPlatform::playWave(const QString& path, int times) { return m_wave->play(path, times); }

int QtPlatform::mciSendString(const QString& command) { return m_midi->sendCommand(command); }

bool QtPlatform::setWallpaper(const QString& path)
{
    if (!m_wallpaper) {
        // Kept across sessions: the desktop shows the copy again after a restart.
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
        // The desktop answers on the wallpaper's worker; the windows hear of it on their thread.
        m_wallpaper = std::make_unique<DesktopWallpaper>(
            QProcessEnvironment::systemEnvironment(), cache + QStringLiteral("/voz/wallpaper"),
            [this](const QString& reason) {
                QMetaObject::invokeMethod(
                    this, [this, reason] { if (m_wallpaperFailed) m_wallpaperFailed(reason); }, Qt::QueuedConnection);
            });
    }
    QString reason;
    if (m_wallpaper->set(path, &reason)) return true;
    if (m_wallpaperFailed) m_wallpaperFailed(reason);
    return false;
}

void QtPlatform::setWallpaperFailureCallback(std::function<void(const QString&)> callback)
{
    m_wallpaperFailed = std::move(callback);
}

QString QtPlatform::runtimeFolder()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty()) base = QDir::tempPath();
    const QString folder = base + QStringLiteral("/voz");
    QDir().mkpath(folder);
    return folder + QLatin1Char('/');
}

void QtPlatform::endProgram()
{
    // At once: no further events run and open windows are not asked.
    std::_Exit(0);
}
