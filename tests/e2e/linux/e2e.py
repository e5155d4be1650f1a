#!/usr/bin/env python3
"""End-to-end tests of Snickit's Linux program in a real X server.

Usage: e2e.py <program folder> [case name ...]

Every case runs the built program from its own copy of the program folder,
with test skins whose pixels and sounds are known, on Xvfb (with openbox,
and without a window manager for one case). Pointer input goes through
xdotool, key input through XTEST, the window's pixels are read back with
ImageMagick, and the sound with SDL's disk audio driver. Prints one line per
case, then "N passed, N failed"; exits non-zero when a case failed.
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import traceback
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import media  # noqa: E402
from media import HEIGHT, WIDTH  # noqa: E402
from xdesk import Display  # noqa: E402

REPO = os.path.normpath(os.path.join(HERE, '..', '..', '..'))

# Hot spots (left, top, width, height) and points inside them.
BUTTONS = [(3, 19, 60, 71), (62, 19, 58, 71), (119, 19, 58, 71), (176, 19, 60, 71)]
BUTTON_POINTS = [(33, 60), (91, 60), (148, 60), (206, 60)]
OK_POINT = (62, 71)
NET_POINT = (183, 73)
MIN_POINT = (213, 9)
CLOSE_POINT = (229, 10)
MENU_POINT = (14, 11)
SKINS_POINT = (66, 30)
ABOUT_POINT = (67, 47)
QUIT_ITEM_POINT = (66, 66)
BACKGROUND_POINT = (150, 8)  # no hot spot on any screen
HIDDEN_BUTTON_POINT = (100, 40)  # sound button 2, not under OK or the web link
LIST_RECT = (6, 21, 227, 67)
LIST_ROW_TOP = 23  # list top + border
LIST_ROW_HEIGHT = 13
KEYPAD = ['KP_1', 'KP_2', 'KP_3', 'KP_4']

NAVY = (0, 0, 128)
LIST_GREY = (192, 192, 192)


class CaseFailed(Exception):
    pass


def check(condition, message):
    if not condition:
        raise CaseFailed(message)


def wait_until(predicate, timeout=5.0, step=0.05):
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(step)


def tone_for(skin_tone, index):
    """The frequency of a test skin's sound `index` (0 to 3): distinct for
    every skin and button."""
    return 300 + 2 * skin_tone + 70 * index


class TestSkin:
    def __init__(self, name, tone):
        self.name, self.tone = name, tone
        self.pictures = media.skin_pictures(tone)
        self.box, self.box2, self.menu = (self.pictures[n] for n in ('box.bmp', 'box2.bmp', 'menu.bmp'))
        self.sounds = {}

    def write(self, skins_folder, seconds=(0.25, 0.25, 0.25, 0.25)):
        folder = os.path.join(skins_folder, self.name)
        os.makedirs(folder, exist_ok=True)
        for file, pixels in self.pictures.items():
            media.write_bmp(os.path.join(folder, file), pixels)
        for index in range(4):
            path = os.path.join(folder, f'{index + 1}.wav')
            self.sounds[index] = media.write_wav(path, tone_for(self.tone, index), seconds[index])
        return folder


def config_bytes(left, top, skin):
    def number(value):
        text = str(int(value)) if float(value).is_integer() else repr(value)
        return (text if text.startswith('-') else ' ' + text) + ' '
    return f'{number(left)}\r\n{number(top)}\r\n{skin}\r\n'.encode()


class Program:
    """One run of the program, from its own copy of the program folder."""

    def __init__(self, suite, desk, name, skins=(), config=None, shipped=False, extra_env=None):
        self.suite, self.desk = suite, desk
        self.root = tempfile.mkdtemp(prefix=f'{name}-', dir=suite.work)
        self.folder = os.path.join(self.root, 'snickit')
        shutil.copytree(suite.program_folder, self.folder)
        self.skins = {}
        if not shipped:
            shutil.rmtree(os.path.join(self.folder, 'skins'))
            os.makedirs(os.path.join(self.folder, 'skins'))
            for skin in skins:
                skin.write(os.path.join(self.folder, 'skins'))
                self.skins[skin.name] = skin
        if config is not None:
            self.write_config(config)
        self.capture = os.path.join(self.root, 'capture.raw')
        self.trace = os.path.join(self.root, 'trace.log')
        self.stderr_path = os.path.join(self.root, 'stderr.log')
        self.extra_env = extra_env or {}
        self.proc = None
        self.window = None
        self.origin = (0, 0)

    @property
    def config_path(self):
        return os.path.join(self.folder, 'config.sn')

    def write_config(self, content):
        with open(self.config_path, 'wb') as f:
            f.write(content)

    def read_config(self):
        with open(self.config_path, 'rb') as f:
            return f.read()

    def start(self, expect_window=True):
        env = dict(self.desk.env, SDL_AUDIODRIVER='disk', SDL_DISKAUDIOFILE=self.capture,
                   SNICKIT_NO_MESSAGEBOX='1', SNICKIT_AUDIO_TRACE=self.trace)
        env.update(self.extra_env)
        # Started from another folder: the program finds its files beside
        # its executable, not in the current folder.
        with open(self.stderr_path, 'wb') as err:
            self.proc = subprocess.Popen([os.path.join(self.folder, 'snickit')], cwd=self.root, env=env,
                                         stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=err)
        self.suite.running.append(self)
        if expect_window:
            self.window = self.desk.find_window(self.proc.pid)
            check(self.window, f'no window appeared; stderr: {self.stderr()!r}')
            self.refresh_origin()
        return self

    def refresh_origin(self):
        x, y, w, h = self.desk.geometry(self.window)
        self.origin = (x, y)
        return x, y, w, h

    def stderr(self):
        try:
            with open(self.stderr_path, 'rb') as f:
                return f.read().decode(errors='replace')
        except FileNotFoundError:
            return ''

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_exit(self, timeout=5):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def stop(self):
        if self.running():
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()

    # --- input, in window coordinates -----------------------------------
    def at(self, point):
        return self.origin[0] + point[0], self.origin[1] + point[1]

    def click(self, point, button=1, repeat=1):
        self.desk.click(*self.at(point), button=button, repeat=repeat)

    def press(self, point, button=1):
        self.desk.move_pointer(*self.at(point))
        self.desk.press(button)

    def release(self, button=1):
        self.desk.release(button)

    def park_pointer(self):
        """Moves the pointer off the window."""
        self.desk.move_pointer(self.desk.width - 5, self.desk.height - 5)

    def focus(self):
        self.desk.xdotool('windowactivate', '--sync', self.window, check=False)

    # --- what the user sees and hears -----------------------------------
    def screen(self):
        return self.desk.grab(self.origin[0], self.origin[1], WIDTH, HEIGHT)

    def wait_screen(self, expected, what, skip=None, timeout=5):
        found = []

        def matches():
            nonlocal found
            found = media.differences(self.screen(), expected, skip)
            return not found
        if not wait_until(matches, timeout, 0.1):
            first = found[0]
            raise CaseFailed(f'{what}: {len(found)} pixels differ, first at {first[0]},{first[1]}: '
                             f'{first[2]} instead of {first[3]}')

    def screen_stays(self, expected, what, skip=None, seconds=0.4):
        time.sleep(seconds)
        found = media.differences(self.screen(), expected, skip)
        if found:
            first = found[0]
            raise CaseFailed(f'{what}: {len(found)} pixels changed, first at {first[0]},{first[1]}')

    def captured(self):
        return media.read_capture(self.capture)

    def wait_sound(self, data, what, after=0, timeout=6):
        """Waits until the capture holds `data` whole, at or after byte `after`."""
        found = wait_until(lambda: self.captured().find(data, after) >= 0, timeout, 0.1)
        check(found, f'{what}: the captured sound does not hold the file\'s samples')
        return self.captured().find(data, after)

    def trace_events(self, name=None):
        try:
            with open(self.trace) as f:
                events = [line.split() for line in f if line.strip()]
        except FileNotFoundError:
            return []
        return [(e[0], int(e[1])) for e in events if name is None or e[0] == name]

    def plays(self):
        return len(self.trace_events('play'))


class Suite:
    def __init__(self, program_folder):
        self.program_folder = os.path.abspath(program_folder)
        self.work = tempfile.mkdtemp(prefix='snickit-e2e-')
        self.running = []
        self.desk = None
        self.bare_desk = None
        self.figures = []
        self.about = media.read_bmp(os.path.join(REPO, 'resources', 'about.bmp'))

    def close(self):
        for program in self.running:
            program.stop()
        for desk in (self.desk, self.bare_desk):
            if desk:
                desk.close()
        shutil.rmtree(self.work, ignore_errors=True)

    def program(self, name, skins=(), config=None, desk=None, **kwargs):
        return Program(self, desk or self.desk, name, skins, config, **kwargs)

    def started_pad(self, name, skins, config=None, desk=None, **kwargs):
        """A program past its start-up screen, on the pad screen."""
        skins = list(skins)
        if config is None:
            config = config_bytes(1500, 1200, skins[0].name + '\\')
        program = self.program(name, skins, config, desk=desk, **kwargs).start()
        program.wait_screen(self.about, 'start-up screen')
        program.click(OK_POINT)
        program.park_pointer()
        return program


# --- the cases -----------------------------------------------------------------

def case_startup_shipped(suite):
    """The program folder as built: window at config.sn's place, 240 x 95,
    borderless, the about picture, then the stored skin after OK."""
    program = suite.program('startup', shipped=True)
    config = program.read_config()
    lines = config.split(b'\r\n')
    left, top, skin = float(lines[0]), float(lines[1]), lines[2].decode().rstrip('\\')
    program.start()
    x, y, w, h = program.refresh_origin()
    check((x, y) == (int(left / 15), int(top / 15)), f'window at {x},{y}, config.sn says {left},{top} twips')
    check((w, h) == (WIDTH, HEIGHT), f'window is {w}x{h}')
    program.wait_screen(suite.about, 'about picture at start-up')
    name = suite.desk.window_property(program.window, '_NET_WM_NAME')
    check('"Snickit"' in name, f'caption: {name.strip()}')
    icon = suite.desk.window_property(program.window, '_NET_WM_ICON')
    check('(32 x 32)' in icon, 'no 32 x 32 window icon')
    program.click(OK_POINT)
    program.park_pointer()
    box = media.read_bmp(os.path.join(program.folder, 'skins', skin, 'box.bmp'))
    program.wait_screen(box, f'{skin} normal picture after OK')


def case_sound_buttons_mouse(suite):
    """Each button by a different mouse button: the press shows its
    rectangle of box2.bmp, the release restores box.bmp and plays the
    button's WAV, captured sample for sample."""
    alpha = TestSkin('Alpha', 40)
    program = suite.started_pad('buttons', [alpha])
    program.wait_screen(alpha.box, 'pad screen')
    for index, button in enumerate([1, 3, 2, 1]):
        program.press(BUTTON_POINTS[index], button)
        program.wait_screen(media.paste(alpha.box, alpha.box2, BUTTONS[index]),
                            f'button {index + 1} pressed (mouse button {button})')
        mark = len(program.captured())
        program.release(button)
        program.wait_screen(alpha.box, f'button {index + 1} released')
        program.wait_sound(alpha.sounds[index], f'{index + 1}.wav after button {index + 1}', mark)
    # The release outside the window still goes to the pressed button.
    mark = len(program.captured())
    program.press(BUTTON_POINTS[1])
    program.wait_screen(media.paste(alpha.box, alpha.box2, BUTTONS[1]), 'button 2 pressed')
    program.park_pointer()
    program.release(1)
    program.wait_screen(alpha.box, 'button 2 released outside the window')
    program.wait_sound(alpha.sounds[1], '2.wav after a release outside the window', mark)


