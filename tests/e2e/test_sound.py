"""Sound end to end: OpenAL Soft's wave writer records what the game mixes while a player starts,
jumps, stands still until a stone hits and presses M; each effect is found in the recording by
its own waveform. Then a start without a device."""

import pathlib
import tempfile
import time
import unittest

import numpy as np
import soundfile

import screens as S
from harness import ROOT

SOUNDS = pathlib.Path(ROOT, "External", "Sounds")
MATCH = 0.6  # normalised correlation at an effect's onset; elsewhere it stays below 0.4
NO_DEVICE = "ERROR::SOUND:: No audio device could be opened: playing without sound"


def template(name, rate):
    """An effect as the mixer plays it at rate: resampled, mono."""
    samples, own_rate = soundfile.read(SOUNDS / name, always_2d=True)
    samples = samples.mean(axis=1)
    at = np.arange(int(len(samples) * rate / own_rate)) * own_rate / rate
    return np.interp(at, np.arange(len(samples)), samples)


def onsets(recording, effect):
    """Sample indices where the recording holds the effect: peaks of the normalised
    cross-correlation above MATCH, at least the effect's length apart."""
    n = len(recording) + len(effect)
    size = 1 << (n - 1).bit_length()
    correlation = np.fft.irfft(np.fft.rfft(recording, size) *
                               np.conj(np.fft.rfft(effect, size)), size)[:len(recording)]
    energy = np.concatenate(([0.0], np.cumsum(recording ** 2)))
    window = energy[np.minimum(np.arange(len(recording)) + len(effect), len(recording))] - \
        energy[:len(recording)]
    score = correlation / (np.sqrt(np.maximum(window, 1e-12)) * np.linalg.norm(effect))
    found = []
    for index in np.argsort(-score)[:np.count_nonzero(score >= MATCH)]:
        if all(abs(index - other) > len(effect) for other in found):
            found.append(int(index))
    return sorted(found)


def rms(samples):
    return float(np.sqrt(np.mean(samples ** 2))) if len(samples) else 0.0


class Sound(unittest.TestCase):
    def test_start_jump_and_hit_sound_after_their_causes_over_the_music_and_m_mutes(self):
        folder = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory(prefix="zelto-")))
        conf, wave = folder / "alsoft.conf", folder / "out.wav"
        conf.write_text(f"[wave]\nfile = {wave}\n")
        with S.on_title(env={"ALSOFT_DRIVERS": "wave", "ALSOFT_CONF": str(conf)}) as game:
            game.key_down("Return")
            game.frames.wait(3)
            game.key_up("Return")  # the game starts at the release
            enter = time.monotonic()
            game.wait_for_screen(S.playing, "play")
            frames = game.frames.count
            time.sleep(1.5)  # music alone, to measure its level
            # A key reaches the mixer in the frame that polls it: up to two frames late. Timed
            # from the start sound, which is late by as much, a sound lies within three frames
            # (and the mixer's period) of where its key puts it.
            late = 3 * 1.5 / max(game.frames.count - frames, 1) + 0.1
            space = time.monotonic()  # the jump takes off at the press
            game.hold("space")
            hearts = S.hearts(game.screenshot())  # a stone may have hit already
            before_hit = taken = time.monotonic()  # the last picture with as many hearts
            while S.hearts(game.screenshot()) == hearts:
                before_hit, taken = taken, time.monotonic()
                self.assertLess(taken - space, 120, "no stone hit the robot standing still")
            after_hit = taken  # the first picture with fewer
            time.sleep(1.0)
            mute = time.monotonic()
            game.hold("m")
            time.sleep(1.5)
            self.assertEqual(game.quit(), 0)
        recording, rate = soundfile.read(wave, always_2d=True)
        recording = recording.mean(axis=1)

        found = {name: [index / rate for index in onsets(recording, template(name + ".wav", rate))]
                 for name in ("start", "jump", "hit")}
        self.assertEqual((len(found["start"]), len(found["jump"])), (1, 1), found)
        start, jump = found["start"][0], found["jump"][0]
        hit = min((at for at in found["hit"] if at > jump), default=None)
        self.assertIsNotNone(hit, found)
        self.assertLess(rms(recording[:int(start * rate) - 10]), 1e-4, "the title is silent")
        # The recording's clock is the mixer's, measured here from the start sound: each sound
        # comes where its key or event puts it, give or take a frame or two at either end.
        self.assertLess(abs((jump - start) - (space - enter)), late, (jump - start, space - enter))
        self.assertTrue(before_hit - late < hit - start + enter < after_hit + late,
                        (hit - start, before_hit - enter, after_hit - enter, late))
        self.assertLess(start, jump)

        music = rms(recording[int((start + 0.8) * rate):int((jump - 0.1) * rate)])
        self.assertGreater(music, 0.01, "music plays under the game")
        for name, at in (("start", start), ("jump", jump), ("hit", hit)):
            length = len(template(name + ".wav", rate)) // 2
            self.assertGreater(rms(recording[int(at * rate):int(at * rate) + length]), 2 * music,
                               f"{name} stands out of the music")
        muted = recording[int((mute - enter + start + late) * rate):]
        self.assertGreater(len(muted), rate // 2)
        self.assertEqual(float(np.abs(muted).max()), 0.0, "M silences everything")

    def test_without_a_device_the_game_says_so_once_and_plays(self):
        with S.on_title(env={"ALSOFT_DRIVERS": "no-such-driver"}) as game:
            game.toggle("Return", S.playing, "play")
            self.assertEqual((game.quit(), game.err.text()), (0, ""))
            self.assertEqual([line for line in game.out.lines() if "SOUND" in line],
                             [NO_DEVICE + "\n"])


if __name__ == "__main__":
    unittest.main()
