#pragma once

class QWidget;

// Asks an X11 window manager for a frame with a title bar but no window menu and no buttons,
// and for no taskbar or pager entry; Qt has no way to say either. Call before the window is
// first shown. Does nothing on other window systems.
void requestBareDialogFrame(QWidget* window);

// Minimises a window whose title bar has no minimise box. Qt then tells the window manager
// (Motif hints) that the window may not be minimised, and some (icewm) obey; allowing it for
// good makes them draw the box. So the hints allow it only until the window is minimised (or
// a few seconds have passed): the window manager may read them late.
void minimizeWithoutBox(QWidget* window);
