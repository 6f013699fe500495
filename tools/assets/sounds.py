"""The game's sounds, synthesised: short effects, a whoosh loop for nearing stones and a calm
music loop. Mono, 16-bit, RATE samples a second. Loops are rendered on a circle (a note that
runs past the end continues at the start), so their last sample leads into their first without
a click."""

import io
import wave

import numpy as np

RATE = 22050
EFFECT_PEAK = 0.8  # full scale; effects leave a little headroom
MUSIC_PEAK = 0.5   # the game mixes the music under the effects


def seconds(duration):
    return np.arange(int(round(duration * RATE))) / RATE


def note_hz(semitones_from_a4):
    return 440.0 * 2.0 ** (semitones_from_a4 / 12.0)


def shaped(phase, brightness):
    """A sine with some odd harmonics: rounder than a square, brighter than a sine."""
    return (np.sin(phase) + brightness * np.sin(3 * phase) / 3 +
            brightness * np.sin(5 * phase) / 8)


def pluck(duration, hz, attack=0.004, decay=8.0, brightness=0.4, end_hz=None):
    """A note with a quick attack and an exponential decay; a glide when end_hz is given."""
    t = seconds(duration)
    hz_t = hz * (end_hz / hz) ** (t / duration) if end_hz else np.full_like(t, hz)
    phase = 2 * np.pi * np.cumsum(hz_t) / RATE
    envelope = np.minimum(t / attack, 1.0) * np.exp(-decay * t)
    return shaped(phase, brightness) * envelope


def fade_out(signal, duration=0.02):
    """Ends at silence, so the last sample makes no click."""
    n = min(len(signal), int(duration * RATE))
    signal[-n:] *= np.linspace(1.0, 0.0, n)
    return signal


def sequence(notes, total):
    """notes: (start seconds, signal) placed into a buffer of total seconds."""
    out = np.zeros(int(round(total * RATE)))
    for start, signal in notes:
        i = int(round(start * RATE))
        out[i:i + len(signal)] += signal[:len(out) - i]
    return out


def normalised(signal, peak):
    return signal * (peak / np.max(np.abs(signal)))


def lowpassed_noise(rng, n, low_hz, high_hz):
    """Noise with energy only between two frequencies, periodic over its n samples."""
    spectrum = np.fft.rfft(rng.standard_normal(n))
    hz = np.fft.rfftfreq(n, 1.0 / RATE)
    band = np.clip((hz - low_hz) / low_hz, 0, 1) * np.clip((high_hz - hz) / (0.5 * high_hz), 0, 1)
    return np.fft.irfft(spectrum * band, n)


def start():
    """C major arpeggio upwards: the game begins."""
    notes = [(0.09 * i, pluck(0.3, note_hz(n), decay=9.0)) for i, n in enumerate([3, 7, 10, 15])]
    return fade_out(sequence(notes, 0.6))


def jump():
    """A quick upward glide."""
    return fade_out(pluck(0.22, 300.0, decay=10.0, brightness=0.2, end_hz=900.0))


def hit(rng):
    """A low thump under a burst of grit."""
    t = seconds(0.45)
    thump = pluck(0.45, 120.0, attack=0.002, decay=9.0, brightness=0.6, end_hz=40.0)
    grit = lowpassed_noise(rng, len(t), 200.0, 3000.0)
    grit *= np.minimum(t / 0.002, 1.0) * np.exp(-18.0 * t) / np.max(np.abs(grit))
    return fade_out(np.tanh(2.0 * (thump + 0.7 * grit)))


def game_over():
    """Three falling notes and a long low one: G, E flat, C, then C an octave down."""
    notes = [(0.0, pluck(0.5, note_hz(-2), decay=4.0)), (0.3, pluck(0.5, note_hz(-6), decay=4.0)),
             (0.6, pluck(0.5, note_hz(-9), decay=4.0)),
             (0.9, pluck(1.0, note_hz(-21), decay=2.5, brightness=0.7))]
    return fade_out(sequence(notes, 1.9), 0.1)


