"""The X desktop the end-to-end tests run on: Xvfb displays (with or without
the openbox window manager), raw keyboard input through the XTEST
extension, pointer input and window queries through xdotool, and screen
pixels through ImageMagick's import."""

import ctypes
import os
import re
import subprocess
import time

IMPORT = '/usr/bin/import'  # ImageMagick


class DisplayError(RuntimeError):
    pass


def _wait_until(predicate, timeout, step=0.05):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            return value
        time.sleep(step)


class Display:
    """An Xvfb server on a free display number, 24-bit, optionally with
    openbox managing its windows."""

    def __init__(self, width=1280, height=800, window_manager=True):
        self.width, self.height = width, height
        read_end, write_end = os.pipe()
        # -displayfd: Xvfb picks a free display and writes its number.
        self.server = subprocess.Popen(
            ['Xvfb', '-displayfd', str(write_end), '-screen', '0', f'{width}x{height}x24',
             '-nolisten', 'tcp', '-noreset'],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b''
        deadline = time.monotonic() + 15
        while not number.endswith(b'\n') and time.monotonic() < deadline:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip():
            self.server.kill()
            raise DisplayError('Xvfb did not start')
        self.name = ':' + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)
        self.env.pop('WAYLAND_DISPLAY', None)
        self.wm = None
        if window_manager:
            self.wm = subprocess.Popen(['openbox', '--sm-disable'], env=self.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if not _wait_until(self._wm_ready, 15):
                raise DisplayError('openbox did not start')
        self.x = XLib(self.name)

    def _wm_ready(self):
        out = self.run(['xprop', '-root', '_NET_SUPPORTING_WM_CHECK'], check=False)
        return 'window id' in out

    def close(self):
        for proc in (self.wm, self.server):
            if proc and proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()

    def run(self, args, check=True, timeout=10):
        done = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=timeout)
        if check and done.returncode != 0:
            raise DisplayError(f'{" ".join(args)}: {done.stderr.strip()}')
        return done.stdout

    def xdotool(self, *args, check=True):
        return self.run(['xdotool'] + [str(a) for a in args], check=check)

    # --- windows ---------------------------------------------------------
    def find_window(self, pid, timeout=10):
        def search():
            out = self.xdotool('search', '--all', '--onlyvisible', '--pid', pid, '--name', '^Snickit$', check=False)
            ids = out.split()
            return ids[0] if ids else None
        return _wait_until(search, timeout)

    def geometry(self, window):
        out = self.xdotool('getwindowgeometry', '--shell', window)
        values = dict(line.split('=', 1) for line in out.split() if '=' in line)
        return int(values['X']), int(values['Y']), int(values['WIDTH']), int(values['HEIGHT'])

    def window_state(self, window):
        out = self.run(['xprop', '-id', window, 'WM_STATE', '_NET_WM_STATE'], check=False)
        match = re.search(r'window state: (\w+)', out)
        return match.group(1) if match else '', out

    def window_property(self, window, name):
        return self.run(['xprop', '-id', window, name], check=False)

    # --- pointer ----------------------------------------------------------
    def pointer(self):
        out = self.xdotool('getmouselocation', '--shell')
        values = dict(line.split('=', 1) for line in out.split() if '=' in line)
        return int(values['X']), int(values['Y'])

    def move_pointer(self, x, y):
        # Like `mousemove --sync`, which never returns when the pointer is
        # there already.
        if self.pointer() == (x, y):
            return
        self.xdotool('mousemove', x, y)
        if not _wait_until(lambda: self.pointer() == (x, y), 3, 0.01):
            raise DisplayError(f'the pointer did not reach {x},{y}')

    def press(self, button):
        self.xdotool('mousedown', button)

    def release(self, button):
        self.xdotool('mouseup', button)

    def click(self, x, y, button=1, repeat=1):
        self.move_pointer(x, y)
        if repeat > 1:
            self.xdotool('click', '--repeat', repeat, '--delay', 60, button)
        else:
            self.xdotool('click', button)

    # --- screen -----------------------------------------------------------
    def grab(self, x, y, width, height):
        """The screen's pixels in the rectangle, as rows of (r, g, b)."""
        data = subprocess.run([IMPORT, '-window', 'root', '-crop', f'{width}x{height}+{x}+{y}',
                               '-depth', '8', 'ppm:-'], env=self.env, capture_output=True,
                              timeout=20).stdout
        return parse_ppm(data, width, height)


