#include "platform/qt_platform.h"

#include "platform/desktop_wallpaper.h"
#include "platform/midi_player.h"
#include "platform/wave_player.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <QProcess>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

QtPlatform::QtPlatform() : m_wave(std::make_unique<WavePlayer>()), m_midi(std::make_unique<MidiPlayer>()) {}

QtPlatform::~QtPlatform() = default;

QDateTime QtPlatform::now() { return QDateTime::currentDateTime(); }

int QtPlatform::registerIcon(const QImage& image)
{
    const int handle = m_nextIcon++;
    m_icons.insert(handle, QIcon(QPixmap::fromImage(image)));
    return handle;
}

void QtPlatform::shellNotifyIcon(int message, const NotifyIconData& data)
{
    const QString tip = QString::fromLatin1(data.szTip, static_cast<int>(qstrnlen(data.szTip, sizeof data.szTip)));
    switch (message) {
    case NIM_ADD:
        if (!m_tray) {
            m_tray = std::make_unique<QSystemTrayIcon>();
            QObject::connect(m_tray.get(), &QSystemTrayIcon::activated, this,
                             [this](QSystemTrayIcon::ActivationReason reason) {
                                 int msg = 0;
                                 if (reason == QSystemTrayIcon::Trigger) msg = 0x202;
                                 else if (reason == QSystemTrayIcon::Context) msg = 0x205;
                                 if (!msg || !m_trayCallback) return;
                                 // Out of the tray's own mouse handler, like a posted notification.
                                 QTimer::singleShot(0, this, [this, msg] {
                                     if (m_trayCallback) m_trayCallback(msg);
                                 });
                             });
        }
        m_tray->setIcon(m_icons.value(data.hIcon));
        m_tray->setToolTip(tip);
        m_tray->show();
        break;
    case NIM_MODIFY:
        if (m_tray) {
            m_tray->setIcon(m_icons.value(data.hIcon));
            m_tray->setToolTip(tip);
        }
        break;
    case NIM_DELETE:
        if (m_tray) {
            m_tray->hide();
            m_tray.reset();
        }
        break;
    default:
        break;
    }
}

void QtPlatform::setTrayCallback(std::function<void(int)> callback) { m_trayCallback = std::move(callback); }

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
        m_wallpaper = std::make_unique<DesktopWallpaper>(QProcessEnvironment::systemEnvironment(),
                                                         cache + QStringLiteral("/voz/wallpaper"));
    }
    return m_wallpaper->set(path);
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
