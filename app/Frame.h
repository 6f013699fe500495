#pragma once

#include "app/BestScore.h"
#include "app/GameState.h"
#include "audio/SoundRules.h"
#include "input/Camera.h"
#include "input/Controls.h"
#include "pipeline/RenderFlags.h"
#include "world/World.h"

#include <functional>
#include <ostream>
#include <vector>

class Model;

// Everything a frame's rules read and change: the world, the follow camera, the controller's
// key table, the game state, the sound rules and the best score. No GL and no window here, so
// frames can be driven with any clock and any key events.
struct Play {
    World world;
    Camera camera;
    Controls controls{nullptr};
    GameState state{0.0f};
    SoundDirector sound{SoundState{}};
    BestScore best; // none until the caller gives one: the file is the player's

    Play() = default;
    ~Play() { releaseWorld(world); }
    Play(const Play&) = delete; // the window callbacks and the world hold pointers into it
    Play& operator=(const Play&) = delete;
};

// Builds the world on the models (newStone: a new stone model with measured extents, called
// once a stone), the follow camera behind the top of the robot's head looking along -Z, the
// jump that Space starts, and the sound rules' first state. The caller sets
// state.lastFrameTime to the clock at start.
void startPlay(Play& play, const WorldModels& models, const std::function<Model*()>& newStone);

// What a frame decided for drawing and sound.
struct FramePlan {
    RenderFlags flags{};     // the scene's switches, as they stood before the frame's toggles
    TextScreens screens;     // the text screens, after the score rule
    ToggleEffects effects;   // the toggles' switches and key labels
    SoundState heard;        // what the sound follows, after the toggles
    std::vector<Sound> cues; // the effects that start this frame
};

// The part of the game that sound follows.
SoundState soundState(const GameState& state, const JumpState& jump);

// One frame's rules at clock t (seconds since the window system started), phase by phase:
// frame time; the latched keys let go, then pollInput delivers the window's and the gamepads'
// events; the controller's moves and the mouse look; the robot's start pose until a frame
// runs unpaused; pause, run count and the clock's limit; the speed-up and its reshuffle, the
// collision count, the jump, the travel unless paused, the ball unless on the title; the
// scene's switches; the text screens, the score rule and the best score's save rule; the
// toggles; the sound cues. out takes "START" and "GAME OVER", err the best score's failures.
FramePlan playFrame(Play& play, float t, const std::function<void()>& pollInput, std::ostream& out,
                    std::ostream& err);
