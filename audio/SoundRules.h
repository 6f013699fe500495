#pragma once

#include <glm/glm.hpp>
#include <vector>

class Obstacle;

// The game's sound effects; each has one file in "../External/Sounds/".
enum class Sound { Start, Jump, Hit, GameOver, SpeedUp, Pause, Resume };
constexpr int kSoundCount = 7;

// What the music does: silent on the title and after the game, quieter while paused.
enum class Music { Off, Full, Ducked };

// The part of the game that sound follows, read once a frame after its toggles.
struct SoundState {
    bool startScreen = true;
    bool paused = true;
    bool gameOver = false;
    bool jumping = false;
    int hits = 0;
    float speed = 0.0f;

    bool playing() const { return !startScreen && !paused && !gameOver; }
};

// A stone heard coming: where it is (world space) and how loud (0..1).
struct StoneVoice {
    glm::vec3 position;
    float gain;
};

// Turns the frame-by-frame game state into sound: which effects start this frame, what the
// music does, and the M key's mute switch (flips at each press).
class SoundDirector {
  public:
    SoundState last;      // the previous frame's state
    bool started = false; // the first frame of play has come (its effect was asked for)
    bool muted = false;
    bool muteKeyHeld = false;

    explicit SoundDirector(const SoundState& atStart) : last(atStart) {}

    // The effects to start this frame, in the order they happened: the start of play (the
    // first frame that runs after the title, by Enter or after help), a jump taking off, one
    // hit per life lost, the game over, a speed-up, a pause and a resume.
    std::vector<Sound> step(const SoundState& now, bool muteKey);
    Music music() const;
};

// Stones in the stretch of ring where they can hit the robot (ring angles 135 to 180), nearest
// to the robot first, at most maxVoices; the gain grows linearly from 0 at 135 to 1 at 180.
// Silent unless the game is playing: paused stones do not travel.
std::vector<StoneVoice> nearingStones(const std::vector<Obstacle*>& stones, bool playing,
                                      int maxVoices);
