#!/usr/bin/env python3
"""Synthesises Snickit's gag sounds and its default "ding".

Pure Python (standard library only), deterministic: every noise source has a
fixed seed and no dither is used, so a rerun writes the same bytes.

    sounds.py SKINS_DIR DING_WAV [NAME...]
        writes SKINS_DIR/<Skin>/1.wav..4.wav and the file DING_WAV;
        with NAMEs (function names below), only those sounds.

All files are 16-bit PCM mono at 44 100 Hz, peak-normalised below -1 dBFS,
with short raised-cosine fades so that they start and end on silence.
"""
import math
import os
import random
import struct
import sys
import wave

RATE = 44100
TWO_PI = 2.0 * math.pi


# ---------------------------------------------------------------- building blocks

def n_samples(seconds):
    return int(round(seconds * RATE))


def silence(seconds):
    return [0.0] * n_samples(seconds)


def mix_into(dest, src, at_seconds=0.0, gain=1.0):
    """Adds src into dest starting at at_seconds, growing dest if needed."""
    start = n_samples(at_seconds)
    end = start + len(src)
    if end > len(dest):
        dest.extend([0.0] * (end - len(dest)))
    for i, v in enumerate(src):
        dest[start + i] += v * gain
    return dest


def phases(freq_fn, count):
    """Running phase (in cycles) of an oscillator whose frequency follows freq_fn(t)."""
    out = [0.0] * count
    ph = 0.0
    for i in range(count):
        out[i] = ph
        ph += freq_fn(i / RATE) / RATE
    return out


def poly_blep(t, dt):
    """Band-limiting correction for a step at phase 0 (t and dt in cycles)."""
    if t < dt:
        t /= dt
        return t + t - t * t - 1.0
    if t > 1.0 - dt:
        t = (t - 1.0) / dt
        return t * t + t + t + 1.0
    return 0.0


def saw(freq_fn, seconds):
    count = n_samples(seconds)
    out = [0.0] * count
    ph = 0.0
    for i in range(count):
        dt = freq_fn(i / RATE) / RATE
        out[i] = (2.0 * ph - 1.0) - poly_blep(ph, dt)
        ph += dt
        ph -= math.floor(ph)
    return out


def square(freq_fn, seconds, duty=0.5):
    count = n_samples(seconds)
    out = [0.0] * count
    ph = 0.0
    for i in range(count):
        dt = freq_fn(i / RATE) / RATE
        v = 1.0 if ph < duty else -1.0
        v += poly_blep(ph, dt)
        v -= poly_blep((ph - duty) % 1.0, dt)
        out[i] = v
        ph += dt
        ph -= math.floor(ph)
    return out


def sine(freq_fn, seconds, harmonics=((1, 1.0),)):
    """Sum of sine partials (multiple, amplitude) over one running phase."""
    count = n_samples(seconds)
    ph = phases(freq_fn, count)
    out = [0.0] * count
    for i in range(count):
        p = TWO_PI * ph[i]
        out[i] = sum(a * math.sin(k * p) for k, a in harmonics)
    return out


def noise(seconds, seed):
    rng = random.Random(seed)
    return [rng.uniform(-1.0, 1.0) for _ in range(n_samples(seconds))]


def svf(signal, cutoff_fn, q=0.7, mode="low"):
    """Chamberlin state-variable filter with a time-varying cutoff (Hz)."""
    low = band = 0.0
    damp = 1.0 / q
    out = [0.0] * len(signal)
    for i, x in enumerate(signal):
        fc = min(cutoff_fn(i / RATE), RATE / 6.0)
        f = 2.0 * math.sin(math.pi * fc / RATE)
        # Two passes per sample keep the filter stable at high cutoffs.
        for _ in range(2):
            high = x - low - damp * band
            band += 0.5 * f * high
            low += 0.5 * f * band
        out[i] = low if mode == "low" else band if mode == "band" else high
    return out


def one_pole_highpass(signal, cutoff):
    a = math.exp(-TWO_PI * cutoff / RATE)
    out = [0.0] * len(signal)
    prev_x = prev_y = 0.0
    for i, x in enumerate(signal):
        prev_y = a * (prev_y + x - prev_x)
        prev_x = x
        out[i] = prev_y
    return out


def envelope(signal, fn):
    return [v * fn(i / RATE) for i, v in enumerate(signal)]


def decay(tau, attack=0.003):
    def fn(t):
        a = min(1.0, t / attack) if attack > 0 else 1.0
        return a * math.exp(-t / tau)
    return fn


def adsr(attack, hold, release, total):
    """Rises over attack, holds, and falls over release to end at total."""
    def fn(t):
        if t < attack:
            return 0.5 - 0.5 * math.cos(math.pi * t / attack)
        if t > total - release:
            r = max(0.0, (total - t) / release)
            return 0.5 - 0.5 * math.cos(math.pi * r)
        return 1.0
    return fn


