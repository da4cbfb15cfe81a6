#!/usr/bin/env python3
"""Small X11 questions the command-line tools cannot answer, asked through libX11.

  xprobe.py tray-owner       prints the window owning the system tray selection, 0 when none
  xprobe.py keyboard-grabbed exits 0 while some client holds the keyboard grab
"""
import ctypes
import ctypes.util
import sys

GRAB_SUCCESS, ALREADY_GRABBED = 0, 1
GRAB_MODE_ASYNC = 1
CURRENT_TIME = 0


def open_display():
    x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultScreen.argtypes = [ctypes.c_void_p]
    x11.XRootWindow.restype = ctypes.c_ulong
    x11.XRootWindow.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XGetSelectionOwner.restype = ctypes.c_ulong
    x11.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XGrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                  ctypes.c_int, ctypes.c_ulong]
    x11.XUngrabKeyboard.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("xprobe: cannot open the display")
    return x11, display


def main():
    what = sys.argv[1] if len(sys.argv) > 1 else ""
    x11, display = open_display()
    screen = x11.XDefaultScreen(display)
    root = x11.XRootWindow(display, screen)
    if what == "tray-owner":
        atom = x11.XInternAtom(display, b"_NET_SYSTEM_TRAY_S%d" % screen, 0)
        print(hex(x11.XGetSelectionOwner(display, atom)))
        return 0
    if what == "keyboard-grabbed":
        # The only way to learn of another client's grab is to be refused one; a grab we do get is
        # let go at once.
        status = x11.XGrabKeyboard(display, root, 0, GRAB_MODE_ASYNC, GRAB_MODE_ASYNC, CURRENT_TIME)
        if status == GRAB_SUCCESS:
            x11.XUngrabKeyboard(display, CURRENT_TIME)
            x11.XSync(display, 0)
        x11.XCloseDisplay(display)
        return 0 if status == ALREADY_GRABBED else 1
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main())
