#!/usr/bin/env python3
"""Snickit against a bare SDL2 program, measured from outside under Xvfb.

Usage: bench.py <Snickit program folder> <bare program> [runs]

Both programs run interleaved on one Xvfb display managed by openbox, with
SDL's disk audio driver. Everything is observed from outside the process:
the window's pixels are read back from the X server (XGetImage on the root
window), input goes in through XTEST, the audio driver's output is read
as it is written and timestamped at its first non-silent byte after a
release, and CPU, memory, libraries and context switches come from /proc
(idle CPU from the threads' schedstat, which counts in nanoseconds). A run of Snickit starts from config.sn at
200, 100 on the about picture, goes to the pad with OK, then presses and
releases sound button 1 of the shipped Candy skin 100 times; the bare
program shows Candy's box.bmp at the same place and blits button 1 of
box2.bmp on a press, box.bmp back and Candy's 1.wav on a release. A
further run of Snickit at 200 % (the X server's Xft.dpi at 192: the window
at 400, 200, each picture pixel a 2 x 2 block) times its start-up, presses
and releases against Snickit's own figures at 100 %.

Prints one table: metric | Snickit min/median/max | bare min/median/max |
ratio of the medians (Snickit over bare) | the goal and whether it is met.
"""

import ctypes
import os
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import threading
import time
import tty
import wave
from collections import defaultdict