def case_sound_cut_off(suite):
    """A second release cuts the first sound off: the capture holds the
    start of 1.wav, then 2.wav whole, right after it."""
    alpha = TestSkin('Alpha', 40)
    program = suite.program('cutoff', [alpha], config_bytes(1500, 1200, 'Alpha\\'))
    alpha.write(os.path.join(program.folder, 'skins'), seconds=(2.0, 0.3, 0.25, 0.25))
    program.start()
    program.click(OK_POINT)
    program.park_pointer()
    program.wait_screen(alpha.box, 'pad screen')
    program.click(BUTTON_POINTS[0])
    first = alpha.sounds[0]
    check(wait_until(lambda: program.captured().find(first[:8192]) >= 0, 5), '1.wav did not start')
    time.sleep(0.3)
    program.click(BUTTON_POINTS[1])
    second = alpha.sounds[1]
    start2 = program.wait_sound(second, '2.wav after the second release')
    raw = program.captured()
    start1 = raw.find(first[:8192])
    played = start2 - start1
    check(0 < played < len(first), f'1.wav was not cut off ({played} of {len(first)} bytes before 2.wav)')
    check(raw[start1:start2] == first[:played], 'what played before 2.wav is not the start of 1.wav')
    seconds = played / (media.RATE * media.FRAME_BYTES)
    check(0.25 < seconds < 1.5, f'1.wav played {seconds:.2f} s before the cut')


