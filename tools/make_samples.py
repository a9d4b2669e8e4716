#!/usr/bin/env python3
"""Synthesizes the sample playlist in assets/samples/: four short tunes, one
per audio kind the player takes.

Re-run from the repository root:

    python3 tools/make_samples.py

Needs Python 3 (standard library), `lame` (Debian package lame) for the MP3
and `oggenc` (Debian package vorbis-tools) for the OGG. The outputs are
committed, so neither encoder is needed to build or test the player. Every
tune is generated from fixed notes and a fixed noise seed; the encoders may
still vary the compressed bytes slightly between versions.

  01-morning-light.mp3  C G Am F waltz arpeggio, 64 kbit/s mono, ID3v1.1 tag
  02-evening-tide.ogg   Am F C G pad with a slow melody, Vorbis mono
  03-little-bells.wav   pentatonic bells over a drone, PCM 16-bit mono 22.05 kHz
  04-clockwork.mid      music-box tune with wood-block ticks, MIDI type 0
"""

import math
import os
import random
import struct
import subprocess
import tempfile
import wave

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SAMPLES = os.path.join(ROOT, "assets", "samples")
RATE = 22050


def frequency(midi_note):
    return 440.0 * 2 ** ((midi_note - 69) / 12)


class Mix:
    """A mono float buffer that notes are added into."""

    def __init__(self, seconds):
        self.data = [0.0] * int(seconds * RATE)

    def add(self, start, values):
        offset = int(start * RATE)
        data = self.data
        for i, v in enumerate(values, offset):
            if i >= len(data):
                break
            data[i] += v


def tone(note, seconds, amplitude, partials, attack=0.01, decay=3.0):
    """Additive tone: partials are (ratio, weight, extra decay) triples; the
    envelope rises over `attack` and falls exponentially at rate `decay`,
    with a short fade at the end so notes never click."""
    base = frequency(note)
    count = int(seconds * RATE)
    fade = min(int(0.03 * RATE), count)
    out = [0.0] * count
    for ratio, weight, extra in partials:
        step = 2 * math.pi * base * ratio / RATE
        rate = decay + extra
        for i in range(count):
            t = i / RATE
            out[i] += weight * math.sin(step * i) * math.exp(-rate * t)
    for i in range(count):
        t = i / RATE
        env = min(t / attack, 1.0) if attack > 0 else 1.0
        if i >= count - fade:
            env *= (count - i) / fade
        out[i] *= amplitude * env
    return out


SOFT_KEYS = [(1.0, 1.0, 0.0), (2.0, 0.35, 1.5), (3.0, 0.12, 3.0)]
WARM_PAD = [(1.0, 1.0, 0.0), (2.0, 0.25, 0.0), (3.0, 0.08, 0.0), (1.003, 0.6, 0.0)]
BELL = [(1.0, 1.0, 0.0), (2.76, 0.45, 2.0), (5.4, 0.2, 5.0), (8.93, 0.08, 9.0)]
BASS = [(1.0, 1.0, 0.0), (2.0, 0.2, 1.0)]


def tick(amplitude, rng, seconds=0.04):
    """A soft high click: differenced noise with a fast decay."""
    count = int(seconds * RATE)
    out, last = [], 0.0
    for i in range(count):
        n = rng.uniform(-1.0, 1.0)
        out.append(amplitude * (n - last) * math.exp(-i / (0.006 * RATE)))
        last = n
    return out


def to_pcm16(data, peak=0.85):
    """Normalises to the given peak with a gentle soft clip, as 16-bit bytes."""
    top = max(abs(v) for v in data) or 1.0
    frames = bytearray()
    for v in data:
        s = math.tanh(1.2 * v / top) / math.tanh(1.2) * peak
        frames += struct.pack("<h", int(round(s * 32767)))
    return bytes(frames)


def write_wav(path, data):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(to_pcm16(data))


def morning_light():
    """Waltz-time arpeggios over C, G/B, Am, F with a bass note and a tick on each beat."""
    beat = 0.5
    chords = [(48, [60, 64, 67, 72]), (47, [59, 62, 67, 71]),
              (45, [57, 60, 64, 69]), (41, [57, 60, 65, 69])]
    pattern = [0, 1, 2, 3, 2, 1]
    mix = Mix(len(chords) * 3 * beat + 1.2)
    rng = random.Random(1)
    for bar, (bass, notes) in enumerate(chords):
        start = bar * 3 * beat
        mix.add(start, tone(bass, 3 * beat + 0.3, 0.55, BASS, attack=0.02, decay=1.2))
        for step, index in enumerate(pattern):
            mix.add(start + step * beat / 2, tone(notes[index], 0.9, 0.32, SOFT_KEYS, decay=3.5))
        for b in range(3):
            mix.add(start + b * beat, tick(0.10 if b else 0.16, rng))
    mix.add(len(chords) * 3 * beat, tone(60, 1.2, 0.4, SOFT_KEYS, decay=2.5))
    mix.add(len(chords) * 3 * beat, tone(48, 1.2, 0.45, BASS, decay=2.0))
    return mix.data