PLACE = (200, 100)          # config.sn holds 3000 and 1500 twips
WIDTH, HEIGHT = 240, 95
# The first frame at 200 % is awaited in the window's bottom-right quarter:
# as many pixels as the whole window at 100 %, so that the bench's own
# polling (each grab read back and compared in Python) costs the same at both
# scales and does not take the program's share of the two cores. The program
# puts each frame on the screen in one update.
ABOUT_PART = (WIDTH // 2, HEIGHT // 2, WIDTH - WIDTH // 2, HEIGHT - HEIGHT // 2)
BUTTON = (3, 19, 60, 71)    # sound button 1
BUTTON_POINT = (33, 60)
OK_POINT = (62, 71)
MENU_POINT = (14, 11)
SKINS_POINT = (66, 30)
SKIN = 'Candy'
PRESSES = 100
SOUND_EVERY = 33            # every 33rd release also times the first sound sample
IDLE_SECONDS = 1.5
FOLDERS = 10_000
TIMEOUT = 10.0


class BenchError(RuntimeError):
    pass


# --- pictures ------------------------------------------------------------

def read_bmp(path):
    """A 24- or 32-bit BMP as (width, height, rows of bytes r,g,b,...)."""
    with open(path, 'rb') as f:
        data = f.read()
    offset, = struct.unpack_from('<I', data, 10)
    width, height, _, bits = struct.unpack_from('<iiHH', data, 18)
    if bits not in (24, 32):
        raise BenchError(f'{path}: {bits}-bit pictures are not read here')
    step = bits // 8
    stride = (width * step + 3) & ~3
    rows = []
    for y in range(abs(height)):
        line = y if height < 0 else abs(height) - 1 - y
        start = offset + line * stride
        row = bytearray()
        for x in range(width):
            b, g, r = data[start + x * step:start + x * step + 3]
            row += bytes((r, g, b))
        rows.append(bytes(row))
    return width, abs(height), rows


class Expected:
    """A rectangle of a picture in the layout XGetImage gives on a 24-bit
    screen (B, G, R, pad), split into planes so a grab compares quickly."""

    def __init__(self, picture, rect, scale=1):
        _, _, rows = picture
        if scale != 1:  # each pixel a scale x scale block
            rows = [bytes(b''.join(row[i:i + 3] * scale for i in range(0, len(row), 3)))
                    for row in rows for _ in range(scale)]
        x, y, w, h = (n * scale for n in rect)
        self.size = (w, h)
        blue, green, red = bytearray(), bytearray(), bytearray()
        for row in rows[y:y + h]:
            part = row[x * 3:(x + w) * 3]
            red += part[0::3]
            green += part[1::3]
            blue += part[2::3]
        self.planes = (bytes(blue), bytes(green), bytes(red))

    def matches(self, data):
        return data is not None and (data[0::4], data[1::4], data[2::4]) == self.planes


# --- the X server ----------------------------------------------------------

class XImage(ctypes.Structure):
    _fields_ = [('width', ctypes.c_int), ('height', ctypes.c_int), ('xoffset', ctypes.c_int),
                ('format', ctypes.c_int), ('data', ctypes.c_void_p), ('byte_order', ctypes.c_int),
                ('bitmap_unit', ctypes.c_int), ('bitmap_bit_order', ctypes.c_int),
                ('bitmap_pad', ctypes.c_int), ('depth', ctypes.c_int), ('bytes_per_line', ctypes.c_int),
                ('bits_per_pixel', ctypes.c_int)]


class Desk:
    """Xvfb (24-bit) with openbox, and one Xlib connection for pixels and
    XTEST input."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ['Xvfb', '-displayfd', str(write_end), '-screen', '0', '1280x800x24', '-nolisten', 'tcp',
             '-noreset'], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
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
            raise BenchError('Xvfb did not start')
        self.name = ':' + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)
        self.env.pop('WAYLAND_DISPLAY', None)
        self.wm = subprocess.Popen(['openbox', '--sm-disable'], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        x11 = self.x11 = ctypes.CDLL('libX11.so.6')
        xtst = self.xtst = ctypes.CDLL('libXtst.so.6')
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XDefaultRootWindow.restype = ctypes.c_ulong
        x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x11.XGetImage.restype = ctypes.POINTER(XImage)
        x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                  ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x11.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
            ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
        x11.XFree.argtypes = [ctypes.c_void_p]
        xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                              ctypes.c_ulong]
        xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.display = None
        deadline = time.monotonic() + 10
        while not self.display and time.monotonic() < deadline:
            self.display = x11.XOpenDisplay(self.name.encode())
        if not self.display:
            raise BenchError(f'cannot open {self.name}')
        self.root = x11.XDefaultRootWindow(self.display)
        deadline = time.monotonic() + 15
        while not self._wm_ready():
            if time.monotonic() > deadline:
                raise BenchError('openbox did not start')
            time.sleep(0.05)

    def _wm_ready(self):
        atom = self.x11.XInternAtom(self.display, b'_NET_SUPPORTING_WM_CHECK', 0)
        kind, fmt, count, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        self.x11.XGetWindowProperty(self.display, self.root, atom, 0, 1, 0, 0, ctypes.byref(kind),
                                    ctypes.byref(fmt), ctypes.byref(count), ctypes.byref(after),
                                    ctypes.byref(data))
        if data:
            self.x11.XFree(data)
        return count.value > 0

    def set_density(self, scale):
        """The desktop's density for the programs started next: the Xft.dpi resource."""
        subprocess.run(['xprop', '-root', '-f', 'RESOURCE_MANAGER', '8s', '-set', 'RESOURCE_MANAGER',
                        f'Xft.dpi:\t{96 * scale}'], env=self.env, check=True)

    def close(self):
        for proc in (self.wm, self.server):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()

    def grab(self, x, y, w, h):
        """The screen's bytes in the rectangle (B, G, R, pad per pixel)."""
        image = self.x11.XGetImage(self.display, self.root, x, y, w, h, 0xFFFFFFFF, 2)  # ZPixmap
        if not image:
            return None
        try:
            info = image.contents
            if info.bits_per_pixel != 32 or info.bytes_per_line != w * 4:
                raise BenchError('the screen is not 24-bit in 32-bit pixels')
            return ctypes.string_at(info.data, w * h * 4)
        finally:
            self.x11.XDestroyImage(image)

    def pointer_to(self, x, y):
        self.xtst.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        self.x11.XSync(self.display, 0)

    def button(self, down):
        """Sends a left button event; returns CLOCK_MONOTONIC ns once the
        request has left for the server."""
        self.xtst.XTestFakeButtonEvent(self.display, 1, 1 if down else 0, 0)
        self.x11.XFlush(self.display)
        return time.monotonic_ns()

    def click(self, x, y):
        self.pointer_to(x, y)
        self.button(True)
        time.sleep(0.03)
        self.button(False)
        self.x11.XSync(self.display, 0)


# --- /proc -------------------------------------------------------------------

def cpu_ms(pid):
    """utime + stime of the whole process, in ms (clock-tick resolution)."""
    with open(f'/proc/{pid}/stat') as f:
        fields = f.read().rsplit(')', 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1000 / os.sysconf('SC_CLK_TCK')


def _tasks(pid):
    try:
        return os.listdir(f'/proc/{pid}/task')
    except FileNotFoundError:
        return []


def run_ns(pid):
    """Time on a CPU of every live thread, in ns (schedstat)."""
    total = 0
    for task in _tasks(pid):
        try:
            with open(f'/proc/{pid}/task/{task}/schedstat') as f:
                total += int(f.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass
    return total


def switches(pid):
    """Voluntary and involuntary context switches of every live thread."""
    total = 0
    for task in _tasks(pid):
        try:
            with open(f'/proc/{pid}/task/{task}/status') as f:
                for line in f:
                    if line.startswith(('voluntary_ctxt_switches', 'nonvoluntary_ctxt_switches')):
                        total += int(line.split()[1])
        except (FileNotFoundError, ProcessLookupError):
            pass
    return total


def vm_hwm_kb(pid):
    with open(f'/proc/{pid}/status') as f:
        for line in f:
            if line.startswith('VmHWM:'):
                return int(line.split()[1])
    raise BenchError('no VmHWM')


def libraries(pid):
    names = set()
    with open(f'/proc/{pid}/maps') as f:
        for line in f:
            parts = line.split(None, 5)
            if len(parts) == 6 and '.so' in os.path.basename(parts[5].strip()):
                names.add(parts[5].strip())
    return len(names)


# --- one program under test ---------------------------------------------------

class Audio:
    """What the disk audio driver writes, timestamped as it arrives. The
    driver writes through stdio, which holds back up to two device buffers
    in a regular file or a pipe; on a terminal in raw mode each 2 KB buffer
    goes out whole at once. So the driver writes to a pseudo-terminal, and a
    thread reads the other end."""

    def __init__(self):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        self.path = os.ttyname(self.slave)
        self.total = 0        # bytes read so far
        self.sounds = []      # (byte offset of a first non-silent byte in a read, ns)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        while True:
            try:
                data = os.read(self.master, 1 << 16)
            except OSError:
                return
            now = time.monotonic_ns()
            if not data:
                return
            sound = data.lstrip(b'\0')
            if sound:
                self.sounds.append((self.total + len(data) - len(sound), now))
            self.total += len(data)

    def first_sound_since(self, offset):
        """The arrival time of the first non-silent byte at or after
        `offset`, or None."""
        for position, when in self.sounds:
            if position >= offset:
                return when
        return None

    def close(self):
        os.close(self.slave)
        self.reader.join(5)
        os.close(self.master)


class Run:
    def __init__(self, bench, argv, cwd, label, first_picture, scale=1):
        self.bench, self.desk, self.first_picture = bench, bench.desk, first_picture
        self.scale, self.place = scale, (PLACE[0] * scale, PLACE[1] * scale)
        self.looks = bench.looks[scale]
        self.audio = Audio()
        env = dict(self.desk.env, SDL_AUDIODRIVER='disk', SDL_DISKAUDIOFILE=self.audio.path,
                   SNICKIT_NO_MESSAGEBOX='1')
        self.stderr = open(os.path.join(bench.work, f'{label}.log'), 'wb')
        self.clear_place()
        self.started = time.monotonic_ns()
        self.proc = subprocess.Popen(argv, cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=self.stderr)

    def clear_place(self):
        # The place must not show a picture of an earlier run.
        deadline = time.monotonic() + 3
        while self.first_picture.matches(self.desk.grab(*self.place, *self.first_picture.size)):
            if time.monotonic() > deadline:
                raise BenchError('the place still shows an earlier window')
            time.sleep(0.02)

    def wait_pixels(self, expected, rect, what, since=None):
        """Polls the screen until `rect` (window coordinates at 100 %) shows
        `expected`; returns the ms from `since` (or the exec) to then."""
        x, y, w, h = (n * self.scale for n in rect)
        deadline = time.monotonic() + TIMEOUT
        while True:
            data = self.desk.grab(self.place[0] + x, self.place[1] + y, w, h)
            now = time.monotonic_ns()
            if expected.matches(data):
                return (now - (since or self.started)) / 1e6
            if self.proc.poll() is not None:
                raise BenchError(f'{what}: the program ended ({self.proc.returncode})')
            if time.monotonic() > deadline:
                with open(self.stderr.name, errors='replace') as f:
                    said = f.read().strip().replace('\n', ' / ')
                raise BenchError(f'{what}: not shown within {TIMEOUT:.0f} s ({self.proc.args[0]}: {said})')
            time.sleep(0.0002)

    def first_frame(self):
        if self.scale == 1:
            ms = self.wait_pixels(self.first_picture, (0, 0, WIDTH, HEIGHT), 'first frame')
        else:
            ms = self.wait_pixels(self.looks['about_part'], ABOUT_PART, 'first frame')
        return ms, cpu_ms(self.proc.pid), run_ns(self.proc.pid) / 1e6

    def idle(self):
        """CPU ms and wake-ups per second while nothing happens."""
        pid = self.proc.pid
        cpu, wakes = run_ns(pid), switches(pid)
        time.sleep(IDLE_SECONDS)
        return (run_ns(pid) - cpu) / 1e6 / IDLE_SECONDS, (switches(pid) - wakes) / IDLE_SECONDS

    def click(self, point):
        self.desk.click(self.place[0] + point[0] * self.scale, self.place[1] + point[1] * self.scale)

    def park_pointer(self):
        self.desk.pointer_to(1200, 700)

    def presses(self, figures):
        """PRESSES presses and releases of sound button 1."""
        bench = self.bench
        self.desk.pointer_to(self.place[0] + BUTTON_POINT[0] * self.scale,
                             self.place[1] + BUTTON_POINT[1] * self.scale)
        time.sleep(0.1)
        last_release = 0.0
        for index in range(PRESSES):
            timed_sound = index % SOUND_EVERY == SOUND_EVERY // 2
            if timed_sound:  # let the last sound end, so that the file falls silent
                time.sleep(max(0.0, last_release + bench.sound_seconds + 0.3 - time.monotonic()))
            sent = self.desk.button(True)
            figures['press to pixels (ms)'].append(
                self.wait_pixels(self.looks['pressed'], BUTTON, 'pressed look', since=sent))
            time.sleep(0.01)
            offset = self.audio.total
            sent = self.desk.button(False)
            last_release = time.monotonic()
            if timed_sound:
                # Not reading pixels meanwhile: the reader thread then gets
                # the interpreter at once, and the X server is left alone.
                deadline = time.monotonic() + TIMEOUT
                while not self.audio.first_sound_since(offset):
                    if time.monotonic() > deadline:
                        raise BenchError('no sound in the audio output')
                    time.sleep(0.0005)
                heard = self.audio.first_sound_since(offset)
                figures['release to the first sound sample (ms)'].append((heard - sent) / 1e6)
                self.wait_pixels(self.looks['normal'], BUTTON, 'normal look')
            else:
                figures['release to pixels, shipped sounds (ms)'].append(
                    self.wait_pixels(self.looks['normal'], BUTTON, 'normal look', since=sent))
            time.sleep(0.02)
        self.desk.x11.XSync(self.desk.display, 0)
        time.sleep(0.1)
        figures['VmHWM after 100 presses (KB)'].append(vm_hwm_kb(self.proc.pid))
        figures['shared libraries mapped'].append(libraries(self.proc.pid))
        return last_release

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.stderr.close()
        self.audio.close()


# --- the bench -----------------------------------------------------------------


def first_frame_figures(run, figures):
    """The start-up figures of one run, for either program."""
    wall, cpu, ran = run.first_frame()
    figures['exec to the first correct frame (ms)'].append(wall)
    figures['CPU to the first frame, utime+stime (ms)'].append(cpu)
    figures['CPU to the first frame, schedstat (ms)'].append(ran)

class Bench:
    def __init__(self, program_folder, bare):
        self.program_folder = os.path.abspath(program_folder)
        self.bare = os.path.abspath(bare)
        # In memory if possible: removing 10,000 folders from a busy disk
        # takes long.
        shm = '/dev/shm' if os.access('/dev/shm', os.W_OK) else None
        self.work = tempfile.mkdtemp(prefix='snickit-bench-', dir=shm)
        skin = os.path.join(self.program_folder, 'skins', SKIN)
        self.box, self.box2, self.wav = (os.path.join(skin, n) for n in ('box.bmp', 'box2.bmp', '1.wav'))
        repo = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
        box, box2 = read_bmp(self.box), read_bmp(self.box2)
        menu, about = read_bmp(os.path.join(skin, 'menu.bmp')), read_bmp(os.path.join(repo, 'resources', 'about.bmp'))
        whole = (0, 0, WIDTH, HEIGHT)
        # What the window shows at 100 % and at 200 %.
        self.looks = {scale: {'box_whole': Expected(box, whole, scale), 'normal': Expected(box, BUTTON, scale),
                              'pressed': Expected(box2, BUTTON, scale), 'menu': Expected(menu, whole, scale),
                              'about': Expected(about, whole, scale),
                              'about_part': Expected(about, ABOUT_PART, scale)} for scale in (1, 2)}
        self.box_whole, self.menu, self.about = (self.looks[1][n] for n in ('box_whole', 'menu', 'about'))
        with wave.open(self.wav) as w:
            self.sound_seconds = w.getnframes() / w.getframerate()
        # Three program folders: as shipped, with one skin folder, and with
        # FOLDERS skin folders (the current one and empty others).
        self.shipped = self._folder('shipped', None)
        self.one = self._folder('one', 0)
        self.many = self._folder('many', FOLDERS - 1)
        self.desk = Desk()

    def _folder(self, name, extra):
        root = os.path.join(self.work, name)
        folder = os.path.join(root, 'snickit')
        shutil.copytree(self.program_folder, folder)
        if extra is not None:
            skins = os.path.join(folder, 'skins')
            for entry in os.listdir(skins):
                if entry != SKIN:
                    shutil.rmtree(os.path.join(skins, entry))
            for i in range(extra):
                os.mkdir(os.path.join(skins, f'Skin{i:05d}'))
        return folder

    def close(self):
        self.desk.close()
        shutil.rmtree(self.work, ignore_errors=True)

    def start_snickit(self, folder, label, scale=1):
        with open(os.path.join(folder, 'config.sn'), 'wb') as f:
            f.write(f' {PLACE[0] * 15} \r\n {PLACE[1] * 15} \r\n{SKIN}\\\r\n'.encode())
        self.desk.set_density(scale)
        return Run(self, [os.path.join(folder, 'snickit')], os.path.dirname(folder), label,
                   self.looks[scale]['about'], scale)

    def run_snickit(self, figures, label):
        run = self.start_snickit(self.shipped, label)
        try:
            first_frame_figures(run, figures)
            run.park_pointer()
            time.sleep(0.3)
            idle = {'about': run.idle()}
            run.click(OK_POINT)
            run.wait_pixels(self.box_whole, (0, 0, WIDTH, HEIGHT), 'pad screen')
            last_release = run.presses(figures)
            run.park_pointer()
            # After the sound's end and the device's few buffers of silence.
            time.sleep(max(0.0, last_release + self.sound_seconds + 0.5 - time.monotonic()))
            idle['pad'] = run.idle()
            run.click(MENU_POINT)
            run.park_pointer()
            run.wait_pixels(self.menu, (0, 0, WIDTH, HEIGHT), 'menu screen')
            idle['menu'] = run.idle()
            run.click(SKINS_POINT)
            run.park_pointer()
            time.sleep(0.3)
            idle['chooser'] = run.idle()
            for screen, (cpu_rate, wake_rate) in idle.items():
                figures[f'idle CPU, {screen} screen (ms/s)'].append(cpu_rate)
                figures[f'idle wake-ups, {screen} screen (/s)'].append(wake_rate)
        finally:
            run.stop()

    def run_scaled(self, figures, label):
        """Start-up, presses and releases at 200 %."""
        run = self.start_snickit(self.shipped, label, 2)
        try:
            first_frame_figures(run, figures)
            run.click(OK_POINT)
            run.wait_pixels(run.looks['box_whole'], (0, 0, WIDTH, HEIGHT), 'pad screen at 200 %')
            run.presses(figures)
        finally:
            run.stop()

    def run_bare(self, figures, label):
        run = Run(self, [self.bare, str(PLACE[0]), str(PLACE[1]), self.box, self.box2, self.wav],
                  self.work, label, self.box_whole)
        try:
            first_frame_figures(run, figures)
            run.park_pointer()
            time.sleep(0.3)
            idle = run.idle()
            run.presses(figures)
            for screen in ('about', 'pad', 'menu', 'chooser'):
                figures[f'idle CPU, {screen} screen (ms/s)'].append(idle[0])
                figures[f'idle wake-ups, {screen} screen (/s)'].append(idle[1])
        finally:
            run.stop()

    def run_startup(self, folder, figures, label):
        run = self.start_snickit(folder, label)
        try:
            figures['start-up (ms)'].append(run.first_frame()[0])
        finally:
            run.stop()


ROWS = [
    'exec to the first correct frame (ms)',
    'CPU to the first frame, utime+stime (ms)',
    'CPU to the first frame, schedstat (ms)',
    'VmHWM after 100 presses (KB)',
    'shared libraries mapped',
    'release to pixels, shipped sounds (ms)',
    'press to pixels (ms)',
    'release to the first sound sample (ms)',
] + [f'idle {what}, {screen} screen ({unit})' for screen in ('about', 'pad', 'menu', 'chooser')
     for what, unit in (('CPU', 'ms/s'), ('wake-ups', '/s'))]


# The goal for each row: the ratio of medians at most a limit, the libraries
# at most a few more than the bare program maps, and no idle CPU or wake-up.
GOALS = {
    'exec to the first correct frame (ms)': ('ratio', 1.10),
    'CPU to the first frame, schedstat (ms)': ('ratio', 1.05),
    'VmHWM after 100 presses (KB)': ('ratio', 1.20),
    'shared libraries mapped': ('more', 2),
    'release to pixels, shipped sounds (ms)': ('ratio', 1.20),
    'press to pixels (ms)': ('ratio', 1.00),
    'release to the first sound sample (ms)': ('ratio', 0.50),
    'start-up, 10,000 skin folders over 1 (ms)': ('ratio', 1.20),
}
# Snickit at 200 % against Snickit at 100 %: (row, the figure compared).
SCALED_ROWS = [('start-up at 200 % over 100 % (ms)', 'exec to the first correct frame (ms)'),
               ('press to pixels at 200 % over 100 % (ms)', 'press to pixels (ms)'),
               ('release to pixels at 200 % over 100 % (ms)', 'release to pixels, shipped sounds (ms)')]
GOALS.update((row, ('ratio', 1.20)) for row, _ in SCALED_ROWS)
SLOWEST_START = 1.5         # no start-up slower than this times the bare program's slowest


def goal(row, mine, theirs):
    """The goal's text and whether it holds, for the medians (or lists) given."""
    kind, limit = GOALS.get(row, ('zero', 0) if row.startswith('idle') else (None, None))
    if kind is None:
        return '', True
    if not mine or not theirs:
        return 'not measured', False
    a, b = statistics.median(mine), statistics.median(theirs)
    if kind == 'zero':
        text, held = '0', a == 0
    elif kind == 'more':
        text, held = f'at most +{limit}', a - b <= limit
    else:
        text, held = f'at most {limit:.2f}', b > 0 and a / b <= limit
        if row.startswith('exec'):
            text += f', slowest at most {SLOWEST_START} x'
            held = held and max(mine) <= SLOWEST_START * max(theirs)
    return f'{text}: {"met" if held else "NOT MET"}', held


def spread(values):
    if not values:
        return 'none', None
    med = statistics.median(values)

    def fmt(v):
        if float(v).is_integer() and all(isinstance(x, int) for x in values):
            return str(int(v))
        return f'{v:.0f}' if abs(v) >= 100 else f'{v:.2f}' if abs(v) < 10 else f'{v:.1f}'
    return f'{fmt(min(values))} / {fmt(med)} / {fmt(max(values))}', med


def ratio(a, b):
    if a is None or b is None:
        return 'n/a'
    if b == 0:
        return '1.00' if a == 0 else 'inf'
    return f'{a / b:.2f}'


def table(snickit, bare, many, one, scaled, runs, load):
    lines = [f'{"metric":<48} | {"Snickit min / median / max":<28} | {"bare min / median / max":<28} | ratio | goal',
             '-' * 48 + '-|-' + '-' * 28 + '-|-' + '-' * 28 + '-|-------|-----']
    rows = [(row, snickit.get(row, []), bare.get(row, [])) for row in ROWS]
    rows.append(('start-up, 10,000 skin folders over 1 (ms)', many.get('start-up (ms)', []),
                 one.get('start-up (ms)', [])))
    rows += [(row, scaled.get(figure, []), snickit.get(figure, [])) for row, figure in SCALED_ROWS]
    every = True
    for row, mine, theirs in rows:
        (s_text, s_med), (b_text, b_med) = spread(mine), spread(theirs)
        g_text, held = goal(row, mine, theirs)
        every = every and held
        lines.append(f'{row:<48} | {s_text:<28} | {b_text:<28} | {ratio(s_med, b_med):<5} | {g_text}')
    lines.append(f'({runs} runs of each; the last four rows are Snickit against itself: with {FOLDERS} skin '
                 f'folders against one, then at 200 % against 100 %; '
                 f'the bare program has one screen, shown on every idle row; '
                 f'load average {load[0]:.1f} at the start, {os.getloadavg()[0]:.1f} at the end)')
    lines.append('every goal met' if every else 'some goals NOT MET')
    return '\n'.join(lines)


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip())
        return 2
    runs = int(argv[3]) if len(argv) > 3 else 25
    snickit, bare, many, one, scaled = (defaultdict(list) for _ in range(5))
    bench = Bench(argv[1], argv[2])
    started = time.monotonic()
    load = os.getloadavg()
    failures = 0
    try:
        for i in range(runs):
            # Interleaved, and the order turned around every other round.
            steps = [lambda: bench.run_snickit(snickit, f'snickit{i}'),
                     lambda: bench.run_bare(bare, f'bare{i}'),
                     lambda: bench.run_startup(bench.many, many, f'many{i}'),
                     lambda: bench.run_startup(bench.one, one, f'one{i}'),
                     lambda: bench.run_scaled(scaled, f'scaled{i}')]
            if i % 2:
                steps.reverse()
            for step in steps:
                try:
                    step()
                except BenchError as e:
                    failures += 1
                    print(f'round {i + 1}: {e}', file=sys.stderr, flush=True)
            print(f'round {i + 1}/{runs} done ({time.monotonic() - started:.0f} s)', file=sys.stderr, flush=True)
    finally:
        bench.close()
    print(table(snickit, bare, many, one, scaled, runs, load))
    if failures:
        print(f'{failures} runs failed (see above); their figures are left out')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