def keypad_round(program, skin, under, screen_name):
    """Keypad 1 to 4 down and up, over the picture `under`."""
    for index, key in enumerate(KEYPAD):
        program.desk.x.key(key, True)
        program.wait_screen(media.paste(under, skin.box2, BUTTONS[index]),
                            f'keypad {index + 1} down on the {screen_name}')
        mark = len(program.captured())
        program.desk.x.key(key, False)
        program.wait_screen(media.paste(under, skin.box, BUTTONS[index]),
                            f'keypad {index + 1} up on the {screen_name}')
        program.wait_sound(skin.sounds[index], f'{index + 1}.wav after keypad {index + 1}', mark)
        if screen_name == 'pad screen':
            under = skin.box
        else:
            under = media.paste(under, skin.box, BUTTONS[index])
    return under


def case_keypad(suite):
    """Keypad 1 to 4 with NumLock on press and play like the buttons, on the
    pad and the menu screen; the digit row and NumLock off do nothing."""
    alpha = TestSkin('Alpha', 40)
    program = suite.started_pad('keypad', [alpha])
    program.wait_screen(alpha.box, 'pad screen')
    program.focus()
    suite.desk.x.set_num_lock(True)
    keypad_round(program, alpha, alpha.box, 'pad screen')

    # Held down, the key repeats: the pressed look stays, nothing plays
    # until the key comes up, and then the sound plays once.
    plays = program.plays()
    suite.desk.x.key('KP_2', True)
    program.wait_screen(media.paste(alpha.box, alpha.box2, BUTTONS[1]), 'keypad 2 held')
    time.sleep(1.0)
    check(program.plays() == plays, 'a held key played')
    program.screen_stays(media.paste(alpha.box, alpha.box2, BUTTONS[1]), 'keypad 2 held', seconds=0)
    suite.desk.x.key('KP_2', False)
    program.wait_screen(alpha.box, 'keypad 2 released after a long hold')
    time.sleep(0.3)
    check(program.plays() == plays + 1, f'{program.plays() - plays} sounds after one long key press')

    plays = program.plays()
    for key in ['1', '2', '3', '4']:
        suite.desk.x.tap(key)
    program.screen_stays(alpha.box, 'the digit row changed the window')
    check(program.plays() == plays, 'the digit row played a sound')

    suite.desk.x.set_num_lock(False)
    for key in KEYPAD:
        suite.desk.x.tap(key)
    program.screen_stays(alpha.box, 'keypad with NumLock off changed the window')
    check(program.plays() == plays, 'keypad with NumLock off played a sound')

    suite.desk.x.set_num_lock(True)
    program.click(MENU_POINT)
    program.park_pointer()
    program.wait_screen(alpha.menu, 'menu screen')
    keypad_round(program, alpha, alpha.menu, 'menu screen')


def case_menu_and_about(suite):
    """The menu opens and closes; About shows the about picture, and OK goes
    back to the pad screen."""
    alpha = TestSkin('Alpha', 40)
    program = suite.started_pad('menu', [alpha])
    program.wait_screen(alpha.box, 'pad screen')
    program.click(MENU_POINT)
    program.park_pointer()
    program.wait_screen(alpha.menu, 'menu opened')
    program.click(MENU_POINT)
    program.park_pointer()
    program.wait_screen(alpha.box, 'menu closed')
    program.click(MENU_POINT)
    program.click(ABOUT_POINT)
    program.park_pointer()
    program.wait_screen(suite.about, 'about screen from the menu')
    # While the about screen waits, its sound buttons are hidden: a click
    # there plays nothing.
    plays = program.plays()
    program.click(HIDDEN_BUTTON_POINT)
    program.park_pointer()
    program.screen_stays(suite.about, 'a click on a hidden button changed the about screen')
    check(program.plays() == plays, 'a hidden button played')
    program.click(OK_POINT)
    program.park_pointer()
    program.wait_screen(alpha.box, 'pad screen after OK')