def evening_tide():
    """A slow pad through Am, F, C, G with a falling melody on top."""
    length = 1.5
    chords = [(45, [57, 60, 64]), (41, [57, 60, 65]), (48, [55, 60, 64]), (43, [55, 59, 62])]
    melody = [(76, 0.0, 0.75), (74, 0.75, 0.75), (72, 1.5, 1.5), (71, 3.0, 0.75), (72, 3.75, 0.75),
              (67, 4.5, 1.5), (69, 6.0, 1.2)]
    mix = Mix(len(chords) * length + 1.4)
    for i, (bass, notes) in enumerate(chords):
        start = i * length
        mix.add(start, tone(bass, length + 0.4, 0.45, BASS, attack=0.05, decay=0.8))
        for n in notes:
            mix.add(start, tone(n, length + 0.5, 0.16, WARM_PAD, attack=0.35, decay=0.6))
    mix.add(len(chords) * length, tone(45, 1.4, 0.4, BASS, attack=0.05, decay=1.5))
    for n in (57, 60, 64):
        mix.add(len(chords) * length, tone(n, 1.4, 0.14, WARM_PAD, attack=0.2, decay=1.5))
    for note, start, seconds in melody:
        mix.add(start, tone(note, seconds + 0.4, 0.3, SOFT_KEYS, attack=0.03, decay=1.6))
    return mix.data


def little_bells():
    """A pentatonic bell tune over a quiet fifth drone; four seconds."""
    notes = [79, 76, 74, 72, 74, 76, 79, 81, 79, 76, 72, 74, 76, 74, 72, None]
    step = 0.25
    mix = Mix(4.0)
    mix.add(0.0, tone(48, 4.0, 0.25, BASS, attack=0.3, decay=0.3))
    mix.add(0.0, tone(55, 4.0, 0.15, BASS, attack=0.5, decay=0.3))
    for i, note in enumerate(notes):
        if note is not None:
            mix.add(i * step, tone(note, 1.0, 0.3, BELL, attack=0.002, decay=4.0))
    mix.add(14 * step, tone(84, 0.5, 0.12, BELL, attack=0.002, decay=6.0))
    return mix.data


def id3v1_tag(title, artist, album, year, comment, track, genre):
    """The 128-byte tag at a file's end, fields zero-padded (version 1.1:
    the comment's last two bytes hold a zero and the track number)."""
    def field(text, size):
        raw = text.encode("ascii")
        assert len(raw) <= size
        return raw + b"\0" * (size - len(raw))
    return (b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4)
            + field(comment, 28) + bytes((0, track, genre)))


def encode_mp3(data, path):
    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "in.wav")
        write_wav(source, data)
        subprocess.run(["lame", "--quiet", "-m", "m", "-b", "64", source, path], check=True)
    with open(path, "ab") as f:
        f.write(id3v1_tag("Morning Light", "Tunewell Band", "First Light", "2026",
                          "Synthesized sample", 1, 52))


def encode_ogg(data, path):
    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "in.wav")
        write_wav(source, data)
        subprocess.run(["oggenc", "--quiet", "-q", "1", "-t", "Evening Tide", "-a", "Tunewell Band",
                        "-l", "First Light", "-d", "2026", "-N", "2", "-o", path, source], check=True)


def midi_variable(value):
    """MIDI's variable-length quantity: 7 bits per byte, high bit = more."""
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, 0x80 | (value & 0x7F))
        value >>= 7
    return bytes(out)


def clockwork_midi(path):
    """Type 0 file: a music box (program 10) melody with a plucked bass on
    channel 1 and tick-tock wood blocks on the percussion channel."""
    ticks_per_beat = 480
    eighth = ticks_per_beat // 2
    tempo_us = 500000                           # 120 beats a minute
    melody = [72, 76, 79, 76, 77, 81, 84, 81, 79, 76, 72, 74, 76, 74, 71, 67,
              72, 76, 79, 84, 83, 79, 77, 74, 72, 71, 72, 76, 72, None, None, None]
    basses = [48, 53, 55, 48, 48, 53, 55, 48]  # one every two beats
    events = []                                # (tick, order, bytes)

    def note(at, length, channel, key, velocity):
        events.append((at, 1, bytes((0x90 | channel, key, velocity))))
        events.append((at + length, 0, bytes((0x80 | channel, key, 0))))

    for i, key in enumerate(melody):
        if key is not None:
            note(i * eighth, eighth - 40, 0, key, 84 if i % 4 == 0 else 70)
    for i, key in enumerate(basses):
        note(i * 4 * eighth, 4 * eighth - 60, 1, key, 72)
    for beat in range(len(melody) // 2):
        note(beat * ticks_per_beat, 60, 9, 76 if beat % 2 == 0 else 77, 52)
    note(len(melody) * eighth - 4 * eighth, 4 * eighth, 0, 84, 60)

    head = (b"\x00\xff\x51\x03" + tempo_us.to_bytes(3, "big")
            + b"\x00\xff\x58\x04\x04\x02\x18\x08"
            + b"\x00\xc0\x0a"                     # channel 1: music box
            + b"\x00\xc1\x2d")                    # channel 2: pizzicato strings
    body = bytearray(head)
    now = 0
    for at, _, message in sorted(events):
        body += midi_variable(at - now) + message
        now = at
    body += midi_variable(ticks_per_beat) + b"\xff\x2f\x00"
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, ticks_per_beat))
        f.write(b"MTrk" + struct.pack(">I", len(body)) + bytes(body))


def main():
    os.makedirs(SAMPLES, exist_ok=True)
    encode_mp3(morning_light(), os.path.join(SAMPLES, "01-morning-light.mp3"))
    encode_ogg(evening_tide(), os.path.join(SAMPLES, "02-evening-tide.ogg"))
    write_wav(os.path.join(SAMPLES, "03-little-bells.wav"), little_bells())
    clockwork_midi(os.path.join(SAMPLES, "04-clockwork.mid"))


if __name__ == "__main__":
    main()
