"""The X desktop the desktop tests run on: a private Xvfb with openbox, input
through XTEST (raw key codes, so that no tool adds modifiers or toggles
NumLock around a key), pixels read straight from the screen, and the few
window queries xdotool and xprop answer."""

import ctypes
import os
import select
import subprocess
import time
from ctypes import POINTER, byref, c_char_p, c_int, c_uint, c_ulong, c_void_p


def wait_until(predicate, timeout=10.0, step=0.05):
    """Polls until `predicate` gives a true value; returns its last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(step)


class XImage(ctypes.Structure):  # the leading fields of Xlib's XImage
    _fields_ = [(n, c_int) for n in ('width', 'height', 'xoffset', 'format')] + [('data', c_void_p)] + \
               [(n, c_int) for n in ('byte_order', 'bitmap_unit', 'bitmap_bit_order', 'bitmap_pad', 'depth',
                                     'bytes_per_line', 'bits_per_pixel')]


class ClientMessage(ctypes.Structure):
    _fields_ = [('type', c_int), ('serial', c_ulong), ('send_event', c_int), ('display', c_void_p),
                ('window', c_ulong), ('message_type', c_ulong), ('format', c_int), ('data', ctypes.c_long * 5),
                ('pad', ctypes.c_long * 12)]


def _library(name, functions):
    lib = ctypes.CDLL(name)
    for fname, restype, *argtypes in functions:
        getattr(lib, fname).restype = restype
        getattr(lib, fname).argtypes = argtypes
    return lib


X11 = _library('libX11.so.6', [
    ('XOpenDisplay', c_void_p, c_char_p), ('XCloseDisplay', c_int, c_void_p),
    ('XDefaultRootWindow', c_ulong, c_void_p), ('XSync', c_int, c_void_p, c_int),
    ('XStringToKeysym', c_ulong, c_char_p), ('XKeysymToKeycode', ctypes.c_ubyte, c_void_p, c_ulong),
    ('XGetImage', POINTER(XImage), c_void_p, c_ulong, c_int, c_int, c_uint, c_uint, c_ulong, c_int),
    ('XFree', c_int, c_void_p), ('XInternAtom', c_ulong, c_void_p, c_char_p, c_int),
    ('XSendEvent', c_int, c_void_p, c_ulong, c_int, ctypes.c_long, c_void_p),
    ('XTranslateCoordinates', c_int, c_void_p, c_ulong, c_ulong, c_int, c_int, POINTER(c_int), POINTER(c_int),
     POINTER(c_ulong)),
    ('XkbGetIndicatorState', c_int, c_void_p, c_uint, POINTER(c_uint))])
XTST = _library('libXtst.so.6', [
    ('XTestFakeKeyEvent', c_int, c_void_p, c_uint, c_int, c_ulong),
    ('XTestFakeButtonEvent', c_int, c_void_p, c_uint, c_int, c_ulong),
    ('XTestFakeMotionEvent', c_int, c_void_p, c_int, c_int, c_int, c_ulong)])
# A failed request (a window gone, a grab off the screen) is an answer, not
# the end of the test run.
_IGNORE_ERRORS = ctypes.CFUNCTYPE(c_int, c_void_p, c_void_p)(lambda display, event: 0)
X11.XSetErrorHandler(_IGNORE_ERRORS)


class Desk:
    """A 24-bit Xvfb on a free display number, managed by openbox."""

    def __init__(self, width=1280, height=800):
        self.width, self.height = width, height
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(['Xvfb', '-displayfd', str(write_end), '-screen', '0',
                                        f'{width}x{height}x24', '-nolisten', 'tcp', '-noreset'],
                                       pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b''  # the display number Xvfb picked, then a newline
        while not number.endswith(b'\n') and select.select([read_end], [], [], 60)[0]:
            chunk = os.read(read_end, 16)
            number += chunk if chunk else b'?\n'
        os.close(read_end)
        self.wm = None
        number = number.strip()
        if not number.isdigit():
            self.close()
            raise RuntimeError('Xvfb did not start')
        self.env = {k: v for k, v in os.environ.items() if k != 'WAYLAND_DISPLAY'}
        self.env['DISPLAY'] = ':' + number.decode()
        self.wm = subprocess.Popen(['openbox', '--sm-disable'], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_until(lambda: 'window id' in self.run('xprop', '-root', '_NET_SUPPORTING_WM_CHECK'), 30):
            self.close()
            raise RuntimeError('openbox did not start')
        self.display = X11.XOpenDisplay(self.env['DISPLAY'].encode())
        self.root = X11.XDefaultRootWindow(self.display)
        self.held = set()  # keys and buttons down, as ('key', code) or ('button', number)

    def close(self):
        for proc in (self.wm, self.server):
            if proc and proc.poll() is None:
                proc.terminate()
                proc.wait(10)

    def run(self, *args):
        try:
            return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=30).stdout
        except subprocess.TimeoutExpired:
            return ''

    # --- input -------------------------------------------------------------
    def _sent(self, what, down):
        (self.held.add if down else self.held.discard)(what)
        X11.XSync(self.display, 0)

    def key(self, keysym, down):
        code = X11.XKeysymToKeycode(self.display, X11.XStringToKeysym(keysym.encode()))
        XTST.XTestFakeKeyEvent(self.display, code, down, 0)
        self._sent(('key', code), down)

    def tap(self, keysym):
        self.key(keysym, True)
        self.key(keysym, False)

    def button(self, number, down):
        XTST.XTestFakeButtonEvent(self.display, number, down, 0)
        self._sent(('button', number), down)

    def move(self, x, y):
        XTST.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        X11.XSync(self.display, 0)

    def release_all(self):
        """Lets go of every key and button a test left down."""
        for kind, code in list(self.held):
            (XTST.XTestFakeKeyEvent if kind == 'key' else XTST.XTestFakeButtonEvent)(self.display, code, 0, 0)
            self._sent((kind, code), False)

    def num_lock(self):
        state = c_uint(0)
        X11.XkbGetIndicatorState(self.display, 0x100, byref(state))  # the core keyboard
        return bool(state.value & 2)

    def set_num_lock(self, on):
        if self.num_lock() != on:
            self.tap('Num_Lock')
        if not wait_until(lambda: self.num_lock() == on, 5):
            raise RuntimeError('NumLock did not change')

    # --- windows -------------------------------------------------------------
    def find_window(self, name):
        ids = self.run('xdotool', 'search', '--onlyvisible', '--name', f'^{name}$').split()
        return int(ids[0]) if ids else None

    def origin(self, window):
        x, y, child = c_int(), c_int(), c_ulong()
        X11.XTranslateCoordinates(self.display, window, self.root, 0, 0, byref(x), byref(y), byref(child))
        return x.value, y.value

    def state(self, window):
        """'Normal' or 'Iconic', as the window manager says."""
        return (self.run("xprop", "-id", str(window), "WM_STATE").partition("window state: ")[2].split() or [""])[0]

    def activate(self, window):
        self.run('xdotool', 'windowactivate', '--sync', str(window))

    def request_close(self, window):
        """Asks the window manager to close the window, as a task bar does."""
        event = ClientMessage(type=33, send_event=1, window=window, format=32,
                              message_type=X11.XInternAtom(self.display, b'_NET_CLOSE_WINDOW', 0))
        event.data[1] = 2  # from a pager or task bar
        X11.XSendEvent(self.display, self.root, 0, (1 << 19) | (1 << 20), byref(event))
        X11.XSync(self.display, 0)

    # --- pixels ----------------------------------------------------------------
    def grab(self, x, y, width, height):
        """The screen's rectangle as rows of packed RGB bytes, or None."""
        image = X11.XGetImage(self.display, self.root, x, y, width, height, c_ulong(-1).value, 2)  # ZPixmap
        if not image:
            return None
        stride, bits = image.contents.bytes_per_line, image.contents.bits_per_pixel
        raw = ctypes.string_at(image.contents.data, stride * height)
        X11.XFree(image.contents.data)
        X11.XFree(image)
        assert bits == 32, f'{bits} bits per pixel'
        rows = []
        for line in (raw[r * stride:r * stride + 4 * width] for r in range(height)):
            rgb = bytearray(3 * width)  # from B, G, R, unused
            rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
            rows.append(bytes(rgb))
        return rows
