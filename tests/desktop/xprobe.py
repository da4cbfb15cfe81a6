#!/usr/bin/env python3
"""Small X11 questions the command-line tools cannot answer, asked through libX11.

  xprobe.py tray-owner       prints the window owning the system tray selection, 0 when none
  xprobe.py keyboard-grabbed exits 0 while some client holds the keyboard grab
  xprobe.py close WINDOW     asks the window manager to close the window (_NET_CLOSE_WINDOW, as
                             wmctrl -c does): it sends WM_DELETE_WINDOW whatever the Motif hints say
  xprobe.py capture X Y W H  writes that part of the screen as raw BGRA bytes (W*H*4) to stdout

The capture is one GetImage on the root window: what the screen shows. (xwd -root reads each
window with its own colormap apart and shows a window that covers another as black.)
"""
import ctypes
import ctypes.util
import sys

Z_PIXMAP = 2
ALL_PLANES = 0xFFFFFFFF
GRAB_SUCCESS, ALREADY_GRABBED = 0, 1
GRAB_MODE_ASYNC = 1
CURRENT_TIME = 0
CLIENT_MESSAGE = 33
SUBSTRUCTURE_NOTIFY_MASK, SUBSTRUCTURE_REDIRECT_MASK = 1 << 19, 1 << 20
SOURCE_PAGER = 2


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


class XImage(ctypes.Structure):
    """The leading fields of Xlib's XImage."""
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


def capture(x11, display, root, x, y, w, h):
    image = x11.XGetImage(display, root, x, y, w, h, ALL_PLANES, Z_PIXMAP)
    if not image:
        sys.exit("xprobe: GetImage failed")
    img = image.contents
    if img.bits_per_pixel != 32 or img.byte_order != 0:
        sys.exit("xprobe: needs a 24-bit screen in LSB-first order")
    raw = ctypes.string_at(img.data, img.bytes_per_line * h)
    out = b"".join(raw[row * img.bytes_per_line:row * img.bytes_per_line + w * 4] for row in range(h))
    sys.stdout.buffer.write(out)
    return 0


def open_display():
    x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    p, ul, i, ui = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_uint
    for name, restype, argtypes in [
            ("XOpenDisplay", p, [ctypes.c_char_p]), ("XDefaultScreen", i, [p]), ("XRootWindow", ul, [p, i]),
            ("XInternAtom", ul, [p, ctypes.c_char_p, i]), ("XGetSelectionOwner", ul, [p, ul]),
            ("XGrabKeyboard", i, [p, ul, i, i, i, ul]), ("XUngrabKeyboard", i, [p, ul]), ("XSync", i, [p, i]),
            ("XCloseDisplay", i, [p]), ("XSendEvent", i, [p, ul, i, ctypes.c_long, ctypes.POINTER(XEvent)]),
            ("XGetImage", ctypes.POINTER(XImage), [p, ul, i, i, ui, ui, ul, i])]:
        function = getattr(x11, name)
        function.restype, function.argtypes = restype, argtypes
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
    if what == "close" and len(sys.argv) > 2:
        event = XEvent(xclient=XClientMessageEvent(
            type=CLIENT_MESSAGE, window=int(sys.argv[2], 0), format=32,
            message_type=x11.XInternAtom(display, b"_NET_CLOSE_WINDOW", 0)))
        event.xclient.data[0:2] = [CURRENT_TIME, SOURCE_PAGER]
        sent = x11.XSendEvent(display, root, 0, SUBSTRUCTURE_NOTIFY_MASK | SUBSTRUCTURE_REDIRECT_MASK,
                              ctypes.byref(event))
        x11.XSync(display, 0)
        x11.XCloseDisplay(display)
        return 0 if sent else 1
    if what == "capture" and len(sys.argv) == 6:
        return capture(x11, display, root, *(int(a) for a in sys.argv[2:6]))
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main())
