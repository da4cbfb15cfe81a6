// Which back end each desktop and session gets.
#include "platform/desktop_wallpaper.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* desktop;
    const char* sessionType;
    const char* waylandDisplay;
    const char* display;
    const char* swaySocket;
    WallpaperBackend expected;
};

using B = WallpaperBackend;
const Case kCases[] = {
    {"GNOME", "wayland", "wayland-0", ":0", "", B::Gnome},
    {"ubuntu:GNOME", "x11", "", ":0", "", B::Gnome},  // the first name is unknown, the second counts
    {"Unity", "x11", "", ":0", "", B::Gnome},
    {"Budgie:GNOME", "x11", "", ":0", "", B::Gnome},
    {"Pantheon", "x11", "", ":0", "", B::Gnome},
    {"GNOME", "", "", "", "", B::Gnome},              // no display needed for a settings store
    {"X-Cinnamon", "x11", "", ":0", "", B::Cinnamon},
    {"MATE", "x11", "", ":0", "", B::Mate},
    {"XFCE", "wayland", "wayland-1", "", "", B::Xfce},
    {"xfce", "x11", "", ":0", "", B::Xfce},           // names are matched without regard to case
    {"KDE", "wayland", "wayland-0", ":1", "", B::Plasma},
    {"LXDE", "x11", "", ":0", "", B::Lxde},
    {"LXQt", "wayland", "wayland-0", "", "", B::Lxqt},
    {" KDE ", "", "", ":0", "", B::Plasma},
    {"icewm", "x11", "", ":0", "", B::X11Root},
    {"", "", "", ":3", "", B::X11Root},
    {"", "x11", "", "", "", B::None},                 // no display to draw on
    {"sway", "wayland", "wayland-1", ":0", "", B::Sway},
    {"", "wayland", "wayland-1", ":0", "/run/user/0/sway-ipc.sock", B::Sway},  // known by its socket
    {"weston", "wayland", "wayland-1", ":0", "", B::None},  // Xwayland's root window is never seen
    {"", "", "wayland-0", ":0", "", B::None},          // Wayland known by its socket alone
    {"", "tty", "", "", "", B::None},
};

TEST(WallpaperBackend, ChosenFromDesktopAndSession)
{
    for (const Case& c : kCases)
        EXPECT_EQ(chooseWallpaperBackend(QString::fromUtf8(c.desktop), QString::fromUtf8(c.sessionType),
                                         QString::fromUtf8(c.waylandDisplay), QString::fromUtf8(c.display),
                                         QString::fromUtf8(c.swaySocket)),
                  c.expected)
            << "XDG_CURRENT_DESKTOP=" << c.desktop << " session=" << c.sessionType;
}

}  // namespace
