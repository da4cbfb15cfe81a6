#pragma once
#include <QObject>
#include <cstdint>

class QSocketNotifier;
struct xcb_connection_t;

// Watches the X system tray selection (_NET_SYSTEM_TRAY_S<screen>) on a connection of its own:
// the MANAGER message on the root window tells of a new tray, the owner window's destruction of
// its end. No polling. Does nothing when the display cannot be opened.
class X11TrayWatch : public QObject {
    Q_OBJECT
public:
    explicit X11TrayWatch(QObject* parent = nullptr);
    ~X11TrayWatch() override;

    bool trayPresent() const { return m_owner != 0; }

signals:
    // A tray manager came, went or was replaced (owner 0: none).
    void trayChanged(bool present);

private:
    void readEvents();
    void followOwner(std::uint32_t owner);
    std::uint32_t queryOwner();

    xcb_connection_t* m_connection = nullptr;
    QSocketNotifier* m_notifier = nullptr;
    std::uint32_t m_root = 0;
    std::uint32_t m_selection = 0;
    std::uint32_t m_manager = 0;
    std::uint32_t m_owner = 0;
};
