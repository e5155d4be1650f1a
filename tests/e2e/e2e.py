#!/usr/bin/env python3
"""Desktop tests of Snickit: the Linux program (SDL2) or the Windows program
(under wine) in a private Xvfb with openbox, through one list of cases.

Usage: e2e.py linux|windows PROGRAM_FOLDER [--density PERCENT[,PERCENT...]] [--display :N] [CASE...]

--density 100,200 runs the cases at 100 %, then sets the desktop to 200 %
and runs the cases that draw or click (or the named ones) again: each pixel
of the pictures is then expected as a 2 x 2 block, and clicks land on the
scaled points.
--display :N runs on that X display instead of a private Xvfb: one run a
display, a 24-bit 1280 x 800 screen with no window manager (the run starts
openbox on it, and sets its density), so that runs side by side each bring
their own."""
# Each case runs the program from its own copy of the program folder, with
# test skins whose every pixel is known, and reads back what the window shows.
# The sound heard is read from SDL's disk audio driver (Linux) or from wine's
# trace of the sounds started (Windows). Points and pictures are written at
# 100 %; at another density they are scaled as the window should be. Prints
# one line per case, then "N passed, N failed"; exits non-zero when a case
# failed.

import copy
import ctypes
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback
import wave
from ctypes import POINTER, byref, c_char_p, c_int, c_uint, c_ulong, c_void_p
from math import pi, sin
from struct import pack