def speed_up():
    """Two rising blips."""
    notes = [(0.0, pluck(0.12, 660.0, decay=20.0, end_hz=990.0)),
             (0.12, pluck(0.16, 880.0, decay=16.0, end_hz=1320.0))]
    return fade_out(sequence(notes, 0.3))


def two_notes(first, second):
    return fade_out(sequence([(0.0, pluck(0.12, first, decay=18.0, brightness=0.2)),
                              (0.08, pluck(0.14, second, decay=18.0, brightness=0.2))], 0.22))


def whoosh(rng):
    """One second of airy noise swelling twice, for looping under nearing stones."""
    n = RATE
    air = lowpassed_noise(rng, n, 300.0, 2500.0)
    swell = 0.6 + 0.4 * np.sin(2 * np.pi * 2 * np.arange(n) / n)  # two swells a loop
    return air * swell


def music(rng):
    """32 s in A minor at 90 beats a minute, 12 bars of Am F C G: a soft pad, a bass on the
    first and third beats, a plucked arpeggio and an airy noise bed. Rendered on a circle."""
    beat = 60.0 / 90.0
    n = int(round(48 * beat * RATE))
    out = np.zeros(n)

    def add(start, signal):
        i = int(round(start * RATE)) % n
        index = (i + np.arange(len(signal))) % n
        np.add.at(out, index, signal)

    # Semitones from A4 of each chord's root, third and fifth (pad voicing below A4).
    chords = [[-12, -9, -5], [-16, -12, -9], [-21, -17, -14], [-14, -10, -7]]
    pad_t = seconds(4 * beat + 1.0)
    pad_envelope = np.minimum(pad_t / 0.6, 1.0) * np.clip((pad_t[-1] - pad_t) / 1.0, 0, 1)
    for bar in range(12):
        start_s = bar * 4 * beat
        chord = chords[bar % 4]
        for semitone in chord:
            for detune in (-0.08, 0.08):  # two voices a little apart beat slowly
                hz = note_hz(semitone + detune)
                add(start_s, 0.12 * np.sin(2 * np.pi * hz * pad_t) * pad_envelope)
        for beat_index in (0, 2):
            add(start_s + beat_index * beat,
                0.3 * pluck(beat * 1.5, note_hz(chord[0] - 12), decay=3.0, brightness=0.3))
        arpeggio = [chord[0] + 12, chord[1] + 12, chord[2] + 12, chord[1] + 24]
        for step in range(8):
            add(start_s + step * beat / 2,
                0.1 * pluck(0.6, note_hz(arpeggio[step % 4]), decay=6.0, brightness=0.15))
    bed = lowpassed_noise(rng, n, 400.0, 4000.0)
    return out + 0.01 * bed / np.std(bed)


def wav_bytes(signal, peak):
    samples = np.round(normalised(signal, peak) * 32767).astype("<i2")
    buffer = io.BytesIO()
    with wave.open(buffer, "wb") as file:
        file.setnchannels(1)
        file.setsampwidth(2)
        file.setframerate(RATE)
        file.writeframes(samples.tobytes())
    return buffer.getvalue()


def all_sounds(rng_for):
    """(file name, WAV bytes) of every sound; rng_for(name) gives each its own random source."""
    effects = [("start.wav", start()), ("jump.wav", jump()), ("hit.wav", hit(rng_for("hit"))),
               ("game_over.wav", game_over()), ("speed_up.wav", speed_up()),
               ("pause.wav", two_notes(880.0, 660.0)), ("resume.wav", two_notes(660.0, 880.0))]
    return ([(name, wav_bytes(signal, EFFECT_PEAK)) for name, signal in effects] +
            [("whoosh.wav", wav_bytes(whoosh(rng_for("whoosh")), EFFECT_PEAK)),
             ("music.wav", wav_bytes(music(rng_for("music")), MUSIC_PEAK))])