def glide(f0, f1, seconds, curve="exp"):
    """Frequency moving from f0 to f1 over seconds, then staying at f1."""
    def fn(t):
        x = min(1.0, max(0.0, t / seconds))
        if curve == "smooth":
            x = x * x * (3.0 - 2.0 * x)
        return f0 * (f1 / f0) ** x
    return fn


def finish(signal, rms=0.2, peak_db=-1.5, fade_in=0.004, fade_out=0.025):
    """Fades the ends to silence and scales the sound to the RMS level rms
    (so that the sounds of a skin are about equally loud), but never above a
    peak of peak_db dBFS. rms=None scales to the peak alone."""
    out = list(signal)
    n_in, n_out = n_samples(fade_in), n_samples(fade_out)
    for i in range(min(n_in, len(out))):
        out[i] *= 0.5 - 0.5 * math.cos(math.pi * i / n_in)
    for i in range(min(n_out, len(out))):
        out[len(out) - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / n_out)
    peak = max(abs(v) for v in out) or 1.0
    scale = 10.0 ** (peak_db / 20.0) / peak
    if rms is not None:
        level = math.sqrt(sum(v * v for v in out) / len(out)) or 1.0
        scale = min(scale, rms / level)
    return [v * scale for v in out]


def write_wav(path, signal):
    frames = bytearray()
    for v in signal:
        s = int(round(v * 32767.0))
        frames += struct.pack("<h", max(-32768, min(32767, s)))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


# ---------------------------------------------------------------- Classic skin

def boing():
    """A twangy spring: a buzzy tone whose filter wobbles faster and faster."""
    length = 1.1

    def pitch(t):
        return 92.0 * (1.0 + 0.25 * (1.0 - math.exp(-t / 0.5))) \
            * (1.0 + 0.04 * math.sin(TWO_PI * 6.0 * t))

    body = saw(pitch, length)

    def cutoff(t):
        wobble = 0.5 + 0.5 * math.sin(TWO_PI * (7.0 * t + 6.0 * t * t))
        return 350.0 + 1900.0 * wobble * math.exp(-t / 0.7)

    out = svf(body, cutoff, q=6.0, mode="low")
    return finish(envelope(out, decay(0.38, attack=0.004)))


def rimshot():
    """Ba-dum-tss: a snare, a low tom, then a kick under a splashy cymbal."""
    out = silence(1.7)

    snare_noise = one_pole_highpass(noise(0.25, seed=11), 900.0)
    snare_tone = sine(lambda t: 190.0 - 30.0 * t, 0.25)
    snare = [0.7 * n * math.exp(-i / RATE / 0.055) + 0.5 * s * math.exp(-i / RATE / 0.04)
             for i, (n, s) in enumerate(zip(snare_noise, snare_tone))]
    mix_into(out, snare, 0.0)

    tom = sine(glide(150.0, 95.0, 0.25), 0.45, harmonics=((1, 1.0), (2, 0.15)))
    tom = envelope(tom, decay(0.13, attack=0.002))
    mix_into(out, tom, 0.20, gain=0.9)

    kick = envelope(sine(glide(110.0, 48.0, 0.12), 0.5), decay(0.14, attack=0.002))
    mix_into(out, kick, 0.42, gain=0.9)

    # Cymbal: six detuned square waves (a metallic cluster) plus hiss,
    # high-passed and left to ring.
    metal = [0.0] * n_samples(1.28)
    for f in (205.3, 304.4, 369.6, 522.7, 540.0, 800.0):
        part = square(lambda t, f=f: f * 2.3, 1.28)
        for i, v in enumerate(part):
            metal[i] += v / 6.0
    hiss = noise(1.28, seed=12)
    cymbal = [0.55 * m + 0.6 * h for m, h in zip(metal, hiss)]
    cymbal = one_pole_highpass(one_pole_highpass(cymbal, 4200.0), 4200.0)
    cymbal = envelope(cymbal, decay(0.32, attack=0.001))
    mix_into(out, cymbal, 0.42, gain=1.1)
    return finish(out)


