"""Pictures and sounds for the end-to-end tests: test skins whose every
pixel is known, WAV files of distinct tones, and the analysis of what SDL's
disk audio driver captured."""

import math
import re
import struct
import subprocess
import wave

from xdesk import parse_ppm

WIDTH, HEIGHT = 240, 95

# The device format the program opens: 16-bit stereo at 48 kHz.
RATE = 48000
FRAME_BYTES = 4


# --- pictures ---------------------------------------------------------------

def skin_pictures(tone):
    """The three pictures of a test skin. Every pixel differs from its
    neighbours and between the three pictures, so that a rectangle copied
    one pixel off, or from the wrong picture, shows. `tone` (the blue
    channel) tells skins apart."""
    box = [[(x, 2 * y, tone) for x in range(WIDTH)] for y in range(HEIGHT)]
    box2 = [[(255 - x, 2 * y, tone) for x in range(WIDTH)] for y in range(HEIGHT)]
    menu = [[(x, 255 - 2 * y, tone) for x in range(WIDTH)] for y in range(HEIGHT)]
    return {'box.bmp': box, 'box2.bmp': box2, 'menu.bmp': menu}


def write_bmp(path, pixels):
    """A 24-bit uncompressed BMP (rows bottom-up, padded to 4 bytes)."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        body += line + bytes(stride - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(body), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + body)


def read_bmp(path):
    """Decodes any BMP through ImageMagick into rows of (r, g, b)."""
    data = subprocess.run(['/usr/bin/convert', path, '-depth', '8', 'ppm:-'], capture_output=True,
                          check=True).stdout
    match = re.match(rb'P6\s+(\d+)\s+(\d+)\s+', data)
    return parse_ppm(data, int(match.group(1)), int(match.group(2)))


def paste(base, top, rect):
    """`base` with the rectangle (left, top, width, height) of `top` over it."""
    left, upper, width, height = rect
    out = [list(row) for row in base]
    for y in range(max(0, upper), min(HEIGHT, upper + height)):
        for x in range(max(0, left), min(WIDTH, left + width)):
            out[y][x] = top[y][x]
    return out


def differences(actual, expected, skip=None):
    """Pixels that differ, as (x, y, actual, expected), outside `skip`."""
    found = []
    for y, (row_a, row_e) in enumerate(zip(actual, expected)):
        for x, (a, e) in enumerate(zip(row_a, row_e)):
            if a != e and not (skip and skip[0] <= x < skip[0] + skip[2] and skip[1] <= y < skip[1] + skip[3]):
                found.append((x, y, a, e))
    return found


# --- sounds -----------------------------------------------------------------

def tone_samples(frequency, seconds, rate=RATE, channels=2, amplitude=0.5):
    """16-bit samples of a sine tone that starts at a non-zero value (so that
    its first sample is not silence), interleaved for `channels`."""
    count = int(seconds * rate)
    frames = []
    for i in range(count):
        value = int(amplitude * 32767 * math.sin(2 * math.pi * frequency * i / rate + math.pi / 4))
        frames.append(struct.pack('<h', value) * channels)
    return b''.join(frames)


def write_wav(path, frequency, seconds, rate=RATE, channels=2):
    """A 16-bit PCM WAV; returns its sample bytes."""
    data = tone_samples(frequency, seconds, rate, channels)
    with wave.open(path, 'wb') as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(data)
    return data


def convert_wav(source, target, *sox_options):
    """Re-encodes a WAV with sox (for example `-e ima-adpcm`)."""
    subprocess.run(['sox', source] + list(sox_options) + [target], check=True, capture_output=True)


def read_capture(path):
    try:
        with open(path, 'rb') as f:
            return f.read()
    except FileNotFoundError:
        return b''


def non_silent_runs(raw, gap_frames=480):
    """Spans (first byte, end byte) of sound in a capture, split where at
    least `gap_frames` frames of silence lie between."""
    frames = len(raw) // FRAME_BYTES
    runs = []
    start = None
    last_sound = None
    zero = bytes(FRAME_BYTES)
    for i in range(frames):
        if raw[i * FRAME_BYTES:(i + 1) * FRAME_BYTES] != zero:
            if start is None:
                start = i
            elif i - last_sound > gap_frames:
                runs.append((start * FRAME_BYTES, (last_sound + 1) * FRAME_BYTES))
                start = i
            last_sound = i
    if start is not None:
        runs.append((start * FRAME_BYTES, (last_sound + 1) * FRAME_BYTES))
    return runs


def left_channel(raw):
    count = len(raw) // FRAME_BYTES
    return struct.unpack(f'<{count * 2}h', raw[:count * FRAME_BYTES])[0::2]


def dominant_frequency(raw, rate=RATE):
    """The frequency of a tone from its rising crossings of zero, counted
    with hysteresis (from below -10 % to above +10 % of the peak) so that
    the noise of lossy encodings adds no crossings; each crossing is placed
    by interpolation between samples."""
    samples = left_channel(raw)
    if not samples:
        return 0.0
    threshold = max(abs(v) for v in samples) // 10
    crossings = []
    armed = False
    for i in range(1, len(samples)):
        a, b = samples[i - 1], samples[i]
        if b < -threshold:
            armed = True
        elif armed and a < 0 <= b:
            crossings.append(i - 1 + (-a) / (b - a))
            armed = False
    if len(crossings) < 3:
        return 0.0
    return (len(crossings) - 1) * rate / (crossings[-1] - crossings[0])