def list_row_point(row):
    return (60, LIST_ROW_TOP + row * LIST_ROW_HEIGHT + LIST_ROW_HEIGHT // 2)


def case_chooser(suite):
    """The chooser previews a selection, applies it on double click, and the
    new skin's pressed and menu pictures are used after; the skin is saved
    at quit."""
    alpha, beta = TestSkin('Alpha', 40), TestSkin('Beta', 160)
    program = suite.started_pad('chooser', [alpha, beta])
    program.wait_screen(alpha.box, 'pad screen')
    program.click(MENU_POINT)
    program.click(SKINS_POINT)
    program.park_pointer()
    program.wait_screen(alpha.box, 'chooser around the list', skip=LIST_RECT)
    shot = program.screen()
    # The stored skin's entry is selected (highlighted); the next is grey
    # with dark text on it.
    check(shot[29][150] == NAVY, f'selected entry is {shot[29][150]}, not highlighted')
    check(shot[42][150] == LIST_GREY, f'list background is {shot[42][150]}')
    dark = [p for row in shot[37:48] for p in row[9:40] if sum(p) < 200]
    check(len(dark) > 15, 'no text on the second entry')

    program.click(list_row_point(1))
    program.park_pointer()
    program.wait_screen(beta.box, 'preview of Beta', skip=LIST_RECT)
    program.click(list_row_point(0))
    program.park_pointer()
    program.wait_screen(alpha.box, 'preview of Alpha again', skip=LIST_RECT)
    program.click(list_row_point(1), repeat=2)
    program.park_pointer()
    program.wait_screen(beta.box, 'Beta applied: pad screen without the list')

    program.press(BUTTON_POINTS[0])
    program.wait_screen(media.paste(beta.box, beta.box2, BUTTONS[0]), 'Beta pressed picture')
    mark = len(program.captured())
    program.release(1)
    program.wait_sound(beta.sounds[0], "Beta's 1.wav", mark)
    program.park_pointer()
    program.click(MENU_POINT)
    program.park_pointer()
    program.wait_screen(beta.menu, 'Beta menu picture')
    program.click(QUIT_ITEM_POINT)
    check(program.wait_exit() == 0, f'quit item: exit status {program.proc.returncode}')
    expected = config_bytes(1500, 1200, 'Beta\\')
    check(program.read_config() == expected, f'config.sn is {program.read_config()!r}, not {expected!r}')


def case_chooser_keys_and_wheel(suite):
    """Once clicked, the list moves its selection with the navigation keys
    (each move previews); the wheel scrolls it; a scroll bar shows when the
    entries do not fit."""
    skins = [TestSkin(f'Skin{i}', 20 + 25 * i) for i in range(9)]
    program = suite.started_pad('listkeys', skins)
    program.click(MENU_POINT)
    program.click(SKINS_POINT)
    program.park_pointer()
    program.wait_screen(skins[0].box, 'chooser', skip=LIST_RECT)
    shot = program.screen()
    # Nine entries do not fit: a scroll bar at the list's right edge, its
    # arrows drawn in black on the buttons' faces.
    up_arrow = [p for row in shot[23:39] for p in row[215:231] if p == (0, 0, 0)]
    down_arrow = [p for row in shot[70:86] for p in row[215:231] if p == (0, 0, 0)]
    check(len(up_arrow) >= 4 and len(down_arrow) >= 4, 'no scroll bar arrows drawn')

    program.click(list_row_point(0))
    program.park_pointer()
    program.focus()
    suite.desk.x.tap('Down')
    program.wait_screen(skins[1].box, 'Down previews the next skin', skip=LIST_RECT)
    suite.desk.x.tap('End')
    program.wait_screen(skins[8].box, 'End previews the last skin', skip=LIST_RECT)
    suite.desk.x.tap('Up')
    program.wait_screen(skins[7].box, 'Up previews the one before', skip=LIST_RECT)
    suite.desk.x.tap('Home')
    program.wait_screen(skins[0].box, 'Home previews the first skin', skip=LIST_RECT)
    suite.desk.x.tap('Next')
    program.wait_screen(skins[3].box, 'Page Down moves a page', skip=LIST_RECT)
    suite.desk.x.tap('Home')
    program.wait_screen(skins[0].box, 'Home again', skip=LIST_RECT)

    # One wheel notch down scrolls three entries: the top row is then the
    # fourth skin.
    program.desk.move_pointer(*program.at(list_row_point(1)))
    program.desk.xdotool('click', 5)
    time.sleep(0.2)
    program.click(list_row_point(0))
    program.park_pointer()
    program.wait_screen(skins[3].box, 'the wheel scrolled three entries', skip=LIST_RECT)


def drag(program, button, dx, dy):
    start = program.at(BACKGROUND_POINT)
    desk = program.desk
    desk.move_pointer(*start)
    desk.press(button)
    for step in range(1, 6):
        desk.move_pointer(start[0] + dx * step // 5, start[1] + dy * step // 5)
    desk.release(button)


def check_drag(program, button, dx, dy):
    before = program.refresh_origin()[:2]
    drag(program, button, dx, dy)
    target = (before[0] + dx, before[1] + dy)
    moved = wait_until(lambda: program.refresh_origin()[:2] == target, 3)
    check(moved, f'mouse button {button}: window at {program.origin}, expected {target}')


def case_drag_and_quit(suite):
    """A drag on the background with any mouse button moves the window; the
    close hot spot then writes config.sn with the new place and skin."""
    alpha = TestSkin('Alpha', 40)
    program = suite.started_pad('drag', [alpha])
    program.wait_screen(alpha.box, 'pad screen')
    check_drag(program, 1, 60, 40)
    check_drag(program, 3, -30, 25)
    check_drag(program, 2, 45, -15)
    program.park_pointer()
    program.wait_screen(alpha.box, 'pad screen after the moves')
    # A press on a sound button never moves the window.
    before = program.refresh_origin()[:2]
    program.press(BUTTON_POINTS[2])
    program.desk.move_pointer(*program.at((BUTTON_POINTS[2][0] + 40, BUTTON_POINTS[2][1] + 30)))
    program.release(1)
    time.sleep(0.3)
    check(program.refresh_origin()[:2] == before, 'a press on a button moved the window')
    x, y = program.refresh_origin()[:2]
    program.click(CLOSE_POINT)
    check(program.wait_exit() == 0, f'close hot spot: exit status {program.proc.returncode}')
    expected = config_bytes(x * 15, y * 15, 'Alpha\\')
    check(program.read_config() == expected, f'config.sn is {program.read_config()!r}, not {expected!r}')


def case_place_off_screen(suite):
    """A place partly off the screen is taken as it stands, and written
    back as it was read (-150 twips is -10 pixels)."""
    alpha = TestSkin('Alpha', 40)
    config = b'-150 \r\n 1500 \r\nAlpha\\\r\n'
    program = suite.program('offscreen', [alpha], config).start()
    x, y = program.refresh_origin()[:2]
    check((x, y) == (-10, 100), f'window at {x},{y}, not -10,100')
    visible = [row[10:] for row in suite.about]
    check(wait_until(lambda: suite.desk.grab(0, 100, WIDTH - 10, HEIGHT) == visible, 5),
          'the start-up screen is not shown in the part of the window on the screen')
    program.click(CLOSE_POINT)
    check(program.wait_exit() == 0, f'close hot spot: exit status {program.proc.returncode}')
    check(program.read_config() == config, f'config.sn is {program.read_config()!r}, not {config!r}')


def case_drag_without_window_manager(suite):
    """The move works without a window manager too, with any button."""
    alpha = TestSkin('Alpha', 40)
    program = suite.started_pad('bare', [alpha], desk=suite.bare_desk)
    program.wait_screen(alpha.box, 'pad screen (no window manager)')
    check_drag(program, 1, 70, 35)
    check_drag(program, 3, -40, 20)
    program.park_pointer()
    program.wait_screen(alpha.box, 'pad screen after the moves')
    x, y = program.refresh_origin()[:2]
    program.click(MENU_POINT)
    program.click(QUIT_ITEM_POINT)
    check(program.wait_exit() == 0, f'quit item: exit status {program.proc.returncode}')
    expected = config_bytes(x * 15, y * 15, 'Alpha\\')
    check(program.read_config() == expected, f'config.sn is {program.read_config()!r}, not {expected!r}')


def wait_iconic(program, iconic):
    def state():
        return program.desk.window_state(program.window)[0] == ('Iconic' if iconic else 'Normal')
    return wait_until(state, 3)


def case_minimize_restore(suite):
    """Minimizing and restoring keeps the screen: the start-up screen, still
    waiting for OK, and the menu screen."""
    alpha = TestSkin('Alpha', 40)
    program = suite.program('minimize', [alpha], config_bytes(1500, 1200, 'Alpha\\')).start()
    program.wait_screen(suite.about, 'start-up screen')
    program.click(MIN_POINT)
    check(wait_iconic(program, True), 'not minimized from the start-up screen')
    program.desk.xdotool('windowactivate', '--sync', program.window, check=False)
    check(wait_iconic(program, False), 'not restored')
    program.park_pointer()
    program.wait_screen(suite.about, 'start-up screen after restoring')
    program.click(OK_POINT)
    program.park_pointer()
    program.wait_screen(alpha.box, 'OK still ends the start-up wait')
    program.click(MENU_POINT)
    program.park_pointer()
    program.wait_screen(alpha.menu, 'menu screen')
    program.click(MIN_POINT)
    check(wait_iconic(program, True), 'not minimized from the menu screen')
    program.desk.xdotool('windowactivate', '--sync', program.window, check=False)
    check(wait_iconic(program, False), 'not restored')
    program.park_pointer()
    program.wait_screen(alpha.menu, 'menu screen after restoring')
    program.click(MENU_POINT)
    program.park_pointer()
    program.wait_screen(alpha.box, 'the menu still closes')


def case_repaint_from_picture(suite):
    """What a press copied onto the window lasts until the window is next
    painted from its picture: uncovering the window repaints it, and the
    pressed look is gone; the release then paints and plays as usual."""
    alpha = TestSkin('Alpha', 40)
    program = suite.started_pad('repaint', [alpha])
    program.wait_screen(alpha.box, 'pad screen')
    program.click(MENU_POINT)
    program.park_pointer()
    program.wait_screen(alpha.menu, 'menu screen')
    program.focus()
    suite.desk.x.set_num_lock(True)
    suite.desk.x.key('KP_2', True)
    program.wait_screen(media.paste(alpha.menu, alpha.box2, BUTTONS[1]), 'keypad 2 held on the menu')
    x, y = program.origin
    # Half off the screen and back: the system asks for the hidden half to
    # be painted again.
    program.desk.xdotool('windowmove', '--sync', program.window, -150, y, check=False)
    program.desk.xdotool('windowmove', '--sync', program.window, x, y, check=False)
    check(wait_until(lambda: program.refresh_origin()[:2] == (x, y), 3), 'the window did not come back')
    program.wait_screen(alpha.menu, 'menu screen painted again from its picture')
    mark = len(program.captured())
    suite.desk.x.key('KP_2', False)
    program.wait_screen(media.paste(alpha.menu, alpha.box, BUTTONS[1]), 'keypad 2 released')
    program.wait_sound(alpha.sounds[1], '2.wav after keypad 2', mark)


def case_close_from_outside(suite):
    """A close request from the window manager ends the program without
    writing config.sn, also while the start-up screen waits for OK."""
    alpha = TestSkin('Alpha', 40)
    for phase in ('start-up screen', 'pad screen'):
        config = config_bytes(1500, 1200, 'Alpha\\')
        program = suite.program('close', [alpha], config).start()
        program.wait_screen(suite.about, 'start-up screen')
        if phase == 'pad screen':
            program.click(OK_POINT)
            program.park_pointer()
            program.wait_screen(alpha.box, 'pad screen')
            drag(program, 1, 20, 20)  # a new place that must not be saved
        before = os.stat(program.config_path).st_mtime_ns
        suite.desk.x.request_close(program.window)
        status = program.wait_exit()
        check(status is not None, f'{phase}: still running after a close request')
        check(program.read_config() == config and os.stat(program.config_path).st_mtime_ns == before,
              f'{phase}: config.sn was written')


def case_start_failures(suite):
    """A missing config.sn, a missing skins folder and a stored skin without
    box.bmp each end the program with a message naming the file and a
    non-zero status, and leave config.sn untouched."""
    alpha = TestSkin('Alpha', 40)
    cases = [
        ('missing config.sn', lambda p: os.remove(p.config_path), 'config.sn', 'not found'),
        ('missing skins folder', lambda p: shutil.rmtree(os.path.join(p.folder, 'skins')), 'skins',
         'not found'),
        ('skin without box.bmp', lambda p: os.remove(os.path.join(p.folder, 'skins', 'Alpha', 'box.bmp')),
         'box.bmp', 'not found'),
    ]
    for name, damage, named, kind in cases:
        program = suite.program('fail', [alpha], config_bytes(1500, 1200, 'Alpha\\'))
        damage(program)
        before = program.read_config() if os.path.exists(program.config_path) else None
        mtime = os.stat(program.config_path).st_mtime_ns if before is not None else None
        program.start(expect_window=False)
        status = program.wait_exit(10)
        check(status not in (None, 0), f'{name}: exit status {status}')
        message = program.stderr()
        check(named in message and kind in message.lower(),
              f'{name}: message {message.strip()!r} does not name the failure and {named}')
        after = program.read_config() if os.path.exists(program.config_path) else None
        check(after == before, f'{name}: config.sn changed')
        if mtime is not None:
            check(os.stat(program.config_path).st_mtime_ns == mtime, f'{name}: config.sn rewritten')
    # A skin whose box.bmp is no picture: the message says so.
    program = suite.program('fail', [alpha], config_bytes(1500, 1200, 'Alpha\\'))
    with open(os.path.join(program.folder, 'skins', 'Alpha', 'box.bmp'), 'wb') as f:
        f.write(b'not a bitmap at all')
    program.start(expect_window=False)
    status = program.wait_exit(10)
    message = program.stderr()
    check(status not in (None, 0) and 'box.bmp' in message and 'picture' in message.lower(),
          f'unreadable box.bmp: status {status}, message {message.strip()!r}')


def case_fatal_message_box(suite):
    """A fatal failure shows a message box (and prints the same line); the
    window, never shown, stays hidden; dismissing the box ends the program
    with a non-zero status."""
    alpha = TestSkin('Alpha', 40)
    program = suite.program('messagebox', [alpha], config_bytes(1500, 1200, 'Alpha\\'),
                            extra_env={'SNICKIT_NO_MESSAGEBOX': ''})
    os.remove(os.path.join(program.folder, 'skins', 'Alpha', 'box.bmp'))
    program.start(expect_window=False)

    def message_box():
        # SDL names its message box in UTF-8 only, which xdotool's name
        # search does not read; xwininfo does.
        for line in suite.desk.run(['xwininfo', '-root', '-tree']).splitlines():
            fields = line.split()
            if '"Snickit":' in fields and f'{WIDTH}x{HEIGHT}+' not in line:
                window = fields[0]
                if 'IsViewable' in suite.desk.run(['xwininfo', '-id', window]):
                    return window
        return None
    box = wait_until(message_box, 10)
    check(box, f'no message box; stderr {program.stderr()!r}')
    check(not suite.desk.find_window(program.proc.pid, timeout=0.3),
          'the program window was shown before the failure')
    check(program.running(), 'the program ended before the message box was dismissed')
    check('box.bmp' in program.stderr(), f'stderr: {program.stderr()!r}')
    suite.desk.xdotool('windowactivate', '--sync', box, check=False)
    suite.desk.x.tap('Return')
    status = program.wait_exit(5)
    check(status not in (None, 0), f'exit status {status} after the message box')


def case_no_audio_device(suite):
    """Without any audio device the pad works and plays nothing, and
    nothing fails."""
    alpha = TestSkin('Alpha', 40)
    program = suite.started_pad('noaudio', [alpha], extra_env={'SDL_AUDIODRIVER': 'no-such-driver'})
    program.wait_screen(alpha.box, 'pad screen')
    for index in range(4):
        program.press(BUTTON_POINTS[index])
        program.wait_screen(media.paste(alpha.box, alpha.box2, BUTTONS[index]), f'button {index + 1} pressed')
        program.release(1)
        program.wait_screen(alpha.box, f'button {index + 1} released')
    program.park_pointer()
    check(program.running(), 'the program ended')
    program.click(CLOSE_POINT)
    check(program.wait_exit() == 0, f'exit status {program.proc.returncode}')


def case_click_through(suite):
    """The first click on a window that has not got the focus acts like
    any other."""
    alpha = TestSkin('Alpha', 40)
    first = suite.program('first', [alpha], config_bytes(1500, 1200, 'Alpha\\')).start()
    first.wait_screen(suite.about, 'first program')
    second = suite.program('second', [alpha], config_bytes(6000, 6000, 'Alpha\\')).start()
    second.wait_screen(suite.about, 'second program')
    check(wait_until(lambda: suite.desk.xdotool('getactivewindow', check=False).strip() == second.window, 3),
          'the second window did not take the focus')
    first.click(OK_POINT)
    first.park_pointer()
    first.wait_screen(alpha.box, 'one click on OK of the window without the focus')


def case_default_sound(suite):
    """A missing or unreadable WAV plays the built-in default sound."""
    alpha = TestSkin('Alpha', 40)
    program = suite.program('ding', [alpha], config_bytes(1500, 1200, 'Alpha\\'))
    os.remove(os.path.join(program.folder, 'skins', 'Alpha', '2.wav'))
    with open(os.path.join(program.folder, 'skins', 'Alpha', '3.wav'), 'wb') as f:
        f.write(b'RIFF but no sound')
    program.start()
    program.click(OK_POINT)
    program.park_pointer()
    program.wait_screen(alpha.box, 'pad screen')
    with wave.open(os.path.join(REPO, 'resources', 'ding.wav')) as w:
        ding_seconds = w.getnframes() / w.getframerate()
    for index in (1, 2):
        mark = len(program.captured())
        program.click(BUTTON_POINTS[index])
        program.park_pointer()

        def heard():
            runs = media.non_silent_runs(program.captured()[mark:])
            return runs and (runs[-1][1] - runs[-1][0]) / (media.RATE * media.FRAME_BYTES) > ding_seconds * 0.8
        check(wait_until(heard, 5), f'button {index + 1}: no default sound')
        time.sleep(ding_seconds + 0.2)
        runs = media.non_silent_runs(program.captured()[mark:])
        seconds = (runs[-1][1] - runs[-1][0]) / (media.RATE * media.FRAME_BYTES)
        check(abs(seconds - ding_seconds) < 0.05,
              f'button {index + 1}: {seconds:.3f} s of sound, the default sound lasts {ding_seconds:.3f} s')


def case_wav_layouts(suite):
    """Every WAV layout SDL reads plays at the right pitch and speed."""
    alpha = TestSkin('Alpha', 40)
    program = suite.program('layouts', [alpha], config_bytes(1500, 1200, 'Alpha\\'))
    folder = os.path.join(program.folder, 'skins', 'Alpha')
    source = os.path.join(program.root, 'source.wav')
    layouts = [
        ('8-bit mono 11025 Hz', 11025, 1, ['-b', '8', '-e', 'unsigned-integer']),
        ('IMA ADPCM mono 22050 Hz', 22050, 1, ['-e', 'ima-adpcm']),
        ('MS ADPCM stereo 44100 Hz', 44100, 2, ['-e', 'ms-adpcm']),
        ('32-bit float stereo 96000 Hz', 96000, 2, ['-b', '32', '-e', 'floating-point']),
        ('24-bit mono 32000 Hz', 32000, 1, ['-b', '24', '-e', 'signed-integer']),
        ('32-bit integer stereo 8000 Hz', 8000, 2, ['-b', '32', '-e', 'signed-integer']),
    ]
    frequency, seconds = 880.0, 0.6
    program.start()
    program.click(OK_POINT)
    program.park_pointer()
    program.wait_screen(alpha.box, 'pad screen')
    program.focus()
    results = []
    for name, rate, channels, options in layouts:
        media.write_wav(source, frequency, seconds, rate=rate, channels=channels)
        media.convert_wav(source, os.path.join(folder, '1.wav'), *options)
        mark = len(program.captured())
        program.click(BUTTON_POINTS[0])
        program.park_pointer()
        time.sleep(seconds + 0.3)

        def done():
            runs = media.non_silent_runs(program.captured()[mark:])
            return runs and runs[-1][1] - runs[-1][0] > 0.9 * seconds * media.RATE * media.FRAME_BYTES
        check(wait_until(done, 5), f'{name}: no sound')
        raw = program.captured()[mark:]
        start, end = media.non_silent_runs(raw)[-1]
        played = (end - start) / (media.RATE * media.FRAME_BYTES)
        pitch = media.dominant_frequency(raw[start:end])
        results.append(f'{name}: {played:.3f} s at {pitch:.1f} Hz')
        # ADPCM encoders pad the last block: allow a few hundredths.
        check(abs(played - seconds) < 0.03, f'{name}: played {played:.3f} s of a {seconds} s sound')
        check(abs(pitch - frequency) < frequency * 0.01, f'{name}: pitch {pitch:.1f} Hz, not {frequency} Hz')
    return '; '.join(results)


def case_web_link(suite):
    """The web link starts xdg-open with the product's address and does not
    wait; without xdg-open the program goes on."""
    alpha = TestSkin('Alpha', 40)
    bin_folder = tempfile.mkdtemp(prefix='bin-', dir=suite.work)
    opened = os.path.join(bin_folder, 'opened.txt')
    with open(os.path.join(bin_folder, 'xdg-open'), 'w') as f:
        f.write(f'#!/bin/sh\necho "$@" >> {opened}\nsleep 30\n')
    os.chmod(os.path.join(bin_folder, 'xdg-open'), 0o755)
    program = suite.program('web', [alpha], config_bytes(1500, 1200, 'Alpha\\'),
                            extra_env={'PATH': bin_folder + ':/usr/bin:/bin'}).start()
    program.wait_screen(suite.about, 'start-up screen')
    started = time.monotonic()
    program.click(NET_POINT)
    program.click(NET_POINT)
    program.park_pointer()
    check(wait_until(lambda: os.path.exists(opened) and len(open(opened).read().split()) == 2, 5),
          'xdg-open was not started twice')
    check(time.monotonic() - started < 5, 'the program waited for xdg-open')
    addresses = open(opened).read().split()
    check(all(a.startswith(('http://', 'https://')) for a in addresses), f'opened {addresses}')
    program.wait_screen(suite.about, 'about screen stays after the web link')
    program.click(OK_POINT)
    program.park_pointer()
    program.wait_screen(alpha.box, 'OK still works')
    program.stop()

    empty = tempfile.mkdtemp(prefix='nobin-', dir=suite.work)
    program = suite.program('web', [alpha], config_bytes(1500, 1200, 'Alpha\\'),
                            extra_env={'PATH': empty}).start()
    program.wait_screen(suite.about, 'start-up screen')
    program.click(NET_POINT)
    program.park_pointer()
    time.sleep(0.5)
    check(program.running(), 'no xdg-open ended the program')
    program.click(OK_POINT)
    program.park_pointer()
    program.wait_screen(alpha.box, 'OK after a failed web link')
    return addresses[0]


def cpu_ticks(pid):
    with open(f'/proc/{pid}/stat') as f:
        fields = f.read().rsplit(')', 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime


def wakeups(pid):
    total = 0
    for task in os.listdir(f'/proc/{pid}/task'):
        with open(f'/proc/{pid}/task/{task}/status') as f:
            for line in f:
                if line.startswith(('voluntary_ctxt_switches', 'nonvoluntary_ctxt_switches')):
                    total += int(line.split()[1])
    return total


def idle_figures(program, seconds=10.0):
    ticks, switches = cpu_ticks(program.proc.pid), wakeups(program.proc.pid)
    time.sleep(seconds)
    hz = os.sysconf('SC_CLK_TCK')
    used = (cpu_ticks(program.proc.pid) - ticks) / hz
    return used, wakeups(program.proc.pid) - switches


def case_idle_cpu(suite):
    """An idle program uses no CPU: on the start-up screen and on the pad
    screen, over 10 s each (with the pointer off the window)."""
    alpha = TestSkin('Alpha', 40)
    program = suite.program('idle', [alpha], config_bytes(1500, 1200, 'Alpha\\')).start()
    program.wait_screen(suite.about, 'start-up screen')
    program.park_pointer()
    time.sleep(0.5)
    about_cpu, about_wakeups = idle_figures(program)
    program.click(OK_POINT)
    program.park_pointer()
    program.wait_screen(alpha.box, 'pad screen')
    program.click(BUTTON_POINTS[0])  # after a sound, the audio thread goes back to sleep
    program.park_pointer()
    time.sleep(1.0)
    pad_cpu, pad_wakeups = idle_figures(program)
    figure = (f'about screen {about_cpu:.2f} s CPU, {about_wakeups} thread wake-ups in 10 s; '
              f'pad screen {pad_cpu:.2f} s CPU, {pad_wakeups} wake-ups in 10 s')
    suite.figures.append('idle: ' + figure)
    check(about_cpu <= 0.02 and pad_cpu <= 0.02, figure)
    check(about_wakeups < 20 and pad_wakeups < 20, figure)
    return figure


def case_sound_latency(suite):
    """Time from a key's release (the XTEST event reaching the X server) to
    the first non-silent sample handed to SDL by the audio callback."""
    alpha = TestSkin('Alpha', 40)
    program = suite.started_pad('latency', [alpha])
    program.wait_screen(alpha.box, 'pad screen')
    program.focus()
    suite.desk.x.set_num_lock(True)
    to_sample, to_dispatch = [], []
    for round_ in range(20):
        suite.desk.x.key('KP_1', True)
        time.sleep(0.05)
        before = len(program.trace_events('sample'))
        released = suite.desk.x.key('KP_1', False)
        check(wait_until(lambda: len(program.trace_events('sample')) > before, 3), 'no sample traced')
        sample = program.trace_events('sample')[-1][1]
        dispatch = [t for name, t in program.trace_events('release') if t >= released - 10_000_000]
        to_sample.append((sample - released) / 1e6)
        if dispatch:
            to_dispatch.append((dispatch[-1] - released) / 1e6)
        time.sleep(0.35 if round_ % 2 == 0 else 0.02)  # idle device, then one still playing
    figure = (f'release to first sample: median {statistics.median(to_sample):.2f} ms, '
              f'min {min(to_sample):.2f}, max {max(to_sample):.2f} ms over {len(to_sample)} releases '
              f'(release to event dispatch: median {statistics.median(to_dispatch):.2f} ms)')
    suite.figures.append('latency: ' + figure)
    check(statistics.median(to_sample) < 15, figure)
    return figure


CASES = [
    case_startup_shipped,
    case_sound_buttons_mouse,
    case_sound_cut_off,
    case_keypad,
    case_menu_and_about,
    case_chooser,
    case_chooser_keys_and_wheel,
    case_drag_and_quit,
    case_place_off_screen,
    case_drag_without_window_manager,
    case_minimize_restore,
    case_repaint_from_picture,
    case_close_from_outside,
    case_start_failures,
    case_fatal_message_box,
    case_no_audio_device,
    case_click_through,
    case_default_sound,
    case_wav_layouts,
    case_web_link,
    case_idle_cpu,
    case_sound_latency,
]


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip())
        return 2
    program_folder = argv[1]
    if not os.access(os.path.join(program_folder, 'snickit'), os.X_OK):
        print(f'no program at {program_folder}/snickit')
        return 2
    wanted = argv[2:]
    cases = [c for c in CASES if not wanted or any(w in c.__name__ for w in wanted)]
    suite = Suite(program_folder)
    passed = failed = 0
    started = time.monotonic()
    try:
        suite.desk = Display(window_manager=True)
        suite.bare_desk = Display(window_manager=False)
        for case in cases:
            name = case.__name__[len('case_'):]
            t0 = time.monotonic()
            try:
                note = case(suite)
                passed += 1
                print(f'PASS {name} ({time.monotonic() - t0:.1f} s)' + (f': {note}' if note else ''), flush=True)
            except CaseFailed as e:
                failed += 1
                print(f'FAIL {name}: {e}', flush=True)
            except Exception:  # a fault of the harness or the desktop: report it as a failure
                failed += 1
                print(f'FAIL {name}: {traceback.format_exc().strip().splitlines()[-1]}', flush=True)
                traceback.print_exc()
            finally:
                for program in suite.running:
                    program.stop()
                suite.running.clear()
    finally:
        suite.close()
    print(f'{passed} passed, {failed} failed ({time.monotonic() - started:.0f} s)')
    return 0 if failed == 0 else 1


if __name__ == '__main__':
    sys.exit(main(sys.argv))