def sad_trombone():
    """Wah, wah, wah, waaah: four falling brassy notes, the last one wobbling."""
    notes = [(0.0, 0.40, 246.94), (0.40, 0.40, 233.08), (0.80, 0.40, 220.0), (1.20, 0.76, 207.65)]
    out = silence(1.96)
    for index, (start, length, f) in enumerate(notes):
        last = index == len(notes) - 1

        def pitch(t, f=f, last=last):
            bend = 1.0 - 0.03 * math.exp(-t / 0.05)      # slides up into the note
            vib = 1.0 + (0.022 * min(1.0, t / 0.25) * math.sin(TWO_PI * 5.5 * t) if last else 0.0)
            return f * bend * vib

        tone = saw(pitch, length)

        def wah(t, length=length):
            # The mute opens and closes once per note.
            x = min(1.0, t / (0.45 * length))
            return 300.0 + 1500.0 * math.sin(math.pi * x) ** 1.5 if x < 1.0 else 300.0 + 250.0 * math.exp(-(t - 0.45 * length) / 0.2)

        tone = svf(tone, wah, q=2.0, mode="low")
        tone = envelope(tone, adsr(0.03, 0.0, 0.08 if not last else 0.3, length))
        mix_into(out, tone, start)
    return finish(out)


def bicycle_horn():
    """Honk honk: two squeezes of a rubber-bulb horn."""
    out = silence(0.66)
    for start, length in ((0.0, 0.24), (0.31, 0.33)):
        reed_a = square(glide(330.0, 395.0, 0.05), length, duty=0.35)
        reed_b = square(glide(334.0, 401.0, 0.05), length, duty=0.4)
        reed = [0.5 * (a + b) for a, b in zip(reed_a, reed_b)]
        reed = svf(reed, lambda t: 1500.0, q=3.0, mode="band")
        reed = envelope(reed, adsr(0.015, 0.0, 0.05, length))
        mix_into(out, reed, start)
    return finish(out)


# ---------------------------------------------------------------- Candy skin

def cork_pop():
    """Pop! A cork leaves the bottle, then the drink fizzes."""
    out = silence(0.8)
    pop = sine(glide(1100.0, 380.0, 0.035), 0.12, harmonics=((1, 1.0), (2, 0.2)))
    pop = envelope(pop, decay(0.028, attack=0.0015))
    mix_into(out, pop, 0.005, gain=0.7)
    burst = svf(noise(0.05, seed=21), lambda t: 2500.0, q=1.0, mode="band")
    mix_into(out, envelope(burst, decay(0.008, attack=0.0005)), 0.005, gain=0.9)
    bottle = envelope(sine(lambda t: 520.0, 0.25), decay(0.06, attack=0.003))
    mix_into(out, bottle, 0.012, gain=0.35)
    # Fizz: sparse tiny bubbles that thin out.
    rng = random.Random(22)
    fizz = [0.0] * n_samples(0.7)
    for i in range(len(fizz)):
        t = i / RATE
        if rng.random() < 0.02 * math.exp(-t / 0.22):
            fizz[i] = rng.uniform(0.3, 1.0) * rng.choice((-1.0, 1.0))
    fizz = svf(fizz, lambda t: 6000.0, q=4.0, mode="band")
    mix_into(out, fizz, 0.07, gain=1.6)
    return finish(out, fade_out=0.03)


def slide_whistle():
    """Wheee-ooo: a slide whistle swooping up and back down."""
    length = 1.25

    def pitch(t):
        if t < 0.55:
            f = glide(480.0, 1600.0, 0.55, curve="smooth")(t)
        else:
            f = glide(1600.0, 620.0, 0.7, curve="smooth")(t - 0.55)
        return f * (1.0 + 0.012 * math.sin(TWO_PI * 6.0 * t))

    tone = sine(pitch, length, harmonics=((1, 1.0), (2, 0.08), (3, 0.03)))
    breath = svf(noise(length, seed=31), pitch, q=8.0, mode="band")
    out = [t + 0.25 * b for t, b in zip(tone, breath)]
    out = envelope(out, adsr(0.05, 0.0, 0.18, length))
    return finish(out)


def squeak():
    """Squee-eek: a rubber duck squeezed twice."""
    out = silence(0.62)
    for start, length, top in ((0.0, 0.22, 2100.0), (0.3, 0.3, 2350.0)):
        def pitch(t, top=top, length=length):
            rise = glide(1300.0, top, 0.07)(t)
            fall = 1.0 - 0.18 * max(0.0, t - 0.6 * length) / (0.4 * length)
            return rise * fall * (1.0 + 0.03 * math.sin(TWO_PI * 38.0 * t))
        tone = square(pitch, length, duty=0.3)
        tone = svf(tone, lambda t: 3200.0, q=1.5, mode="low")
        tone = envelope(tone, adsr(0.02, 0.0, 0.06, length))
        mix_into(out, tone, start)
    return finish(out, rms=0.16)