REPO = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
W, H = 240, 95
# Hot spots (left, top, width, height) and points in window pixels.
BUTTONS = [(3, 19, 60, 71), (62, 19, 58, 71), (119, 19, 58, 71), (176, 19, 60, 71)]
OK, MENU, MINIMIZE, CLOSE = (62, 71), (14, 11), (213, 9), (229, 10)
SKINS_ITEM, ABOUT_ITEM, QUIT_ITEM = (66, 30), (67, 47), (66, 66)
BACKGROUND, OUTSIDE = (150, 8), (W + 200, H + 200)  # no hot spot on any screen; well off the window
LIST = (6, 21, 227, 67)
ENTRIES = [(60, 29 + 13 * i) for i in range(2)]  # points on the chooser list's entries: one 13-pixel row each
CENTRES = [(x + w // 2, y + h // 2) for x, y, w, h in BUTTONS]
KEYPAD = ['KP_1', 'KP_2', 'KP_3', 'KP_4']  # with NumLock off the same keys are KP_End ...
RATE, START_BYTES = 48000, 19200  # the Linux device: 16-bit stereo at 48 kHz; 100 ms of it


def wait_until(predicate, timeout=10.0, step=0.05):
    """Polls until `predicate` gives a true value; returns its last value."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()) and time.monotonic() < deadline:
        time.sleep(step)
    return value


def stays(predicate, seconds=0.5):
    """True when `predicate` holds all along `seconds` (for what must not happen)."""
    return not wait_until(lambda: not predicate(), seconds)


def read(path):
    return open(path, 'rb').read() if os.path.exists(path) else b''


# --- the X desktop: Xlib and XTEST through ctypes -----------------------------
# Raw key codes, so that no tool adds modifiers or toggles NumLock around a key.

class XImage(ctypes.Structure):  # the leading fields of Xlib's XImage
    _fields_ = [(n, c_int) for n in ('width', 'height', 'xoffset', 'format')] + [('data', c_void_p)]


def library(name, functions):
    lib = ctypes.CDLL(name)
    for fname, restype, *argtypes in functions:
        getattr(lib, fname).restype, getattr(lib, fname).argtypes = restype, argtypes
    return lib


X11 = library('libX11.so.6', [
    ('XOpenDisplay', c_void_p, c_char_p), ('XDefaultRootWindow', c_ulong, c_void_p), ('XSync', c_int, c_void_p, c_int),
    ('XStringToKeysym', c_ulong, c_char_p), ('XKeysymToKeycode', ctypes.c_ubyte, c_void_p, c_ulong),
    ('XGetImage', POINTER(XImage), c_void_p, c_ulong, c_int, c_int, c_uint, c_uint, c_ulong, c_int),
    ('XFree', c_int, c_void_p),
    ('XTranslateCoordinates', c_int, c_void_p, c_ulong, c_ulong, c_int, c_int, POINTER(c_int), POINTER(c_int),
     POINTER(c_ulong)),
    ('XkbGetIndicatorState', c_int, c_void_p, c_uint, POINTER(c_uint))])
XTST = library('libXtst.so.6', [
    ('XTestFakeKeyEvent', c_int, c_void_p, c_uint, c_int, c_ulong),
    ('XTestFakeButtonEvent', c_int, c_void_p, c_uint, c_int, c_ulong),
    ('XTestFakeMotionEvent', c_int, c_void_p, c_int, c_int, c_int, c_ulong)])
# A failed request (a window gone, a grab off the screen) is an answer, not
# the end of the test run.
_IGNORE_ERRORS = ctypes.CFUNCTYPE(c_int, c_void_p, c_void_p)(lambda display, event: 0)
X11.XSetErrorHandler(_IGNORE_ERRORS)


class Run:
    """One run of the cases: the test skins, the way the system starts the
    program, and a 24-bit Xvfb on a free display number, managed by openbox."""

    def __init__(self, system, folder, scale=1, display=None):  # scale: the desktop's density over 96 dpi
        self.windows, self.programs, self.scale = system == 'windows', [], scale
        self.exe = os.path.join(folder, 'snickit.exe' if self.windows else 'snickit')
        self.work = tempfile.mkdtemp(prefix='snickit-e2e-')
        self.skins = os.path.join(self.work, 'skins')
        for skin in (ALPHA, BETA):
            skin.write(self.skins)
        about = subprocess.run(['convert', os.path.join(REPO, 'resources', 'about.bmp'), '-depth', '8', 'rgb:-'],
                               capture_output=True, check=True).stdout
        self.about = [about[y * 3 * W:(y + 1) * 3 * W] for y in range(H)]
        self.server = None if display else subprocess.Popen(
            ['Xvfb', '-displayfd', '1', '-screen', '0', '1280x800x24', '-nolisten', 'tcp', '-noreset'],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        number = display[1:] if display else self.server.stdout.readline().strip().decode()  # the one Xvfb picked
        self.env = dict({k: v for k, v in os.environ.items() if k != 'WAYLAND_DISPLAY'}, DISPLAY=':' + number,
                        SNICKIT_NO_MESSAGEBOX='1', SDL_AUDIODRIVER='disk')
        self.command = ['wine'] if self.windows else []
        if self.windows:
            # No sound card: wine's audio drivers stay off; winmm's trace
            # shows each sound started, with the length of its data.
            self.env.update(WINEDEBUG='-all,trace+winmm', WINEPREFIX=os.environ.get('SNICKIT_WINEPREFIX') or
                            os.path.join(os.path.dirname(folder), 'wineprefix'),
                            WINEDLLOVERRIDES='winealsa.drv,winepulse.drv,wineoss.drv=d;mscoree,mshtml=d')
        self.wm = number.isdigit() and subprocess.Popen(['openbox', '--sm-disable'], env=self.env,
                                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        managed = lambda: 'window id' in self.tool('xprop', '-root', '_NET_SUPPORTING_WM_CHECK')  # noqa: E731
        if not (self.wm and wait_until(managed, 30)):
            self.close()
            raise RuntimeError('Xvfb or openbox did not start')
        self.display = X11.XOpenDisplay(self.env['DISPLAY'].encode())
        self.root = X11.XDefaultRootWindow(self.display)
        self.held = set()  # keys and buttons down, as (XTEST function name, code)

    def window_manager(self, on):
        """Stops openbox, or starts it again and waits until it manages the screen."""
        if not on:
            self.wm.terminate()
            self.wm.wait(10)
            return
        self.tool('xprop', '-root', '-remove', '_NET_SUPPORTING_WM_CHECK')
        self.wm = subprocess.Popen(['openbox', '--sm-disable'], env=self.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        if not wait_until(lambda: 'window id' in self.tool('xprop', '-root', '_NET_SUPPORTING_WM_CHECK'), 30):
            raise RuntimeError('openbox did not start again')

    def close(self):
        for proc in (self.wm, self.server):
            if proc and proc.poll() is None:
                proc.terminate()
                proc.wait(10)
        shutil.rmtree(self.work, ignore_errors=True)

    def wine(self, *args):
        if self.windows:
            subprocess.run(args, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=600)

    def tool(self, *args):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=30).stdout

    def _send(self, fake, code, down):  # fake: XTestFakeKeyEvent or XTestFakeButtonEvent
        getattr(XTST, fake)(self.display, code, down, 0)
        (self.held.add if down else self.held.discard)((fake, code))
        X11.XSync(self.display, 0)

    def key(self, keysym, down):
        self._send('XTestFakeKeyEvent', X11.XKeysymToKeycode(self.display, X11.XStringToKeysym(keysym.encode())), down)

    def tap(self, keysym):
        self.key(keysym, True)
        self.key(keysym, False)

    def button(self, number, down):
        self._send('XTestFakeButtonEvent', number, down)

    def move(self, x, y):
        XTST.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        X11.XSync(self.display, 0)

    def release_all(self):
        """Lets go of every key and button a case left down."""
        for fake, code in list(self.held):
            self._send(fake, code, False)

    def set_num_lock(self, on):
        def lit():
            state = c_uint(0)
            X11.XkbGetIndicatorState(self.display, 0x100, byref(state))  # the core keyboard
            return bool(state.value & 2) == on
        if not lit():
            self.tap('Num_Lock')
        if not wait_until(lit, 5):
            raise RuntimeError('NumLock did not change')

    def origin(self, window):
        x, y, child = c_int(), c_int(), c_ulong()
        X11.XTranslateCoordinates(self.display, window, self.root, 0, 0, byref(x), byref(y), byref(child))
        return x.value, y.value

    def state(self, window):
        """'Normal' or 'Iconic', as the window manager says."""
        return (self.tool("xprop", "-id", str(window), "WM_STATE").partition("window state: ")[2].split() or [""])[0]

    def activate(self, window):
        self.tool('xdotool', 'windowactivate', '--sync', str(window))

    def request_close(self, window):
        """Closes the window through the window manager: openbox's Alt+F4."""
        self.activate(window)
        self.key('Alt_L', True)
        self.tap('F4')
        self.key('Alt_L', False)

    def grab(self, x, y, width, height):
        """The screen's rectangle as rows of packed RGB bytes, or None."""
        image = X11.XGetImage(self.display, self.root, x, y, width, height, c_ulong(-1).value, 2)  # ZPixmap
        if not image:
            return None
        raw = ctypes.string_at(image.contents.data, 4 * width * height)  # 32 bits a pixel: B, G, R, unused
        X11.XFree(image.contents.data)
        X11.XFree(image)
        rgb = bytearray(3 * width * height)
        rgb[0::3], rgb[1::3], rgb[2::3] = raw[2::4], raw[1::4], raw[0::4]
        return [bytes(rgb[3 * width * r:3 * width * (r + 1)]) for r in range(height)]


# --- test skins and settings ------------------------------------------------

class Skin:
    """Three pictures in which every pixel differs from its neighbours and
    from the other pictures (a rectangle copied one pixel off, or from the
    wrong picture, shows), and four tones; `tone` tells skins apart."""

    def __init__(self, name, tone):
        self.name = name
        self.colours = {'box': lambda x, y: (x, 2 * y, tone), 'box2': lambda x, y: (255 - x, 2 * y, tone),
                        'menu': lambda x, y: (x, 255 - 2 * y, tone)}
        self.box, self.box2, self.menu = ([bytes(c for x in range(W) for c in colour(x, y)) for y in range(H)]
                                          for colour in self.colours.values())
        # Swelling tones: no stretch of one repeats later on, so that the
        # start of a sound found in what was heard means the sound started.
        # Each sound has a length of its own: wine's trace names a sound
        # played from memory by its length.
        self.sounds = [b''.join(pack('<h', int((8000 + n) * sin(2 * pi * (300 + tone + 70 * i) * n / RATE + 1))) * 2
                                for n in range(RATE // 4 + tone + i)) for i in range(4)]

    def write(self, skins):
        folder = os.path.join(skins, self.name)
        os.makedirs(folder)
        for file, colour in self.colours.items():  # bottom-up BGR rows of 720 bytes: no padding
            body = b''.join(bytes(c for x in range(W) for c in colour(x, y)[::-1]) for y in reversed(range(H)))
            with open(os.path.join(folder, file + '.bmp'), 'wb') as f:
                f.write(pack('<2sIHHIIiiHHIIiiII', b'BM', 54 + len(body), 0, 0, 54, 40, W, H, 1, 24, 0,
                             len(body), 2835, 2835, 0, 0) + body)
        for i, samples in enumerate(self.sounds):
            write_sound(os.path.join(folder, f'{i + 1}.wav'), samples)


def write_sound(path, samples):
    with wave.open(path, 'wb') as w:
        w.setparams((2, 2, RATE, 0, 'NONE', None))
        w.writeframes(samples)


ALPHA, BETA = Skin('Alpha', 40), Skin('Beta', 160)


def config(left=1500, top=1200, skin='Alpha'):
    return f'{left: d} \r\n{top: d} \r\n{skin}\\\r\n'.encode()


def paste(base, top, rect):
    """`base` with the rectangle `rect` of `top` over it."""
    left, upper, width, height = rect
    return [t[:3 * left] + row[3 * left:3 * (left + width)] + t[3 * (left + width):]
            if upper <= y < upper + height else t for y, (t, row) in enumerate(zip(base, top))]


def magnified(picture, scale):
    """Rows of packed RGB bytes with each pixel a scale x scale block."""
    if scale == 1:
        return picture
    rows = [b''.join(row[i:i + 3] * scale for i in range(0, len(row), 3)) for row in picture]
    return [row for row in rows for _ in range(scale)]


def differences(shot, expected, skip=(0, 0, 0, 0)):
    """Pixels that differ outside `skip`, as 'x,y got (r, g, b) not (r, g, b)'."""
    return [f'{x},{y} got {tuple(a[3 * x:3 * x + 3])} not {tuple(e[3 * x:3 * x + 3])}'
            for y, (a, e) in enumerate(zip(shot, expected)) if a != e for x in range(len(e) // 3)
            if a[3 * x:3 * x + 3] != e[3 * x:3 * x + 3]
            and not (skip[0] <= x < skip[0] + skip[2] and skip[1] <= y < skip[1] + skip[3])]


# --- one run of the program ------------------------------------------------------

class Program:
    """The program started from its own copy of the program folder, with
    `missing` (a path in it) removed, config.sn read-only if `read_only`."""

    def __init__(self, run, settings=config(), missing=None, env=None, read_only=False):
        self.run = run
        self.folder = tempfile.mkdtemp(dir=run.work)
        shutil.copy(run.exe, self.folder)
        shutil.copytree(run.skins, os.path.join(self.folder, 'skins'))
        self.config = os.path.join(self.folder, 'config.sn')
        open(self.config, 'wb').write(settings)
        if missing:
            os.remove(os.path.join(self.folder, missing))
        if read_only:
            os.chmod(self.config, 0o444)
        self.log, capture = self.folder + '.log', self.folder + '.raw'
        self.heard = self.log if run.windows else capture
        with open(self.log, 'wb') as log:
            self.proc = subprocess.Popen(run.command + [os.path.join(self.folder, os.path.basename(run.exe))],
                                         cwd=run.work, env=dict(run.env, SDL_DISKAUDIOFILE=capture, **(env or {})),
                                         stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
        run.programs.append(self)

    def output(self):
        return read(self.log).decode(errors='replace')

    def at(self, point):
        """A point of the window at 100 % on the screen."""
        return self.origin[0] + point[0] * self.run.scale, self.origin[1] + point[1] * self.run.scale

    def point(self, point, button=None, down=True):
        """The pointer to a point of the window at 100 %, then `button` down or up there."""
        self.run.move(*self.at(point))
        if button:
            self.run.button(button, down)

    def click(self, point, button=1):
        self.point(point, button, True)
        self.run.button(button, False)

    def see(self, expected, what, skip=(0, 0, 0, 0), timeout=15):
        """The window shows `expected` (at 100 %; scaled here), but inside `skip`."""
        scale = self.run.scale
        expected, skip = magnified(expected, scale), tuple(n * scale for n in skip)
        shot, left, top = None, max(0, -self.origin[0]), max(0, -self.origin[1])  # off the screen passes

        def same():
            nonlocal shot
            shot = self.run.grab(self.origin[0] + left, self.origin[1] + top, W * scale - left, H * scale - top)
            shot = shot and expected[:top] + [e[:3 * left] + s for e, s in zip(expected[top:], shot)]
            return shot and not differences(shot, expected, skip)
        if not wait_until(same, timeout, 0.1):
            found = differences(shot, expected, skip) if shot else ['no picture']
            raise AssertionError(f'{what}: {len(found)} pixels differ, first {found[0]}')

    def mark(self):
        return len(read(self.heard))

    def played(self, mark, skin, index):
        """Whether the button's sound started after `mark`."""
        sound = skin.sounds[index]
        trace = f'ckid=data fccType=00000000 cksize={len(sound):08X}'.encode()
        return (trace if self.run.windows else sound[:START_BYTES]) in read(self.heard)[mark:]


# --- the cases ---------------------------------------------------------------------

def started(run, skin=ALPHA, settings=None, **kwargs):
    """A program showing its start-up screen."""
    program = Program(run, settings or config(skin=skin.name), **kwargs)
    window = wait_until(lambda: run.tool('xdotool', 'search', '--onlyvisible', '--name', '^Snickit$').split()
                        or program.proc.poll() is not None, 60)
    assert window and window is not True, f'no window; output: {program.output()[-400:]!r}'
    program.window = int(window[0])
    program.origin = run.origin(program.window)
    program.see(run.about, 'start-up screen')
    return program


def pad(run, skin=ALPHA, **kwargs):
    """A program past its start-up screen."""
    program = started(run, skin, **kwargs)
    program.click(OK)
    program.see(skin.box, 'pad screen')
    return program


def press_and_release(program, index, down, under=ALPHA.box, skin=ALPHA):
    """`down(True)` shows the button's rectangle of box2.bmp and plays
    nothing; `down(False)` shows box.bmp there again and starts its sound."""
    mark = program.mark()
    down(True)
    program.see(paste(under, skin.box2, BUTTONS[index]), f'button {index + 1} pressed')
    assert stays(lambda: not program.played(mark, skin, index), 0.3), f'button {index + 1} played when pressed'
    down(False)
    program.see(paste(under, skin.box, BUTTONS[index]), f'button {index + 1} released')
    assert wait_until(lambda: program.played(mark, skin, index), 15), f'button {index + 1}: its sound did not start'


def screens(run):
    """The about picture at start-up at config.sn's place (x and y apart),
    then the pad, the menu, About from the menu and the pad again."""
    program = started(run)
    place = (100 * run.scale, 80 * run.scale)
    assert program.origin == place, f'window at {program.origin}, config.sn says {place}'
    for point, expected, what in [(OK, ALPHA.box, 'pad screen'), (MENU, ALPHA.menu, 'menu screen'),
                                  (ABOUT_ITEM, run.about, 'about screen'), (OK, ALPHA.box, 'pad screen after About')]:
        program.click(point)
        program.see(expected, what)


def mouse_buttons(run):
    """Any mouse button presses and releases a sound button; the capture
    holds while the pointer leaves the window, so a release outside still
    plays. A sound file replaced by another of the same length is heard at
    the next release."""
    program = pad(run)
    for index, (button, leave) in enumerate([(1, False), (3, False), (2, True), (1, True)]):
        press_and_release(program, index, lambda down: program.point(
            OUTSIDE if leave and not down else CENTRES[index], button, down))
    replaced = copy.copy(ALPHA)
    replaced.sounds = [ALPHA.sounds[0][::-1]] + ALPHA.sounds[1:]
    write_sound(os.path.join(program.folder, 'skins', 'Alpha', '1.wav'), replaced.sounds[0])
    press_and_release(program, 0, lambda down: program.point(CENTRES[0], 1, down), skin=replaced)


def keypad(run):
    """Keypad 1 to 4 with NumLock on press and play, on the pad and on the
    menu screen; with NumLock off the same keys, and the digit row, do
    nothing."""
    program = pad(run)
    run.activate(program.window)
    run.set_num_lock(True)
    for index, key in enumerate(KEYPAD):
        press_and_release(program, index, lambda down: run.key(key, down))
    run.set_num_lock(False)
    mark = program.mark()
    for key in KEYPAD + ['1', '2', '3', '4']:
        run.tap(key)
    assert stays(lambda: not any(program.played(mark, ALPHA, i) for i in range(4))), 'NumLock off: a sound played'
    program.see(ALPHA.box, 'NumLock off: the pad unchanged', timeout=0)
    run.set_num_lock(True)
    program.click(MENU)
    program.see(ALPHA.menu, 'menu screen')
    press_and_release(program, 2, lambda down: run.key('KP_3', down), ALPHA.menu)


def chooser(run):
    """The chooser shows the skin list over the current skin; a selection
    previews a skin, a double click (here on the first entry) applies it
    with its pressed and menu pictures; Quit saves it."""
    program = pad(run, BETA)
    program.click(MENU)
    program.see(BETA.menu, 'menu screen')
    program.click(SKINS_ITEM)
    program.see(BETA.box, 'chooser around the list', skip=LIST)
    assert program.run.grab(*program.at((150, 75)), 1, 1)[0] == bytes((192, 192, 192)), \
        'the list is not shown'
    for index, skin in [(0, ALPHA), (1, BETA)]:
        program.click(ENTRIES[index])
        program.see(skin.box, f'{skin.name} previewed', skip=LIST)
    program.click(ENTRIES[0])
    time.sleep(0.06)  # a double click as a hand makes it
    program.click(ENTRIES[0])
    program.see(ALPHA.box, 'Alpha applied: the pad without the list')
    run.activate(program.window)
    run.tap('Down')  # the hidden list takes no keys: the pad stays Alpha's
    press_and_release(program, 0, lambda down: program.point(CENTRES[0], 1, down))
    program.click(MENU)
    program.see(ALPHA.menu, "Alpha's menu")
    program.click(QUIT_ITEM)
    assert program.proc.wait(30) == 0, f'Quit: exit status {program.proc.returncode}'
    assert read(program.config) == config(), f'config.sn after Quit: {read(program.config)!r}'


def minimize(run):
    """Minimized and restored while the start-up screen waits for OK, the
    window shows it again, and OK still ends the wait."""
    program = started(run)
    program.click(MINIMIZE)
    assert wait_until(lambda: run.state(program.window) == 'Iconic'), 'not minimized'
    run.activate(program.window)
    assert wait_until(lambda: run.state(program.window) == 'Normal'), 'not restored'
    program.see(run.about, 'start-up screen after restoring')
    program.click(OK)
    program.see(ALPHA.box, 'pad screen')


def drag_and_close(run):
    """A right, then a left drag on the background moves the window, here
    partly off the screen, and it stays when the button is let go; the
    close hot spot then saves the new place (in twips, 15 / scale a pixel)."""
    program = pad(run)
    for button, (dx, dy) in [(3, (-60 * run.scale, 20)), (1, (-70 * run.scale, 20))]:
        (x, y), steps = program.origin, 25
        program.point(BACKGROUND, button)
        start = program.at(BACKGROUND)
        for step in range(1, steps + 1):  # as a hand moves a mouse: small steps, 10 ms apart
            time.sleep(0.01)
            run.move(start[0] + dx * step // steps, start[1] + dy * step // steps)
        run.button(button, False)
        # Exactly where the pointer's travel puts it. Once it is there, the
        # pointer leaves and the window stays.
        near = lambda: run.origin(program.window) == (x + dx, y + dy)  # noqa: E731
        assert wait_until(near) and stays(near, 0.2) and (program.point(OUTSIDE) or stays(near, 0.8)), \
            f'window at {run.origin(program.window)} after the drag with button {button}, not at {(x + dx, y + dy)}'
        program.origin = run.origin(program.window)
    program.see(ALPHA.box, 'pad screen at the new place')
    program.click(CLOSE)
    assert program.proc.wait(30) == 0, f'close hot spot: exit status {program.proc.returncode}'
    saved = config(*(round(15 * n / run.scale) for n in program.origin))
    assert read(program.config) == saved, f'config.sn after closing: {read(program.config)!r}, not {saved!r}'


def close_from_outside(run):
    """A close from the window manager ends the program without writing
    config.sn, also while the start-up screen waits for OK."""
    for program in (pad(run) if on_pad else started(run) for on_pad in (False, True)):
        before = os.stat(program.config).st_mtime_ns
        run.request_close(program.window)
        status = program.proc.wait(30)
        assert status == 0, f'close from outside: exit status {status}; output: {program.output()[-300:]!r}'
        assert os.stat(program.config).st_mtime_ns == before and read(program.config) == config(), \
            f'config.sn written: {read(program.config)!r}'


def failures(run):
    """A missing config.sn or box.bmp ends the program with a message naming
    the file and a non-zero status, and leaves the files alone."""
    for name, path in [('config.sn', 'config.sn'), ('box.bmp', 'skins/Alpha/box.bmp')]:
        program = Program(run, missing=path)
        status = program.proc.wait(30)
        assert status != 0, f'no {name}: exit status {status}'
        assert name in program.output(), f'no {name}: the message does not name it: {program.output()[-300:]!r}'
        assert read(program.config) == (b'' if name == 'config.sn' else config()), f'no {name}: config.sn changed'


def idle(program, what, seconds=3.0):
    def cpu_and_wakeups():  # clock ticks of user and system time, and context switches, of all its threads
        tasks = glob.glob(f'/proc/{program.proc.pid}/task/*/')
        return (sum(int(n) for t in tasks for n in open(t + 'stat').read().rsplit(')', 1)[1].split()[11:13]),
                sum(int(line.split()[1]) for t in tasks for line in open(t + 'status') if 'ctxt_switches' in line))
    before = cpu_and_wakeups()
    time.sleep(seconds)  # the time measured, not a wait for something
    ticks, wakeups = (b - a for a, b in zip(before, cpu_and_wakeups()))
    assert ticks <= 1 and wakeups < 20, f'{what}: {ticks} clock ticks and {wakeups} wake-ups in {seconds} s'


def idle_cpu(run):
    """Left alone, the program uses no processor time and does not wake up:
    while the start-up screen waits, and on the pad after a sound."""
    program = started(run)
    idle(program, 'start-up screen')
    program.click(OK)
    program.see(ALPHA.box, 'pad screen')
    mark = program.mark()
    program.click(CENTRES[0])
    assert wait_until(lambda: program.played(mark, ALPHA, 0)), 'no sound'
    sizes = []  # then nothing more heard for 0.4 s: the sound is over
    wait_until(lambda: sizes.append(program.mark()) or sizes[-8:].count(sizes[-1]) == 8)
    idle(program, 'pad screen after a sound')


def no_audio_device(run):
    """Without an audio device the pad still works (Windows runs without one always)."""
    program = pad(run, env={'SDL_AUDIODRIVER': 'no-such-driver'})
    program.click(CENTRES[1])
    program.see(ALPHA.box, 'pad screen after a button')
    program.click(CLOSE)
    assert program.proc.wait(30) == 0, f'close hot spot: exit status {program.proc.returncode}'


def user_settings_windows(run):
    """%APPDATA%\\Snickit in the private prefix (one user, wine's own)."""
    found = glob.glob(os.path.join(run.env['WINEPREFIX'], 'drive_c', 'users', '*', 'AppData', 'Roaming'))
    found = [f for f in found if os.sep + 'Public' + os.sep not in f]
    assert len(found) == 1, f'no single AppData folder in the prefix: {found}'
    return os.path.join(found[0], 'Snickit')


def shown(run, settings):
    """A program started with `settings`, once its window is visible (not
    necessarily on the screen)."""
    program = Program(run, settings)
    window = wait_until(lambda: run.tool('xdotool', 'search', '--onlyvisible', '--name', '^Snickit$').split()
                        or program.proc.poll() is not None, 60)
    assert window and window is not True, f'no window; output: {program.output()[-400:]!r}'
    program.window = int(window[0])
    program.origin = run.origin(program.window)
    return program


def read_only_settings(run):
    """With config.sn read-only, a moved window's place is kept in the
    user's own settings folder, config.sn stays as it was, and the next
    start takes the place from there."""
    folder = user_settings_windows(run)
    shutil.rmtree(folder, ignore_errors=True)
    try:
        program = pad(run, read_only=True)
        dx, dy, steps = 50, 30, 10
        program.point(BACKGROUND, 1)
        for step in range(1, steps + 1):
            time.sleep(0.01)
            program.point((BACKGROUND[0] + dx * step // steps, BACKGROUND[1] + dy * step // steps))
        run.button(1, False)
        # Wherever the drag left it (under a window manager wine may lag a
        # step behind the pointer), once it is still.
        places = []
        wait_until(lambda: places.append(run.origin(program.window)) or places[-5:].count(places[-1]) == 5)
        moved = program.origin = places[-1]
        assert moved != (100, 80), 'the drag did not move the window'
        program.click(CLOSE)
        assert program.proc.wait(30) == 0, \
            f'close hot spot: exit status {program.proc.returncode}; output: {program.output()[-300:]!r}'
        assert read(program.config) == config() and not os.stat(program.config).st_mode & 0o222, \
            f'config.sn changed: {read(program.config)!r}'
        kept = read(os.path.join(folder, 'config.sn'))
        assert kept == config(15 * moved[0], 15 * moved[1]), f"the user's config.sn: {kept!r}"
        again = started(run, read_only=True)
        assert again.origin == moved, f'started again at {again.origin}, not at the kept place {moved}'
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def off_every_monitor(run):
    """A saved place that leaves the window off every monitor (one taken
    away) brings it back, whole and shown, onto the nearest one: the screen
    is 1280 x 800, and the place is kept as far as it can be."""
    for left, top, place in [(15 * 3000, 1200, (1280 - W, 80)), (1500, -15 * 3000, (100, 0))]:
        program = shown(run, config(left, top))
        assert program.origin == place, f'window at {program.origin}, not brought back to {place}'
        program.see(run.about, f'start-up screen brought back to {place}')
        program.proc.kill()


def off_screen(run):
    """A saved place that leaves the menu button off the screen is brought
    back, the whole window on the screen, with and without a window manager."""
    size = (W * run.scale, H * run.scale)
    for managed, (left, top), place in [(True, (-30000, 15000), (0, 800 - size[1])),
                                        (False, (30000, -15000), (1280 - size[0], 0))]:
        try:
            managed or run.window_manager(False)
            program = started(run, settings=config(left, top))
            assert program.origin == place, \
                f'{"with" if managed else "without"} a window manager at {program.origin}, not {place}'
            program.proc.kill()  # one window at a time
            program.proc.wait(30)
        finally:
            managed or run.window_manager(True)


CASES = [screens, mouse_buttons, keypad, chooser, minimize, drag_and_close, close_from_outside, failures, idle_cpu]
LINUX_CASES = [no_audio_device, off_screen]
WINDOWS_CASES = [read_only_settings, off_every_monitor]
# What runs at other densities: the cases that draw or click.
DENSITY_CASES = [screens, mouse_buttons, chooser, drag_and_close, off_screen]


def set_density(run, scale):
    """The desktop's density, as the system's programs read it at their start."""
    if run.windows:
        # Wine reports LogPixels to every program; the server reads it when it starts.
        run.wine('wine', 'reg', 'add', r'HKCU\Control Panel\Desktop', '/v', 'LogPixels', '/t', 'REG_DWORD', '/d',
                 str(96 * scale), '/f')
        run.wine('wineserver', '-k')
        run.wine('wineserver', '-w')
        run.wine('wineserver', '-p')
    else:
        run.tool('xprop', '-root', '-f', 'RESOURCE_MANAGER', '8s', '-set', 'RESOURCE_MANAGER',
                 f'Xft.dpi:\t{96 * scale}')


# --- the runner ----------------------------------------------------------------

def main(argv):
    options, names, rest = {'--density': '100', '--display': None}, [], argv[3:]
    while rest:
        word = rest.pop(0)
        if word in options and rest:
            options[word] = rest.pop(0)
        else:
            names.append(word)
    percents, display = options['--density'].split(','), options['--display']
    if len(argv) < 3 or argv[1] not in ('linux', 'windows') or sys.flags.optimize or \
            (display is not None and not (display[:1] == ':' and display[1:].isdigit())) or \
            not all(p.isdigit() and int(p) >= 100 and int(p) % 100 == 0 for p in percents):
        print(__doc__.strip())  # the checks are asserts; whole scales only
        return 2
    # The cases of each density in turn, on one desktop.
    system_cases = CASES + LINUX_CASES * (argv[1] == 'linux') + WINDOWS_CASES * (argv[1] == 'windows')
    phases = [(int(p) // 100, [c for c in system_cases
                               if ((c.__name__ in names) if names else (p == '100' or c in DENSITY_CASES))])
              for p in percents]
    run = Run(argv[1], os.path.abspath(argv[2]), display=display)
    failed, count, started = 0, sum(len(cases) for _, cases in phases), time.monotonic()
    try:
        if run.windows and not os.path.exists(os.path.join(run.env['WINEPREFIX'], 'system.reg')):
            run.wine('wineboot', '-i')
        run.wine('wineserver', '-p')  # one server for all the cases
        for scale, cases in phases:
            if scale != run.scale:
                set_density(run, scale)
                run.scale = scale
            at = f' at {100 * scale} %' if len(phases) > 1 or scale != 1 else ''
            for function in cases:
                began = time.monotonic()
                try:
                    function(run)
                    print(f'PASS {function.__name__}{at} ({time.monotonic() - began:.1f} s)', flush=True)
                except Exception as error:  # a fault of the desktop counts as a failure too
                    failed += 1
                    print(f'FAIL {function.__name__}{at}: {error}', flush=True)
                    if not isinstance(error, AssertionError):
                        traceback.print_exc()
                finally:  # leave the X server clean for the next case
                    run.release_all()
                    for program in run.programs:
                        program.proc.kill()  # nothing when it has ended
                        program.proc.wait(30)
                    run.programs.clear()
    finally:
        if run.windows and run.scale != 1:
            set_density(run, 1)  # the prefix is shared with other runs
        run.wine('wineserver', '-k')
        run.close()
    print(f'{count - failed} passed, {failed} failed ({time.monotonic() - started:.0f} s)')
    return 0 if failed == 0 else 1


if __name__ == '__main__':
    sys.exit(main(sys.argv))
