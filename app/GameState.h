#pragma once

#include "app/KeyToggle.h"
#include "pipeline/RenderFlags.h"

#include <optional>
#include <ostream>

// What the frame's toggles ask of the renderer and the text overlay. The GL switches are set
// only in the frame of a transition; labels are drawn in every frame their toggle is on.
struct ToggleEffects {
    std::optional<bool> wireframe; // polygon mode lines (true) or fill (false)
    std::optional<bool> blending;  // GL_BLEND on or off
    std::optional<bool> mipmap;    // every model's mip-mapping request
    bool frameTimeLabel = false;
    bool debugLabel = false;
    bool wireframeLabel = false;
    bool blendingLabel = false;
};

// Which text screens the overlay draws this frame, decided in drawing order.
struct TextScreens {
    bool title = false;
    bool help = false;
    bool hearts = false;
    bool score = false;
    bool gameOver = false;
    bool pause = false;
    bool shadowLabel = false;
    bool normalMapLabel = false;
    bool movingLightLabel = false;
    bool bloomLabel = false;
    bool mipmapLabel = false;
};

// The game's states, counters, render flags and clock rules, free of GL and of the window so
// that frames can be driven with any clock value t (seconds since the window system started)
// and any key table.
class GameState {
  public:
    static constexpr float kStartSpeed = 0.1f; // radians per second the track turns
    static constexpr float kSpeedUp = 0.1f;    // added at every speed-up
    static constexpr int kSpeedUpPeriod = 10;  // whole clock seconds between speed-ups
    static constexpr int kScoreUntil = 400;    // clock second from which the score stands
    static constexpr int kTimeLimit = 10000;   // clock second that ends the game
    static constexpr int kLives = 3;

    float deltaTime = 0.0f; // seconds between the starts of the last two frames
    bool paused = false;
    float speed = kStartSpeed;

    KeyToggle pauseKey;                        // P
    KeyToggle enterKey{false, false, true};    // comes up on: the title screen
    KeyToggle helpKey;                         // F1
    KeyToggle lightKey;                        // L
    KeyToggle frameTimeKey;                    // F2
    KeyToggle debugKey;                        // C (label only; the controller switches the camera)
    KeyToggle wireframeKey;                    // F3
    KeyToggle mipmapKey{false, false, true};   // F5
    KeyToggle blendingKey{false, false, true}; // F9
    KeyToggle normalMapKey{false, false, true}; // F7: normal mapping on, shadow mapping off
    KeyToggle bloomKey{false, false, true};     // F6

    int runFrames = 1; // 1 plus the frames that ended unpaused
    bool gameOver = false;
    bool startScreen = true;
    bool helpScreen = false;
    int score = 10;
    int hits = 0;
    int contactFrames = 0;
    float lastSpeedUpTime = 0.0f;
    float lastFrameTime = 0.0f;

    bool shadowsOn = true;
    bool normalMapOn = true;
    bool bloomOn = true;
    bool mipmapOn = true;
    bool movingLightOn = false;

    explicit GameState(float clockAtStart) : lastFrameTime(clockAtStart) {}

    // Frame time from the clock read at the start of the frame.
    void measureFrameTime(float t);
    // The P toggle, every frame.
    void pauseToggle(const bool* keys);
    // Counts the frame when it runs unpaused.
    void countRunFrame();
    // Ends the game in the clock's last second, printing "GAME OVER" every frame of it.
    void applyTimeLimit(float t, std::ostream& out);
    // True when the world speeds up this frame; the caller then reshuffles the stones.
    bool applySpeedRule(float t);
    // Counts one hit per contact, however many frames it lasts; the last life ends the game.
    void countContact(bool touching);
    // The text screens of this frame, decided in drawing order. Help shows over the title in
    // its first frame; every screen after the title's is decided as if the title were gone.
    TextScreens textScreens() const;
    // Showing help retires the title for good; call right after textScreens.
    void retireTitle();
    // A frame of play adds one to the score until the clock second kScoreUntil.
    void applyScoreRule(float t);
    // The scene's switches as they stand, before this frame's toggles.
    RenderFlags renderFlags() const;
    // The toggles Enter, F1, L, F2, C, F3, F5, F9, F7, F6, in this order; prints "START"
    // when the title is left with Enter.
    ToggleEffects keyToggles(const bool* keys, std::ostream& out);
};
