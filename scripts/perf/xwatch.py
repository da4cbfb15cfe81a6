#!/usr/bin/env python3
"""Timings on the X display that shell polling is too coarse for, through libX11 and a tight loop.

  xwatch.py tray
      prints "ready", then waits for the line "go" on stdin, notes the time (epoch seconds) and
      prints the time at which a window of class "voz" carrying _XEMBED_INFO first became viewable
      (the tray icon, embedded and shown); "timeout" after 30 s.
  xwatch.py message UNTIL
      until the epoch second UNTIL: prints "shown T" when a window of class "voz" titled
      "Message..." becomes viewable, then "changed T" whenever its pixels change (the message
      text grows with every alarm).
  xwatch.py onsets WAV START [GAP]
      prints the epoch time of each sound onset in a 16-bit recording that began at START: a
      block above 1 % of full scale after at least GAP seconds (default 0.15) of near silence.
"""
import ctypes
import ctypes.util
import hashlib
import sys
import time

IS_VIEWABLE = 2
ALL_PLANES = 0xFFFFFFFF
Z_PIXMAP = 2


class XClassHint(ctypes.Structure):
    _fields_ = [("res_name", ctypes.c_void_p), ("res_class", ctypes.c_void_p)]


class XWindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int),
                ("height", ctypes.c_int), ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("class_", ctypes.c_int),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
                ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


class XImage(ctypes.Structure):
    # Only the leading fields this probe reads.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
# Windows come and go while the tree is walked: their errors are expected and ignored.
_ignore_errors = ERROR_HANDLER(lambda display, event: 0)


class X:
    def __init__(self):
        x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.c_ulong),
                                 ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                 ctypes.POINTER(ctypes.c_uint)]
        x.XGetClassHint.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(XClassHint)]
        x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                           ctypes.POINTER(XWindowAttributes)]
        x.XListProperties.restype = ctypes.POINTER(ctypes.c_ulong)
        x.XListProperties.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_int)]
        x.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
        x.XGetImage.restype = ctypes.POINTER(XImage)
        x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XSetErrorHandler.argtypes = [ERROR_HANDLER]
        self.x = x
        self.d = x.XOpenDisplay(None)
        if not self.d:
            sys.exit("xwatch: cannot open the display")
        x.XSetErrorHandler(_ignore_errors)
        self.root = x.XDefaultRootWindow(self.d)
        self.xembed = x.XInternAtom(self.d, b"_XEMBED_INFO", 0)

    def children(self, w):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        kids, n = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x.XQueryTree(self.d, w, ctypes.byref(root), ctypes.byref(parent),
                                 ctypes.byref(kids), ctypes.byref(n)):
            return []
        out = [kids[i] for i in range(n.value)]
        if kids:
            self.x.XFree(kids)
        return out

    def windows(self):
        todo, seen = [self.root], []
        while todo:
            w = todo.pop()
            seen.append(w)
            todo.extend(self.children(w))
        return seen

    def is_voz(self, w):
        hint = XClassHint()
        if not self.x.XGetClassHint(self.d, w, ctypes.byref(hint)):
            return False
        name = ctypes.string_at(hint.res_name) if hint.res_name else b""
        for p in (hint.res_name, hint.res_class):
            if p:
                self.x.XFree(p)
        return name == b"voz"

    def attributes(self, w):
        a = XWindowAttributes()
        return a if self.x.XGetWindowAttributes(self.d, w, ctypes.byref(a)) else None

    def viewable(self, w):
        a = self.attributes(w)
        return a is not None and a.map_state == IS_VIEWABLE

    def has_xembed(self, w):
        n = ctypes.c_int()
        props = self.x.XListProperties(self.d, w, ctypes.byref(n))
        if not props:
            return False
        found = any(props[i] == self.xembed for i in range(n.value))
        self.x.XFree(props)
        return found

    def name(self, w):
        text = ctypes.c_char_p()
        if not self.x.XFetchName(self.d, w, ctypes.byref(text)) or not text.value:
            return ""
        value = text.value.decode("utf-8", "replace")
        self.x.XFree(ctypes.cast(text, ctypes.c_void_p))
        return value

    def pixels(self, w):
        a = self.attributes(w)
        if a is None or a.map_state != IS_VIEWABLE:
            return None
        image = self.x.XGetImage(self.d, w, 0, 0, a.width, a.height, ALL_PLANES, Z_PIXMAP)
        if not image:
            return None
        im = image.contents
        digest = hashlib.sha1(ctypes.string_at(im.data, im.bytes_per_line * im.height)).digest()
        self.x.XFree(im.data)
        self.x.XFree(image)
        return digest


def tray():
    x = X()
    print("ready", flush=True)
    if sys.stdin.readline().strip() != "go":
        return 2
    start = time.time()
    print("start %.3f" % start, flush=True)
    while time.time() < start + 30:
        for w in x.windows():
            if x.is_voz(w) and x.has_xembed(w) and x.viewable(w):
                print("icon %.3f" % time.time(), flush=True)
                return 0
        time.sleep(0.003)
    print("timeout", flush=True)
    return 1


def message(until):
    x = X()
    window, last = None, None
    while time.time() < until:
        if window is None:
            for w in x.windows():
                if x.is_voz(w) and x.name(w).startswith("Message") and x.viewable(w):
                    window = w
                    break
            if window is None:
                time.sleep(0.01)
                continue
            last = x.pixels(window)
            print("shown %.3f" % time.time(), flush=True)
        now = time.time()
        digest = x.pixels(window)
        if digest is None:
            if not x.viewable(window):
                print("gone %.3f" % now, flush=True)
                window = None
            continue
        if digest != last:
            print("changed %.3f" % now, flush=True)
            last = digest
        time.sleep(0.02)
    return 0


def onsets(path, start, gap):
    import array
    import wave
    with wave.open(path, "rb") as f:
        rate, channels = f.getframerate(), f.getnchannels()
        samples = array.array("h", f.readframes(f.getnframes()))
    block = rate // 100 * channels  # 10 ms
    needed = int(gap * 100)
    quiet_blocks = needed  # the recording begins in silence
    for i in range(0, len(samples) - block, block):
        part = samples[i:i + block]
        peak = max(max(part), -min(part))
        if peak > 328:
            if quiet_blocks >= needed:
                print("onset %.3f" % (start + i / channels / rate))
            quiet_blocks = 0
        elif peak < 33:
            quiet_blocks += 1
    return 0


def main():
    what = sys.argv[1] if len(sys.argv) > 1 else ""
    if what == "tray":
        return tray()
    if what == "message" and len(sys.argv) == 3:
        return message(float(sys.argv[2]))
    if what == "onsets" and len(sys.argv) >= 4:
        return onsets(sys.argv[2], float(sys.argv[3]), float(sys.argv[4]) if len(sys.argv) > 4 else 0.15)
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main())