def ta_da():
    """Ta-daaa! A short brassy chord and a long one."""
    out = silence(1.3)
    chord = (261.63, 329.63, 392.0, 523.25)
    for start, length, lift in ((0.0, 0.13, 1.0), (0.17, 1.12, 1.0)):
        for k, f in enumerate(chord):
            def pitch(t, f=f, start=start):
                vib = 0.006 * min(1.0, t / 0.3) * math.sin(TWO_PI * 5.2 * t + k) if start > 0 else 0.0
                return f * lift * (1.0 + vib)
            voice = saw(pitch, length)
            voice = svf(voice, lambda t: 900.0 + 2600.0 * math.exp(-t / 0.12), q=1.2, mode="low")
            voice = envelope(voice, adsr(0.012, 0.0, 0.05 if start == 0 else 0.45, length))
            mix_into(out, voice, start, gain=0.25)
    return finish(out)


# ---------------------------------------------------------------- Neon skin

def laser_zap():
    """Pew pew: two fast falling laser shots."""
    out = silence(0.5)
    for start in (0.0, 0.2):
        shot = square(glide(2600.0, 180.0, 0.22), 0.26, duty=0.5)
        shot = svf(shot, lambda t: 5000.0, q=0.8, mode="low")
        shot = envelope(shot, decay(0.11, attack=0.002))
        mix_into(out, shot, start)
    return finish(out, rms=0.18)


def coin():
    """Ka-ching in eight bits: a quick high note and a ringing higher one."""
    out = silence(0.62)
    first = square(lambda t: 987.77, 0.075, duty=0.5)
    first = envelope(first, adsr(0.003, 0.0, 0.004, 0.075))
    mix_into(out, first, 0.0, gain=0.8)
    second = square(lambda t: 1318.51, 0.54, duty=0.5)
    second = envelope(second, decay(0.16, attack=0.002))
    mix_into(out, second, 0.075, gain=0.8)
    out = svf(out, lambda t: 7000.0, q=0.7, mode="low")
    return finish(out, rms=0.15)


def buzzer():
    """Bzzzt! The wrong-answer buzzer of a game show."""
    length = 0.85
    low = saw(lambda t: 110.0, length)
    high = square(lambda t: 164.0, length, duty=0.3)
    tone = [0.6 * a + 0.4 * b for a, b in zip(low, high)]
    tone = svf(tone, lambda t: 1800.0, q=0.9, mode="low")
    tone = envelope(tone, adsr(0.01, 0.0, 0.06, length))
    return finish(tone)


def crickets():
    """The awkward silence after a bad joke: two crickets chirping at night."""
    length = 1.9
    out = silence(length)
    for f, period, offset, gain, seed in ((4600.0, 0.52, 0.05, 1.0, 41), (4180.0, 0.61, 0.3, 0.6, 42)):
        rng = random.Random(seed)
        start = offset
        while start + 0.14 < length - 0.05:
            chirp = [0.0] * n_samples(0.14)
            for pulse in range(4):
                p0 = pulse * 0.033
                for i in range(n_samples(0.02)):
                    t = i / RATE
                    env = math.sin(math.pi * t / 0.02) ** 2
                    idx = n_samples(p0) + i
                    chirp[idx] += env * math.sin(TWO_PI * f * (p0 + t))
            mix_into(out, chirp, start, gain=gain)
            start += period * (1.0 + rng.uniform(-0.05, 0.05))
    night = svf(noise(length, seed=43), lambda t: 700.0, q=0.5, mode="low")
    out = [v + 0.04 * n for v, n in zip(out, night)]
    out = envelope(out, adsr(0.05, 0.0, 0.2, length))
    return finish(out, rms=0.09)


# ---------------------------------------------------------------- default sound

def ding():
    """The soft "ding" played when a button has no sound of its own."""
    length = 0.42
    partials = ((1, 1.0), (2.76, 0.18), (5.4, 0.05))
    count = n_samples(length)
    out = [0.0] * count
    for ratio, amp in partials:
        tau = 0.13 / ratio ** 0.5
        for i in range(count):
            t = i / RATE
            out[i] += amp * math.exp(-t / tau) * math.sin(TWO_PI * 1318.51 * ratio * t)
    out = envelope(out, adsr(0.004, 0.0, 0.1, length))
    return finish(out, rms=None, peak_db=-8.0, fade_in=0.003, fade_out=0.03)


SKINS = {
    "Classic": (boing, rimshot, sad_trombone, bicycle_horn),
    "Candy": (cork_pop, slide_whistle, squeak, ta_da),
    "Neon": (laser_zap, coin, buzzer, crickets),
}


def main():
    out_dir, ding_path = sys.argv[1], sys.argv[2]
    only = set(sys.argv[3:])
    for skin, makers in SKINS.items():
        os.makedirs(os.path.join(out_dir, skin), exist_ok=True)
        for number, make in enumerate(makers, start=1):
            if only and make.__name__ not in only:
                continue
            write_wav(os.path.join(out_dir, skin, "%d.wav" % number), make())
    if not only or "ding" in only:
        write_wav(ding_path, ding())


if __name__ == "__main__":
    main()
