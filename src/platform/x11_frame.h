#pragma once

class QWidget;

// Asks an X11 window manager for a frame with a title bar but no window menu and no buttons,
// and for no taskbar or pager entry; Qt has no way to say either. Call before the window is
// first shown. Does nothing on other window systems.
void requestBareDialogFrame(QWidget* window);

// Lets the window manager minimise a window whose title bar has no minimise box: Qt then tells
// it (Motif hints) that the window may not be minimised, and some (icewm) obey. The minimise
// function is allowed without the decoration, so no box appears. Call before minimising.
void allowMinimizeWithoutBox(QWidget* window);
