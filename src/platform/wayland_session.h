#pragma once

class QWidget;

// On a Wayland session where XWayland answers, runs Qt on X11: keeping on top, the front
// dialogs' ranks and window places need it. A QT_QPA_PLATFORM the user set wins.
// Call before the QApplication is built; true when it chose, and then the choice is taken back
// once Qt has read it, so the programs Voz starts (help viewer, editor) pick their own.
bool preferXWayland();

// A tiling compositor (sway) floats a window whose least and greatest sizes are equal, and
// tiles the rest over the whole workspace; in a Wayland session, natively or on XWayland, the
// window is held at its present size. Call before the window is first shown.
void floatAtOwnSize(QWidget* window);

// Natively on Wayland a menu without a window of ours under it cannot be a popup: the
// compositor takes it for an ordinary window. It is made a frameless one of its own size, so a
// tiling compositor floats it (in the middle: Wayland gives clients no say where). Call before
// it shows.
void prepareMenuWithoutParent(QWidget* menu);