def parse_ppm(data, width, height):
    # P6 <w> <h> <max>\n<rgb bytes>
    match = re.match(rb'P6\s+(\d+)\s+(\d+)\s+(\d+)\s', data)
    if not match:
        raise DisplayError('import gave no picture')
    w, h = int(match.group(1)), int(match.group(2))
    pixels = data[match.end():]
    if (w, h) != (width, height) or len(pixels) < w * h * 3:
        raise DisplayError(f'import gave {w}x{h}, wanted {width}x{height}')
    return [[tuple(pixels[(y * w + x) * 3:(y * w + x) * 3 + 3]) for x in range(w)] for y in range(h)]


class XLib:
    """The little of Xlib and XTEST the tests use directly: exact key codes
    (xdotool would add modifiers to reach a keysym), the NumLock indicator,
    and the close request a task bar sends."""

    def __init__(self, display_name):
        self.x11 = ctypes.CDLL('libX11.so.6')
        self.xtst = ctypes.CDLL('libXtst.so.6')
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.x11.XInternAtom.restype = ctypes.c_ulong
        self.x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                        ctypes.c_void_p]
        self.x11.XkbGetIndicatorState.argtypes = [ctypes.c_void_p, ctypes.c_uint,
                                                  ctypes.POINTER(ctypes.c_uint)]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(display_name.encode())
        if not self.display:
            raise DisplayError(f'cannot open {display_name}')

    def keycode(self, keysym_name):
        code = self.x11.XKeysymToKeycode(self.display, self.x11.XStringToKeysym(keysym_name.encode()))
        if not code:
            raise DisplayError(f'no key for {keysym_name}')
        return code

    def key(self, keysym_name, down):
        """Sends one key event; returns CLOCK_MONOTONIC ns just after the
        server has it."""
        self.xtst.XTestFakeKeyEvent(self.display, self.keycode(keysym_name), 1 if down else 0, 0)
        self.x11.XFlush(self.display)
        return time.monotonic_ns()

    def tap(self, keysym_name, hold=0.05):
        self.key(keysym_name, True)
        time.sleep(hold)
        self.key(keysym_name, False)

    def num_lock(self):
        state = ctypes.c_uint(0)
        self.x11.XkbGetIndicatorState(self.display, 0x100, ctypes.byref(state))  # XkbUseCoreKbd
        return bool(state.value & 2)  # the NumLock indicator

    def set_num_lock(self, on):
        if self.num_lock() != on:
            self.tap('Num_Lock')
            if not _wait_until(lambda: self.num_lock() == on, 2):
                raise DisplayError('NumLock did not change')

    def request_close(self, window):
        """Asks the window manager to close the window, as a task bar does
        (_NET_CLOSE_WINDOW)."""

        class ClientMessage(ctypes.Structure):
            _fields_ = [('type', ctypes.c_int), ('serial', ctypes.c_ulong), ('send_event', ctypes.c_int),
                        ('display', ctypes.c_void_p), ('window', ctypes.c_ulong),
                        ('message_type', ctypes.c_ulong), ('format', ctypes.c_int),
                        ('data', ctypes.c_long * 5), ('pad', ctypes.c_long * 12)]

        event = ClientMessage()
        event.type = 33  # ClientMessage
        event.send_event = 1
        event.window = int(window)
        event.message_type = self.x11.XInternAtom(self.display, b'_NET_CLOSE_WINDOW', 0)
        event.format = 32
        event.data[0] = 0  # timestamp
        event.data[1] = 2  # source: pager / task bar
        mask = (1 << 19) | (1 << 20)  # SubstructureNotify | SubstructureRedirect
        self.x11.XSendEvent(self.display, self.x11.XDefaultRootWindow(self.display), 0, mask,
                            ctypes.byref(event))
        self.x11.XSync(self.display, 0)
