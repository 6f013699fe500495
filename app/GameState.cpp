#include "app/GameState.h"

#include "input/InputConstants.h"

namespace {

// Whole seconds of the clock: the speed, score and time-limit rules count these.
int wholeSeconds(float t) {
    return static_cast<int>(t);
}

} // namespace

void GameState::measureFrameTime(float t) {
    if (lastFrameTime != 0.0f)
        deltaTime = t - lastFrameTime;
    lastFrameTime = t;
}

void GameState::pauseToggle(const bool* keys) {
    const ToggleStep step = pauseKey.update(keys[kKeyP]);
    if (step.on && !gameOver)
        paused = true;
    if (step.turnedOff && !gameOver)
        paused = false;
}

void GameState::countRunFrame() {
    if (!paused)
        ++runFrames;
}

void GameState::applyTimeLimit(float t, std::ostream& out) {
    if (wholeSeconds(t) != kTimeLimit)
        return;
    paused = true;
    out << "GAME OVER" << std::endl;
    gameOver = true;
}

bool GameState::applySpeedRule(float t) {
    const int second = wholeSeconds(t);
    if (second % kSpeedUpPeriod != 0 || startScreen || gameOver || paused ||
        second == wholeSeconds(lastSpeedUpTime))
        return false;
    speed += kSpeedUp;
    lastSpeedUpTime = t;
    return true;
}

void GameState::countContact(bool touching) {
    contactFrames = touching ? contactFrames + 1 : 0;
    if (contactFrames == 1)
        ++hits;
    if (hits >= kLives) {
        gameOver = true;
        paused = true;
    }
}

TextScreens GameState::textScreens() const {
    TextScreens screens;
    screens.title = startScreen && paused && !gameOver;
    screens.help = helpScreen && !gameOver;
    const bool title = startScreen && !screens.help; // as retireTitle leaves it
    screens.hearts = !gameOver && !title && !helpScreen;
    // The game-over screen also shows when the game ended with the help screen up: help is
    // no longer drawn once the game is over, and the player must see the final score.
    screens.gameOver = gameOver;
    screens.score = !gameOver && !title && !helpScreen;
    screens.pause = paused && !gameOver && !helpScreen && !title;
    const bool labels = !gameOver && !title;
    screens.shadowLabel = labels && shadowsOn;
    screens.normalMapLabel = labels && normalMapOn;
    screens.movingLightLabel = labels && movingLightOn && !shadowsOn;
    screens.bloomLabel = labels && bloomOn;
    screens.mipmapLabel = labels && mipmapOn;
    return screens;
}

void GameState::retireTitle() {
    if (helpScreen && !gameOver)
        startScreen = false; // the title does not come back once help was shown
}

void GameState::applyScoreRule(float t) {
    if (wholeSeconds(t) < kScoreUntil && !paused && !startScreen && !gameOver)
        ++score;
}

RenderFlags GameState::renderFlags() const {
    return {shadowsOn, normalMapOn, bloomOn, movingLightOn};
}

ToggleEffects GameState::keyToggles(const bool* keys, std::ostream& out) {
    ToggleEffects effects;

    if (startScreen && !gameOver) {
        const ToggleStep enter = enterKey.update(keys[kKeyEnter]);
        if (enter.on) {
            paused = true;
            startScreen = true;
        }
        if (enter.turnedOff) {
            out << "START" << std::endl;
            paused = false;
            startScreen = false;
        }
    }

    if (!gameOver) {
        const ToggleStep help = helpKey.update(keys[kKeyF1]);
        if (help.on) {
            paused = true;
            helpScreen = true;
        }
        if (help.turnedOff) {
            paused = false;
            helpScreen = false;
        }
    }

    const ToggleStep light = lightKey.update(keys[kKeyL]);
    if ((light.on && !gameOver) || light.turnedOn)
        movingLightOn = true;
    if (light.turnedOff)
        movingLightOn = false;

    effects.frameTimeLabel = frameTimeKey.update(keys[kKeyF2]).on && !gameOver;
    effects.debugLabel = debugKey.update(keys[kKeyC]).on && !gameOver;

    const ToggleStep wireframe = wireframeKey.update(keys[kKeyF3]);
    effects.wireframeLabel = wireframe.on && !gameOver;
    if (wireframe.turnedOn || wireframe.turnedOff)
        effects.wireframe = wireframe.turnedOn;

    const ToggleStep mipmap = mipmapKey.update(keys[kKeyF5]);
    if ((mipmap.on && !gameOver) || mipmap.turnedOn)
        mipmapOn = true;
    if (mipmap.turnedOff)
        mipmapOn = false;
    if (mipmap.turnedOn || mipmap.turnedOff)
        effects.mipmap = mipmap.turnedOn;

    const ToggleStep blending = blendingKey.update(keys[kKeyF9]);
    effects.blendingLabel = blending.on && !gameOver && !startScreen;
    if (blending.turnedOn || blending.turnedOff)
        effects.blending = blending.turnedOn;

    const ToggleStep normalMap = normalMapKey.update(keys[kKeyF7]);
    if ((normalMap.on && !gameOver) || normalMap.turnedOn) {
        normalMapOn = true;
        shadowsOn = false;
    }
    if (normalMap.turnedOff) {
        normalMapOn = false;
        shadowsOn = true;
    }

    const ToggleStep bloom = bloomKey.update(keys[kKeyF6]);
    if ((bloom.on && !gameOver) || bloom.turnedOn)
        bloomOn = true;
    if (bloom.turnedOff)
        bloomOn = false;

    return effects;
}
