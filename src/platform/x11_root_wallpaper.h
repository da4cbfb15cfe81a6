#pragma once
#include <QString>

// The wallpaper of a plain X11 desktop: the picture scaled to cover the screen, drawn into a
// pixmap that becomes the root window's background and is published through _XROOTPMAP_ID and
// ESETROOT_PMAP_ID, so that terminals and docks that draw the desktop behind them find it. The
// pixmap outlives our connection; the one an earlier setter left is released. An empty path
// gives a plain black background and removes both properties.
// `display` is an X display name (empty: $DISPLAY). Blocks until the server has the change; any
// thread. False when the display or the picture cannot be used.
bool setX11RootWallpaper(const QString& display, const QString& path);
