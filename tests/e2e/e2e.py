#!/usr/bin/env python3
"""Usage: e2e.py linux|windows PROGRAM_FOLDER [--density PERCENT[,PERCENT...]] [--display :N] [CASE...]"""
# Desktop tests of Snickit (Linux: SDL2; Windows: under wine) in a private Xvfb with openbox.
# --density 100,200 runs the cases at 100 %, then the cases that draw or
# click (or the named ones) again at 200 %: each pixel of the pictures is
# then expected as a 2 x 2 block, and clicks land on the scaled points.
# --display :N runs on that X display (24-bit, 1280 x 800, no window manager)
# instead of a private Xvfb. Each case runs the program from its own copy of
# the program folder, with test skins whose every pixel is known, and reads
# back what the window shows; the sound heard is read from SDL's disk audio
# driver (Linux) or from wine's trace of the sounds started (Windows). Prints
# one line per case, then "N passed, N failed"; exits non-zero when a case
# failed.

import argparse
import ctypes
import getpass
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback
from ctypes import POINTER, byref, c_int, c_uint, c_ulong, c_void_p
from math import pi, sin
from struct import pack

W, H = 240, 95
# Hot spots (left, top, width, height) and points in window pixels.
BUTTONS = [(3, 19, 60, 71), (62, 19, 58, 71), (119, 19, 58, 71), (176, 19, 60, 71)]
OK, MENU, MINIMIZE, CLOSE = (62, 71), (14, 11), (213, 9), (229, 10)
SKINS_ITEM, ABOUT_ITEM, QUIT_ITEM = (66, 30), (67, 47), (66, 66)
BACKGROUND, OUTSIDE = (150, 8), (W + 200, H + 200)  # no hot spot on any screen; well off the window
# The chooser's list, and points on its first two entries: one 13-pixel row each.
LIST, ENTRIES = (6, 21, 227, 67), [(60, 29 + 13 * i) for i in range(2)]
CENTRES = [(x + w // 2, y + h // 2) for x, y, w, h in BUTTONS]
KEYPAD = ['KP_1', 'KP_2', 'KP_3', 'KP_4']  # with NumLock off the same keys are KP_End ...
RATE, START_BYTES = 48000, 19200  # the Linux device: 16-bit stereo at 48 kHz; 100 ms of it


def wait_until(predicate, timeout=10.0, step=0.05):
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


# Arguments go as C ints but for the display (a c_void_p) and the pointers.
X11, XTST = ctypes.CDLL('libX11.so.6'), ctypes.CDLL('libXtst.so.6')
X11.XOpenDisplay.restype, X11.XDefaultRootWindow.restype, X11.XStringToKeysym.restype = c_void_p, c_ulong, c_ulong
X11.XKeysymToKeycode.restype, X11.XGetImage.restype = ctypes.c_ubyte, POINTER(XImage)
# A failed request (a window gone, a grab off the screen) is an answer, not
# the end of the test run.
_IGNORE_ERRORS = ctypes.CFUNCTYPE(c_int, c_void_p, c_void_p)(lambda display, event: 0)
X11.XSetErrorHandler(_IGNORE_ERRORS)


class Run:
    def __init__(self, system, folder, display=None):
        self.windows, self.programs, self.scale, self.wm = system == 'windows', [], 1, None  # scale: dpi / 96
        self.exe = os.path.join(folder, 'snickit.exe' if self.windows else 'snickit')
        self.work = tempfile.mkdtemp(prefix='snickit-e2e-')
        for skin in (ALPHA, BETA):
            skin.write(os.path.join(self.work, 'skins'))
        about = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'resources', 'about.bmp')
        about = subprocess.run(['convert', about, '-depth', '8', 'rgb:-'], capture_output=True, check=True).stdout
        self.about = [about[y * 3 * W:(y + 1) * 3 * W] for y in range(H)]
        self.server = None if display else subprocess.Popen(
            ['Xvfb', '-displayfd', '1', '-screen', '0', '1280x800x24', '-nolisten', 'tcp', '-noreset'],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        number = display[1:] if display else self.server.stdout.readline().strip().decode()  # the one Xvfb picked
        self.env = dict({k: v for k, v in os.environ.items() if k != 'WAYLAND_DISPLAY'}, DISPLAY=':' + number,
                        SNICKIT_NO_MESSAGEBOX='1', SDL_AUDIODRIVER='disk', XDG_CONFIG_HOME=self.work + '/config')
        if self.windows:
            # No sound card: wine's audio drivers stay off; winmm's trace
            # shows each sound started, with the length of its data.
            self.env.update(WINEDEBUG='-all,trace+winmm', WINEPREFIX=os.environ.get('SNICKIT_WINEPREFIX') or
                            os.path.join(os.path.dirname(folder), 'wineprefix'),
                            WINEDLLOVERRIDES='winealsa.drv,winepulse.drv,wineoss.drv=d;mscoree,mshtml=d')
        self.display = c_void_p(X11.XOpenDisplay(self.env['DISPLAY'].encode()))
        self.root = self.display.value and X11.XDefaultRootWindow(self.display)  # no X server: main fails
        self.held = set()  # keys and buttons down

    def window_manager(self):
        self.tool('xprop', '-root', '-remove', '_NET_SUPPORTING_WM_CHECK')
        self.wm = subprocess.Popen(['openbox', '--sm-disable'], env=self.env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        assert wait_until(lambda: 'window id' in self.tool('xprop', '-root', '_NET_SUPPORTING_WM_CHECK'), 30), \
            'no openbox'

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

    def press(self, what, down):
        """A key (named by its keysym) or a mouse button (a number) down or up."""
        fake, code = (XTST.XTestFakeButtonEvent, what) if isinstance(what, int) else \
            (XTST.XTestFakeKeyEvent, X11.XKeysymToKeycode(self.display, X11.XStringToKeysym(what.encode())))
        fake(self.display, code, down, 0)
        (self.held.add if down else self.held.discard)(what)
        X11.XSync(self.display, 0)

    def tap(self, keysym):
        self.press(keysym, True)
        self.press(keysym, False)

    def move(self, x, y):
        XTST.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        X11.XSync(self.display, 0)

    def end_programs(self):
        for program in self.programs:
            program.proc.kill()
            program.proc.wait(30)
        self.programs.clear()
        wait_until(lambda: not self.tool('xdotool', 'search', '--onlyvisible', '--name', '^Snickit$').split())

    def set_num_lock(self, on):
        state = c_uint(0)  # the core keyboard's lights; NumLock's is the second
        lit = lambda: not X11.XkbGetIndicatorState(self.display, 0x100, byref(state)) and bool(state.value & 2) == on
        if not lit():
            self.tap('Num_Lock')
        assert wait_until(lit, 5), 'NumLock did not change'

    def origin(self, window):
        x, y, child = c_int(), c_int(), c_ulong()
        X11.XTranslateCoordinates(self.display, window, self.root, 0, 0, byref(x), byref(y), byref(child))
        return x.value, y.value

    def grab(self, x, y, width, height):
        image = X11.XGetImage(self.display, self.root, x, y, width, height, c_ulong(-1), 2)  # ZPixmap
        if not image:
            return None
        raw = ctypes.string_at(image.contents.data, 4 * width * height)  # 32 bits a pixel: B, G, R, unused
        X11.XDestroyImage(image)
        rgb = bytearray(3 * width * height)
        rgb[0::3], rgb[1::3], rgb[2::3] = raw[2::4], raw[1::4], raw[0::4]
        return [bytes(rgb[3 * width * r:3 * width * (r + 1)]) for r in range(height)]


# --- test skins and settings ------------------------------------------------

class Skin:
    """Pictures whose every pixel differs from its neighbours' and the other pictures', and four tones."""

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
        os.makedirs(folder, exist_ok=True)
        for file, colour in self.colours.items():  # bottom-up BGR rows of 720 bytes: no padding
            body = b''.join(bytes(c for x in range(W) for c in colour(x, y)[::-1]) for y in reversed(range(H)))
            head = pack('<2sIHHIIiiHHIIiiII', b'BM', 54 + len(body), 0, 0, 54, 40, W, H, 1, 24, 0, len(body),
                        2835, 2835, 0, 0)
            open(os.path.join(folder, file + '.bmp'), 'wb').write(head + body)
        for i, samples in enumerate(self.sounds):
            head = pack('<4sI4s4sIHHIIHH4sI', b'RIFF', 36 + len(samples), b'WAVE', b'fmt ', 16, 1, 2, RATE, 4 * RATE,
                        4, 16, b'data', len(samples))  # 16-bit stereo PCM
            open(os.path.join(folder, f'{i + 1}.wav'), 'wb').write(head + samples)


ALPHA, BETA = Skin('Alpha', 40), Skin('Beta', 160)


def config(left=1500, top=1200, skin='Alpha'):
    return f'{left: d} \r\n{top: d} \r\n{skin}\\\r\n'.encode()


def differences(shot, expected, skip=(0, 0, 0, 0)):
    return [f'{x},{y} got {tuple(a[3 * x:3 * x + 3])} not {tuple(e[3 * x:3 * x + 3])}'
            for y, (a, e) in enumerate(zip(shot, expected)) if a != e for x in range(len(e) // 3)
            if a[3 * x:3 * x + 3] != e[3 * x:3 * x + 3]
            and not (skip[0] <= x < skip[0] + skip[2] and skip[1] <= y < skip[1] + skip[3])]


# --- one run of the program ------------------------------------------------------

class Program:  # the program started from its own copy of the program folder
    def __init__(self, run, settings=config(), missing=None, env=None, read_only=False):
        self.run = run
        self.folder = tempfile.mkdtemp(dir=run.work)
        self.exe = shutil.copy(run.exe, self.folder)
        shutil.copytree(os.path.join(run.work, 'skins'), os.path.join(self.folder, 'skins'))
        self.config = os.path.join(self.folder, 'config.sn')
        open(self.config, 'wb').write(settings)
        if missing:
            os.remove(os.path.join(self.folder, missing))
        if read_only:
            os.chmod(self.config, 0o444)
        self.log, capture = self.folder + '.log', self.folder + '.raw'
        self.heard = self.log if run.windows else capture
        with open(self.log, 'wb') as log:
            self.proc = subprocess.Popen(['wine'] * run.windows + [self.exe],
                                         cwd=run.work, env=dict(run.env, SDL_DISKAUDIOFILE=capture, **(env or {})),
                                         stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
        run.programs.append(self)

    def output(self):
        return read(self.log).decode(errors='replace')

    def ended(self, what, status=0):
        assert self.proc.wait(30) == status, f'{what}: exit status {self.proc.returncode}; {self.output()[-300:]!r}'

    def at(self, point):
        return self.origin[0] + point[0] * self.run.scale, self.origin[1] + point[1] * self.run.scale

    def point(self, point, button=None, down=True):
        self.run.move(*self.at(point))
        if button:
            self.run.press(button, down)

    def click(self, point, button=1):
        self.point(point, button, True)
        self.run.press(button, False)

    def drag(self, button, dx, dy, exact=True, steps=25):
        """Holding `button` on the background while the pointer moves (dx, dy) moves the window as far, to stay."""
        (x, y), place = self.at(BACKGROUND), (self.origin[0] + dx, self.origin[1] + dy)
        self.point(BACKGROUND, button)
        for step in range(1, steps + 1):
            time.sleep(0.01)
            self.run.move(x + dx * step // steps, y + dy * step // steps)
        self.run.press(button, False)
        if not exact:  # wherever it was left (wine may lag a step behind the pointer), once it is still
            places = []
            wait_until(lambda: places.append(self.run.origin(self.window)) or places[-5:].count(places[-1]) == 5)
            self.origin = places[-1]
            return
        near = lambda: self.run.origin(self.window) == place  # noqa: E731
        assert wait_until(near) and stays(near, 0.2) and (self.point(OUTSIDE) or stays(near, 0.8)), \
            f'window at {self.run.origin(self.window)} after the drag with button {button}, not at {place}'
        self.origin = place

    def see(self, expected, what, skip=(0, 0, 0, 0), timeout=15):
        """The window shows `expected` (at 100 %; scaled here), but inside `skip`."""
        scale, skip = self.run.scale, tuple(n * self.run.scale for n in skip)
        rows = [b''.join(row[i:i + 3] * scale for i in range(0, len(row), 3)) for row in expected]
        expected = [row for row in rows for _ in range(scale)]  # each pixel a scale x scale block
        shot, left, top = None, max(0, -self.origin[0]), max(0, -self.origin[1])  # off the screen passes

        def same():
            nonlocal shot
            shot = self.run.grab(self.origin[0] + left, self.origin[1] + top, W * scale - left, H * scale - top)
            shot = shot and expected[:top] + [e[:3 * left] + s for e, s in zip(expected[top:], shot)]
            return shot and not differences(shot, expected, skip)
        found = [] if wait_until(same, timeout, 0.1) else differences(shot, expected, skip) if shot else ['no picture']
        assert not found, f'{what}: {len(found)} pixels differ, first {found[0]}'

    def played(self, mark, skin, index):
        trace = f'ckid=data fccType=00000000 cksize={len(skin.sounds[index]):08X}'.encode()
        return (trace if self.run.windows else skin.sounds[index][:START_BYTES]) in read(self.heard)[mark:]


# --- the cases ---------------------------------------------------------------------

def started(run, skin=ALPHA, settings=None, on_pad=False, **kwargs):
    program = Program(run, settings or config(skin=skin.name), **kwargs)
    window = wait_until(lambda: run.tool('xdotool', 'search', '--onlyvisible', '--name', '^Snickit$').split()
                        or program.proc.poll() is not None, 60)
    assert window and window is not True, f'no window; output: {program.output()[-400:]!r}'
    program.window = int(window[0])
    program.origin = run.origin(program.window)
    program.see(run.about, 'start-up screen')
    if on_pad:
        program.click(OK)
        program.see(skin.box, 'pad screen')
    return program


def press_and_release(program, index, down, skin=ALPHA):
    """`down(True)` shows box2.bmp's rectangle of the button, silent; `down(False)` shows box.bmp and plays."""
    mark, (left, top, width, height) = len(read(program.heard)), BUTTONS[index]
    down(True)
    program.see([box[:3 * left] + box2[3 * left:3 * (left + width)] + box[3 * (left + width):]
                 if top <= y < top + height else box for y, (box, box2) in enumerate(zip(skin.box, skin.box2))],
                f'button {index + 1} pressed')
    assert stays(lambda: not program.played(mark, skin, index), 0.3), f'button {index + 1} played when pressed'
    down(False)
    program.see(skin.box, f'button {index + 1} released')
    assert wait_until(lambda: program.played(mark, skin, index), 15), f'button {index + 1}: its sound did not start'


def screens(run):
    """The about picture, again after a minimize and restore; pad, menu, About, pad, menu; the skin list over the
    skin: a click previews, a double click applies a skin (all its pictures); Quit saves."""
    program = started(run, BETA)
    assert program.origin == (100 * run.scale, 80 * run.scale), f'window at {program.origin}, config.sn says 100, 80'
    state = lambda: run.tool('xprop', '-id', str(program.window), 'WM_STATE').partition('window state: ')[2]  # noqa
    program.click(MINIMIZE)
    assert wait_until(lambda: state().startswith('Iconic')), 'not minimized'
    run.tool('xdotool', 'windowactivate', '--sync', str(program.window))
    assert wait_until(lambda: state().startswith('Normal')), 'not restored'
    # The point clicked (None: no click), the picture then shown, and [LIST] when it is shown over the picture.
    for point, expected, what, *skip in [(None, run.about, 'restored start-up screen'), (OK, BETA.box, 'pad screen'),
                                         (MENU, BETA.menu, 'menu screen'), (ABOUT_ITEM, run.about, 'about screen'),
                                         (OK, BETA.box, 'pad screen after About'), (MENU, BETA.menu, 'menu screen'),
                                         (SKINS_ITEM, BETA.box, 'chooser around the list', LIST),
                                         (ENTRIES[0], ALPHA.box, 'Alpha previewed', LIST),
                                         (ENTRIES[1], BETA.box, 'Beta previewed', LIST)]:
        point and program.click(point)
        program.see(expected, what, *skip)
        assert not skip or program.run.grab(*program.at((150, 75)), 1, 1)[0] == bytes((192, 192, 192)), \
            'the list is not shown'
    program.click(ENTRIES[0])
    time.sleep(0.06)  # a double click as a hand makes it
    program.click(ENTRIES[0])
    program.see(ALPHA.box, 'Alpha applied: the pad without the list')
    run.tool('xdotool', 'windowactivate', '--sync', str(program.window))
    run.tap('Down')  # the hidden list takes no keys: the pad stays Alpha's
    press_and_release(program, 0, lambda down: program.point(CENTRES[0], 1, down))
    program.click(MENU)
    program.see(ALPHA.menu, "Alpha's menu")
    program.click(QUIT_ITEM)
    program.ended('Quit')
    assert read(program.config) == config(), f'config.sn after Quit: {read(program.config)!r}'


def drag_and_close(run):
    """Drags move the window, partly off the screen; the close hot spot saves the place (twips); no audio device."""
    program = started(run, on_pad=True, env={'SDL_AUDIODRIVER': 'no-such-driver'})
    for button, dx in [(3, -60 * run.scale), (1, -70 * run.scale)]:
        program.drag(button, dx, 20)
    program.click(CENTRES[1])
    program.see(ALPHA.box, 'pad screen at the new place')
    program.click(CLOSE)
    program.ended('close hot spot')
    saved = config(*(round(15 * n / run.scale) for n in program.origin))
    assert read(program.config) == saved, f'config.sn after closing: {read(program.config)!r}, not {saved!r}'


def failures(run):
    """A missing config.sn or box.bmp: exit status 1, a message naming the file, the files left alone."""
    for name, path in [('config.sn', 'config.sn'), ('box.bmp', 'skins/Alpha/box.bmp')]:
        program = Program(run, missing=path)
        program.ended(f'no {name}', 1)
        assert name in program.output(), f'no {name}: the message does not name it: {program.output()[-300:]!r}'
        assert read(program.config) == (b'' if name == 'config.sn' else config()), f'no {name}: config.sn changed'


def cpu_and_wakeups(pid):  # clock ticks of user and system time, and context switches, of all its threads
    tasks = glob.glob(f'/proc/{pid}/task/*/')
    return (sum(int(n) for t in tasks for n in open(t + 'stat').read().rsplit(')', 1)[1].split()[11:13]),
            sum(int(line.split()[1]) for t in tasks for line in open(t + 'status') if 'ctxt_switches' in line))


def buttons_keys_idle_and_close(run):
    """Any mouse button presses and plays, also let go outside (the capture holds); a new same-size sound plays;
    keypad 1-4 play with NumLock on, not off; idle after the sounds, no processor time; Alt+F4 saves nothing."""
    program = started(run, on_pad=True)
    for index, (button, leave) in enumerate([(1, False), (3, False), (2, True), (1, True)]):
        press_and_release(program, index, lambda down: program.point(
            OUTSIDE if leave and not down else CENTRES[index], button, down))
    replaced = Skin('Alpha', 40)
    replaced.sounds[0] = replaced.sounds[0][::-1]
    replaced.write(os.path.join(program.folder, 'skins'))  # the same pictures and sounds but 1.wav
    press_and_release(program, 0, lambda down: program.point(CENTRES[0], 1, down), skin=replaced)
    run.tool('xdotool', 'windowactivate', '--sync', str(program.window))
    run.set_num_lock(True)
    for index, key in enumerate(KEYPAD):
        press_and_release(program, index, lambda down: run.press(key, down), skin=replaced)
    run.set_num_lock(False)
    mark = len(read(program.heard))
    for key in KEYPAD + ['1', '2', '3', '4']:
        run.tap(key)
    assert stays(lambda: not any(program.played(mark, replaced, i) for i in range(4))), 'NumLock off: a sound'
    program.see(ALPHA.box, 'NumLock off: the pad unchanged', timeout=0)
    sizes = []  # nothing more heard for 0.4 s: the sounds are over
    wait_until(lambda: sizes.append(len(read(program.heard))) or sizes[-8:].count(sizes[-1]) == 8)
    before = cpu_and_wakeups(program.proc.pid)
    time.sleep(3)  # the time measured, not a wait for something
    ticks, wakeups = (b - a for a, b in zip(before, cpu_and_wakeups(program.proc.pid)))
    assert ticks <= 1 and wakeups < 20, f'{ticks} ticks, {wakeups} wake-ups in 3 s'
    written = os.stat(program.config).st_mtime_ns
    run.press('Alt_L', True)
    run.tap('F4')
    run.press('Alt_L', False)
    program.ended('close from outside')
    assert os.stat(program.config).st_mtime_ns == written and read(program.config) == config(), \
        f'config.sn written: {read(program.config)!r}'


def read_only_settings(run):
    """With config.sn read-only the place is kept in the user's folder (%APPDATA%\\Snickit, $XDG_CONFIG_HOME/snickit);
    the next start takes it from there."""
    folder = os.path.join(run.env['WINEPREFIX'], 'drive_c', 'users', getpass.getuser(), 'AppData', 'Roaming',
                          'Snickit') if run.windows else os.path.join(run.env['XDG_CONFIG_HOME'], 'snickit')
    shutil.rmtree(folder, ignore_errors=True)
    try:
        program = started(run, on_pad=True, read_only=True)
        program.drag(1, 50, 30, exact=False)
        assert program.origin != (100 * run.scale, 80 * run.scale), 'the drag did not move the window'
        program.click(CLOSE)
        program.ended('close hot spot')
        assert read(program.config) == config() and not os.stat(program.config).st_mode & 0o222, \
            f'config.sn changed: {read(program.config)!r}'
        kept = read(os.path.join(folder, 'config.sn'))
        assert kept == config(*(round(15 * n / run.scale) for n in program.origin)), f"the user's config.sn: {kept!r}"
        again = started(run, read_only=True)
        assert again.origin == program.origin, f'started again at {again.origin}, not at the kept {program.origin}'
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def off_screen(run):
    """A saved place off the 1280 x 800 screen is brought back the shortest way, whole, with and without openbox."""
    for managed, (left, top), place in [(True, (15 * 3000, 1200), (1280 - W * run.scale, 80 * run.scale)),
                                        (True, (-30000, 15000), (0, 800 - H * run.scale)),
                                        (False, (1500, -15 * 3000), (100 * run.scale, 0))]:
        if not managed:  # the last row: the case's end starts it again
            run.wm.terminate()
            run.wm.wait(10)
        program = started(run, settings=config(left, top))
        assert program.origin == place, f'{"with" if managed else "without"} openbox at {program.origin}, not {place}'
        run.end_programs()  # one window at a time


# Every case runs at 100 %; these also at the other densities.
DENSITY_CASES = [screens, buttons_keys_idle_and_close, drag_and_close, off_screen, read_only_settings]
CASES = DENSITY_CASES + [failures]


def set_density(run, scale):
    if run.windows:
        # Wine reports LogPixels to every program; the server reads it when it starts.
        run.wine('wine', 'reg', 'add', r'HKCU\Control Panel\Desktop', '/v', 'LogPixels', '/t', 'REG_DWORD', '/d',
                 str(96 * scale), '/f')
        for step in ('-k', '-w', '-p'):
            run.wine('wineserver', step)
    else:
        run.tool('xprop', '-root', '-f', 'RESOURCE_MANAGER', '8s', '-set', 'RESOURCE_MANAGER',
                 f'Xft.dpi:\t{96 * scale}')
    run.scale = scale


def main(argv):
    parser = argparse.ArgumentParser(usage=__doc__.split('Usage: ')[1])
    parser.add_argument('system', choices=('linux', 'windows'))
    parser.add_argument('folder')
    parser.add_argument('--density', default='100')
    parser.add_argument('--display', default='')
    parser.add_argument('names', nargs='*')
    args = parser.parse_intermixed_args(argv[1:])  # options in any order
    assert not sys.flags.optimize, 'the checks are asserts'
    # The cases of each density in turn, on one desktop.
    phases = [(int(p) // 100, [c for c in CASES if
                               (c.__name__ in args.names if args.names else p == '100' or c in DENSITY_CASES)])
              for p in args.density.split(',')]
    run = Run(args.system, os.path.abspath(args.folder), display=args.display)
    failed = []
    try:
        run.window_manager()  # without an Xvfb (no display number) this fails too
        if run.windows and not os.path.exists(os.path.join(run.env['WINEPREFIX'], 'system.reg')):
            run.wine('wineboot', '-i')
        run.wine('wineserver', '-p')  # one server for all the cases
        for scale, cases in phases:
            if scale != run.scale:
                set_density(run, scale)
            at = f' at {100 * scale} %' if len(phases) > 1 or scale != 1 else ''
            for function in cases:
                try:
                    function(run)
                    print(f'PASS {function.__name__}{at}', flush=True)
                except Exception as error:  # a fault of the desktop counts as a failure too
                    failed.append(function)
                    print(f'FAIL {function.__name__}{at}: {error}', flush=True)
                    if not isinstance(error, AssertionError):
                        traceback.print_exc()
                finally:  # keys and buttons up, the programs ended, openbox running
                    for what in list(run.held):
                        run.press(what, False)
                    run.end_programs()
                    if run.wm.poll() is not None:
                        run.window_manager()
    finally:
        if run.windows and run.scale != 1:
            set_density(run, 1)  # the prefix is shared with other runs
        run.wine('wineserver', '-k')
        run.close()
    print(f'{sum(len(cases) for _, cases in phases) - len(failed)} passed, {len(failed)} failed')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
