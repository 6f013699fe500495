#!/usr/bin/env python3
"""Mutation runner: plants one known fault at a time and checks that a test notices it.

    /usr/bin/python3 tools/mutate.py [--e2e] [--only NAME_SUBSTRING ...] [--list]
                                     [--scratch DIR] [--jobs N]

The working tree is mirrored once into a scratch folder (build folders, .git and the generated
External/ stay out) with one build folder of its own, so each fault recompiles only what its
file touches. Per fault: apply, rebuild unit_tests and gl_tests, run the unit binary (not for
GLSL faults, which no unit test loads), then the GL binary in one process, then with --e2e the
end-to-end tier through ctest; a fault in the asset generator (tools/) runs the generator's own
test instead. The first failing test kills the fault. A hang counts as a kill,
a fault that does not compile as invalid. Exits non-zero below 90 % killed or with an invalid
fault. Not part of CI: it takes minutes, and its result guides the next tests to write.
"""

import argparse
import collections
import filecmp
import os
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PASS_MARK = 90.0  # per cent of faults killed

Fault = collections.namedtuple("Fault", "name path original replacement why")

# Multi-line originals, shared by the faults that rewrite them.
SPHERES = """\
    const glm::vec3 body = torusPoint(track, player->tubeAngle,
                                      player->elevation + player->bodyRadius, kRobotRingAngle);
    const glm::vec3 head =
        torusPoint(track, player->tubeAngle,
                   player->model->height + player->elevation - player->headRadius, kRobotRingAngle);
"""
RING_DRAW = """\
    if (randomFraction() >= kFarRingChance) {
        stone.ringAngle = randomFraction() * kFarRingSpan + kFarRingStart;
    } else {
        stone.ringAngle = randomFraction() * kNearRingSpan + kNearRingStart;
    }
"""
TUBE_DRAW = "    stone.tubeAngle = randomFraction() * kTubeSpan + 0.0f;\n"
JUMP_STEP = """\
        acceleration -= deltaTime * decay;
        velocity += deltaTime * acceleration;
"""
EMIT = """\
        gl_Layer = face;
        gl_Position = clip0;
        EmitVertex();
        gl_Layer = face;
        gl_Position = clip1;
        EmitVertex();
        gl_Layer = face;
"""
FLAGS_TO_TOGGLES = """\
    plan.flags = state.renderFlags();

    // 20. Text screens, then the score rule, then the best score kept once the game has ended,
    // so that the game-over screen shows both.
    plan.screens = state.textScreens();
    state.retireTitle();
    state.applyScoreRule(t);
    play.best.keep(state, false, err);

    // 21. Toggles of the title, help, light and render features, and the key labels.
    plan.effects = state.keyToggles(controls.keys, out);
"""
EARLY_LABELS = """\
    if (effects.debugLabel)
        label(KeyLabel::Debug);
"""
WIREFRAME_SWITCH = """
    if (effects.wireframe)
        glPolygonMode(GL_FRONT_AND_BACK, *effects.wireframe ? GL_LINE : GL_FILL);
"""

SCENE_SHADOW = """\
    if (flags.shadowsOn)
        shadowStep(targets, lightPos, camera.position, world);
"""
SCENE_WORLD = """\
    // The world, straight into the window or through the HDR target, blur and composite.
    const RolePrograms roles = selectPrograms(flags, programs);
    Model* skybox = world.skybox->model;
    if (flags.bloomOn)
        targets.bloom->render(roles.first, programs.blurShader, programs.bloomShader, world.objects,
                              skybox, roles.sky, roles.objects, targets.passEnd);
    else
        drawWorld(roles.objects, roles.sky, roles.first, world.objects, skybox, targets.passEnd);
"""
SCENE_UNIFORMS = \
    "    uploadSceneUniforms(programs, matrices, lightPos, lightColor, camera.position);\n"
BLOOM_BLUR = "    blurBrightColor(blur);\n    endPass(passEnd, RenderPass::Blur);\n\n"
BLOOM_SKYBOX = """\
    glBindFramebuffer(GL_FRAMEBUFFER, hdrFBO);
    glDrawBuffers(2, kSceneColourOnly);
    glUseProgram(sky.programId);
    if (skybox != nullptr)
        skybox->draw(sky, skybox->modelMatrix);
    glDrawBuffers(2, kDrawBuffers);
"""
GLOW_SLOTS = "layout(location = 0) out vec4 FragColor;\nlayout(location = 1) out vec4 BrightColor;"
DIM_GLOW = ": vec4(0.0, 0.0, 0.0, 1.0);"
STONE_POSITION = """\
        alSource3f(source, AL_POSITION, stones[i].position.x, stones[i].position.y,
                   stones[i].position.z);"""
ORIENTATION = """\
{listener.front.x, listener.front.y, listener.front.z,
                                  listener.up.x,    listener.up.y,    listener.up.z}"""

# Grouped by file, so that restoring one fault and applying the next recompile together.
FAULTS = [
    Fault("torus-ring-mirrored", "world/Torus.cpp", "-(std::sin(g) * a)", "std::sin(g) * a",
          "ring angles run counter-clockwise seen from above; mirrored, stones come from behind"),
    Fault("side-speed-115", "world/Player.cpp", "const float step = kSideSpeed * deltaTime;",
          "const float step = 100.0f * deltaTime;",
          "the robot must move round the tube at the camera's roll rate, 115 degrees per second"),
    Fault("ball-speed-300", "world/Player.cpp", "ballAngle -= kBallSpeed * deltaTime;",
          "ballAngle -= 200.0f * deltaTime;", "the ball turns 300 degrees per second"),
    Fault("ball-orbit-reversed", "world/Player.cpp", "-(std::sin(a) * std::sin(b))",
          "std::sin(a) * std::sin(b)", "the ball circles the head clockwise seen from above"),
    Fault("ring-wrap-past-360", "world/Obstacle.cpp", "if (ringAngle >= kFullTurn ||",
          "if (ringAngle > kFullTurn ||", "a stone at exactly 360 degrees restarts from 0"),
    Fault("ring-degrees-per-radian", "world/Obstacle.cpp", "step * kRingDegreesPerRadian",
          "step * 57.29578f", "stones run 60 ring degrees per radian, faster than the surface"),
    Fault("placement-tube-before-ring", "world/Stones.cpp", RING_DRAW + TUBE_DRAW,
          TUBE_DRAW + RING_DRAW, "the shared random sequence is drawn stretch, ring, then tube"),
    Fault("far-stretch-span-160", "world/Stones.cpp", "randomFraction() * kFarRingSpan",
          "randomFraction() * 150.0f", "far stones spread over 200..360, the whole stretch"),
    Fault("spheres-on-surface", "world/JumpState.cpp", SPHERES,
          SPHERES.replace("player->elevation", "track.minorRadius"),
          "the spheres rise with the jump: jumping is how a stone is dodged"),
    Fault("spheres-fixed-tube-angle", "world/JumpState.cpp", SPHERES,
          SPHERES.replace("player->tubeAngle", "90.0f"),
          "the spheres follow the robot round the tube: moving sideways dodges"),
    Fault("window-start-135-open", "world/JumpState.cpp", "kCollisionRingStart <= stone->ringAngle",
          "kCollisionRingStart < stone->ringAngle", "a stone at exactly 135 degrees can hit"),
    Fault("window-end-180-open", "world/JumpState.cpp", "stone->ringAngle <= kCollisionRingEnd",
          "stone->ringAngle < kCollisionRingEnd", "a stone at exactly 180 degrees can hit"),
    Fault("landing-strict", "world/JumpState.cpp", "if (torus->minorRadius >= player.elevation) {",
          "if (torus->minorRadius > player.elevation) {",
          "feet exactly on the surface count as landed"),
    Fault("fall-decay-30", "world/JumpState.cpp", "float decay = kFallDecay;",
          "float decay = 20.0f;", "the fall steepens at 30 units per second cubed"),
    Fault("jump-velocity-before-decay", "world/JumpState.cpp", JUMP_STEP,
          "".join(reversed(JUMP_STEP.splitlines(True))),
          "the velocity takes the acceleration of the previous frame"),
    Fault("jump-velocity-6", "world/WorldConstants.h", "kJumpVelocity = 6.0f;",
          "kJumpVelocity = 5.0f;", "take-off at 6 units per second sets the jump's height"),
    Fault("skybox-own-angle", "world/World.cpp",
          "glm::rotate(world.skyboxRotation, speed * deltaTime, axis)",
          "glm::rotate(world.skyboxRotation, 2.0f * speed * deltaTime, axis)",
          "the skybox turns with the track, by the same angle"),
    Fault("follow-point-fixed-tube", "input/Camera.cpp",
          "torusPoint(*player.torus, player.tubeAngle,", "torusPoint(*player.torus, 90.0f,",
          "the follow camera stays level with the head wherever the robot is on the tube"),
    Fault("pitch-clamp-89", "input/Camera.cpp", "camera.pitch = kPitchLimit;",
          "camera.pitch = 90.0f;", "at 90 degrees of pitch the view matrix degenerates"),
    Fault("c-toggle-sticks", "input/Controls.cpp", "debugMode = !debugMode;",
          "debugMode = true;", "a second C press leaves the free camera"),
    Fault("tap-lost", "input/Controls.cpp", "if (pressUnseen[key])", "if (false)",
          "a press released within one poll reaches no frame"),
    Fault("latch-never-seen", "input/Controls.cpp", "        pressUnseen[key] = false;\n", "",
          "a release after a frame saw the press comes a frame late"),
    Fault("repress-released", "input/Controls.cpp",
          "        pressUnseen[key] = true;\n        releaseLater[key] = false;\n",
          "        pressUnseen[key] = true;\n", "pressed again in the same poll: stays held"),
    Fault("pad-stick-no-hysteresis", "input/Gamepads.cpp",
          "-x > (pad.stickLeft ? kStickRelease : kStickPress)", "-x > kStickPress",
          "a stick resting near the press point must not press and release A every frame"),
    Fault("pad-start-redecided", "input/Gamepads.cpp", "pad.held[kStart] != 0 ? pad.held[kStart]",
          "false ? pad.held[kStart]", "Start pressed as Enter must release Enter, not P"),
    Fault("pad-release-over-keyboard", "input/Gamepads.cpp",
          "    if (keyboardHolds(key))\n        return true;\n", "",
          "a pad letting go must not release a key the keyboard still holds"),
    Fault("pad-press-on-change-only", "input/Gamepads.cpp",
          "if (key != 0 && !controls->keys[key])",
          "if (key != 0 && std::find(before.begin(), before.end(), key) == before.end())",
          "the keyboard letting go must not release a key a pad still holds"),
    Fault("pad-poll-past-last", "input/Gamepads.cpp", "jid <= GLFW_JOYSTICK_LAST",
          "jid <= Gamepads::kPads", "joystick ids run 0..15; asking for 16 is an error"),
    Fault("one-hit-sound-per-frame", "audio/SoundRules.cpp",
          "for (int hit = last.hits; hit < now.hits; ++hit)", "if (now.hits > last.hits)",
          "two lives lost in one frame sound twice"),
    Fault("start-sound-every-resume", "audio/SoundRules.cpp",
          "        started = true;\n", "", "the start sounds once; later returns to play resume"),
    Fault("mute-while-held", "audio/SoundRules.cpp", "if (muteKey && !muteKeyHeld)",
          "if (muteKey)", "holding M flips the mute once"),
    Fault("music-full-when-paused", "audio/SoundRules.cpp",
          "return last.playing() ? Music::Full : Music::Ducked;", "return Music::Full;",
          "the pause ducks the music"),
    Fault("stone-heard-past-the-robot", "audio/SoundRules.cpp",
          "stone->ringAngle <= kCollisionRingEnd", "stone->ringAngle <= kCollisionRingEnd + 1.0f",
          "a stone past the robot is no longer heard"),
    Fault("paused-stones-heard", "audio/SoundRules.cpp", "    if (playing)\n", "    if (true)\n",
          "paused stones do not travel and are silent"),
    Fault("effect-files-shifted", "audio/Audio.cpp", '"start.wav", "jump.wav",',
          '"jump.wav", "start.wav",', "each cue plays its own file"),
    Fault("effect-voice-kept", "audio/Audio.cpp", "nextEffect = (nextEffect + 1) % kEffectVoices;",
          "nextEffect = nextEffect % kEffectVoices;", "two effects of one frame both sound"),
    Fault("effect-voice-not-stopped", "audio/Audio.cpp",
          "        alSourceStop(source);\n        alSourcei(source, AL_BUFFER",
          "        alSourcei(source, AL_BUFFER",
          "the fifth effect takes over the oldest voice, playing or not"),
    Fault("effects-loop", "audio/Audio.cpp", "source = newSource(false);",
          "source = newSource(true);", "an effect sounds once"),
    Fault("effects-placed-in-world", "audio/Audio.cpp",
          "alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);",
          "alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);",
          "effects and music sound at the listener, whatever the camera does"),
    Fault("music-gain-full", "audio/Audio.cpp", "kMusicGain = 0.35f;", "kMusicGain = 1.0f;",
          "the music plays at 0.35, under the effects"),
    Fault("ducked-gain-unducked", "audio/Audio.cpp", "kDuckedGain = 0.12f;", "kDuckedGain = 0.35f;",
          "the pause ducks the music to 0.12"),
    Fault("duck-inverted", "audio/Audio.cpp", "musicWanted == Music::Ducked ? kDuckedGain",
          "musicWanted == Music::Full ? kDuckedGain", "the music is ducked while paused only"),
    Fault("music-never-stops", "audio/Audio.cpp",
          "        if (musicWanted == Music::Off)\n            alSourceStop(musicSource);\n"
          "        else if",
          "        if", "the title and the game over are silent"),
    Fault("music-restarts-on-duck", "audio/Audio.cpp",
          "        else if (musicNow == Music::Off)\n            alSourcePlay(musicSource);",
          "        else\n            alSourcePlay(musicSource);",
          "a pause and the resume carry the tune on where it was"),
    Fault("music-state-forgotten", "audio/Audio.cpp", "    musicNow = musicWanted;\n", "",
          "the music starts once, not again every frame"),
    Fault("music-not-looping", "audio/Audio.cpp", "musicSource = newSource(true);",
          "musicSource = newSource(false);", "the music loops for the whole game"),
    Fault("stone-gain-unscaled", "audio/Audio.cpp", "kStoneGain * stones[i].gain",
          "kStoneGain", "a stone grows louder as it nears"),
    Fault("stone-gain-full", "audio/Audio.cpp", "kStoneGain = 0.6f;", "kStoneGain = 1.0f;",
          "a stone about to hit sounds at 0.6"),
    Fault("stone-position-swapped", "audio/Audio.cpp", STONE_POSITION,
          STONE_POSITION.replace("position.x", "position.X").replace("position.z", "position.x")
          .replace("position.X", "position.z"),
          "a stone is heard from where it is"),
    Fault("stone-voice-restarted", "audio/Audio.cpp",
          "        if (!isPlaying(source))\n            alSourcePlay(source);",
          "        alSourcePlay(source);", "a stone's whoosh runs on from frame to frame"),
    Fault("stone-voices-not-stopped", "audio/Audio.cpp",
          "            alSourceStop(source);\n            continue;", "            continue;",
          "a stone no longer near falls silent"),
    Fault("stone-voices-head-relative", "audio/Audio.cpp",
          "        source = newSource(true);\n        if (whoosh != 0)",
          "        source = newSource(true);\n        makeHeadRelative(source);\n"
          "        if (whoosh != 0)",
          "stones are heard from their place in the world"),
    Fault("mute-ignored", "audio/Audio.cpp", "alListenerf(AL_GAIN, muted ? 0.0f : 1.0f);",
          "alListenerf(AL_GAIN, 1.0f);", "M silences everything"),
    Fault("listener-up-as-front", "audio/Audio.cpp", ORIENTATION,
          ORIENTATION.replace("front", "FRONT").replace("up", "front").replace("FRONT", "up"),
          "the listener faces where the camera looks"),
    Fault("listener-at-origin", "audio/Audio.cpp",
          "    alListener3f(AL_POSITION, at.x, at.y, at.z);\n",
          "", "the listener stands at the camera"),
    Fault("distance-attenuates", "audio/Audio.cpp", "    alDistanceModel(AL_NONE);\n", "",
          "a stone's gain is the game's alone; its place only pans it"),
    Fault("toggle-at-press", "app/KeyToggle.cpp", "if (previous && !current) {",
          "if (!previous && current) {", "toggles switch at the release, not the press"),
    Fault("light-never-off", "app/GameState.cpp",
          "    if (light.turnedOff)\n        movingLightOn = false;\n", "",
          "the second L release turns the moving light off"),
    Fault("pause-at-release", "app/GameState.cpp", "if (step.on && !gameOver)",
          "if (step.turnedOn && !gameOver)", "P pauses at the press"),
    Fault("enter-title-pause-once", "app/GameState.cpp", "if (enter.on) {",
          "if (enter.turnedOn) {", "the title keeps the game paused every frame, P or not"),
    Fault("contact-every-frame", "app/GameState.cpp", "if (contactFrames == 1)",
          "if (contactFrames >= 1)", "a contact lasting several frames costs one life"),
    Fault("lives-past-three", "app/GameState.cpp", "if (hits >= kLives) {",
          "if (hits > kLives) {", "the third hit ends the game"),
    Fault("score-until-400-inclusive", "app/GameState.cpp", "wholeSeconds(t) < kScoreUntil",
          "wholeSeconds(t) <= kScoreUntil", "the score stands from clock second 400 on"),
    Fault("speed-up-every-5s", "app/GameState.cpp", "second % kSpeedUpPeriod != 0",
          "second % (kSpeedUpPeriod / 2) != 0", "the world speeds up every ten seconds"),
    Fault("time-limit-10000", "app/GameState.cpp", "wholeSeconds(t) != kTimeLimit",
          "wholeSeconds(t) != kTimeLimit + 1", "clock second 10000 ends the game"),
    Fault("f5-key-code", "input/InputConstants.h", "constexpr int kKeyF5 = 294;",
          "constexpr int kKeyF5 = 293;", "F5, not F4, switches mip-mapping"),
    Fault("parse-ignores-fail", "app/CommandLine.cpp", "return !stream.fail() && !stream.bad();",
          "return !stream.bad();", "a window size that is not a number is rejected"),
    Fault("debug-id-2-shown", "app/DebugFormat.cpp", "if (id == 2 || id == 131185)",
          "if (id == 131185)", "driver message 2 floods the console every frame"),
    # The frame: its rules in phase order, then its drawing.
    Fault("latched-keys-after-poll", "app/Frame.cpp",
          "    controls.releaseLatchedKeys();\n    pollInput();\n",
          "    pollInput();\n    controls.releaseLatchedKeys();\n",
          "a press and its release in one poll must reach the frame as a press"),
    Fault("start-pose-kept-playing", "app/Frame.cpp", "if (state.runFrames == 1) {",
          "if (state.runFrames <= 2) {", "the start pose holds only until a frame runs unpaused"),
    Fault("start-pose-skipped", "app/Frame.cpp",
          "        robot->model->modelMatrix = startPose(*world.track);\n", "",
          "the robot stands on top of the track from the first frame"),
    Fault("speed-up-never-reshuffles", "app/Frame.cpp",
          "    if (state.applySpeedRule(t))\n        reshuffleObstacles(world.obstacles, world.track);",
          "    state.applySpeedRule(t);", "every speed-up throws all the stones to new places"),
    Fault("contact-after-jump", "app/Frame.cpp",
          """    state.countContact(world.jump->checkCollision(world.obstacles, robot));
    if (world.jump->jumping)
        world.jump->step(*robot, play.camera, dt);
""", """    if (world.jump->jumping)
        world.jump->step(*robot, play.camera, dt);
    state.countContact(world.jump->checkCollision(world.obstacles, robot));
""", "the collision test sees the robot where the frame found it"),
    Fault("jump-stops-while-paused", "app/Frame.cpp", "    if (world.jump->jumping)\n",
          "    if (world.jump->jumping && !state.paused)\n", "a jump goes on in every state"),
    Fault("travel-while-paused", "app/Frame.cpp",
          "    if (!state.paused)\n        advanceWorld", "    if (true)\n        advanceWorld",
          "a pause freezes the stones, the track and the skybox"),
    Fault("ball-turns-on-title", "app/Frame.cpp",
          "    if (!state.startScreen)\n        robot->updateBall(dt);",
          "    robot->updateBall(dt);", "the ball stands still while the title shows"),
    Fault("flags-after-toggles", "app/Frame.cpp", FLAGS_TO_TOGGLES,
          FLAGS_TO_TOGGLES.replace("    plan.flags = state.renderFlags();\n", "")
          + "    plan.flags = state.renderFlags();\n",
          "the scene draws with the switches as they stood before the frame's toggles"),
    Fault("help-keeps-title", "app/Frame.cpp", "    state.retireTitle();\n", "",
          "help shown over the title retires it for good"),
    Fault("score-rule-skipped", "app/Frame.cpp", "    state.applyScoreRule(t);\n", "",
          "every frame of play adds to the score"),
    Fault("best-kept-at-close-only", "app/Frame.cpp", "    play.best.keep(state, false, err);\n",
          "", "the frames watch for play and keep the best at the game's end"),
    Fault("frame-cues-dropped", "app/Frame.cpp",
          "plan.cues = play.sound.step(plan.heard, controls.keys[kKeyM]);",
          "play.sound.step(plan.heard, controls.keys[kKeyM]);", "the frame's cues reach the mixer"),
    Fault("mute-key-ignored", "app/Frame.cpp", "controls.keys[kKeyM]", "false",
          "M mutes the sound"),
    Fault("labels-after-switches", "app/FrameDraw.cpp", EARLY_LABELS + WIREFRAME_SWITCH,
          WIREFRAME_SWITCH + EARLY_LABELS,
          "the debug label draws before F3's switch of the same frame"),
    Fault("blending-label-before-switch", "app/FrameDraw.cpp", "    if (effects.blending) {\n",
          "    if (effects.blendingLabel)\n        label(KeyLabel::Blending);\n"
          "    if (effects.blending) {\n",
          "the blending label draws in the blend state its own switch leaves, not the last one"),
    Fault("mipmap-skips-skybox", "app/FrameDraw.cpp",
          "        world.skybox->model->mipmapWanted = *effects.mipmap;\n", "",
          "F5 reaches the skybox too"),
    Fault("frame-not-cleared", "app/FrameDraw.cpp", "    clearFrame();\n\n", "",
          "each frame starts from the clear colour"),
    Fault("clear-colour-black", "app/FrameDraw.cpp",
          "glClearColor(kClearColor.r, kClearColor.g, kClearColor.b, kClearColor.a);",
          "glClearColor(0.0f, 0.0f, 0.0f, 0.0f);", "the window's background is dark blue"),
    Fault("debug-label-at-half", "app/Hud.cpp", "static_cast<float>(W / 4) + 20.0f",
          "static_cast<float>(W / 2) + 20.0f", "the debug label sits a quarter of the way in"),
    Fault("depth-map-unit", "app/Startup.cpp", '"depthMap", kShadowCubeMapUnit', '"depthMap", kDiffuseUnit',
          "the shadowed program samples the cube map on unit 3, where every mesh binds it"),
    Fault("bloom-blur-unit", "app/Startup.cpp", '"bloomBlur", kBloomBlurUnit',
          '"bloomBlur", kSceneUnit', "the composite reads the blurred glow on unit 2"),
    Fault("compile-log-512", "render/Shader.cpp", "kCompileLogSize = 512;",
          "kCompileLogSize = 256;", "compile logs are printed up to 511 characters"),
    Fault("cube-map-unit-3", "render/RenderConstants.h", "kShadowCubeMapUnit = 3;",
          "kShadowCubeMapUnit = 4;", "the lit shadow program samples depthMap on unit 3"),
    Fault("sampler-number-dropped", "render/Mesh.cpp",
          "const std::string sampler = type + std::to_string(number);",
          "const std::string sampler = type;", "shaders name samplers texture_diffuse1, ..."),
    Fault("mipmap-filter-swapped", "render/Model.cpp",
          "mipmapWanted ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR",
          "mipmapWanted ? GL_LINEAR : GL_LINEAR_MIPMAP_LINEAR", "F5 switches trilinear filtering"),
    Fault("model-mag-filter-nearest", "render/Model.cpp",
          "GL_TEXTURE_MAG_FILTER, GL_LINEAR", "GL_TEXTURE_MAG_FILTER, GL_NEAREST",
          "a magnified model texture blends its texels, whatever F5 asks"),
    Fault("glyph-advance-26-6", "render/TextRenderer.cpp", "glyph.advance >> 6",
          "glyph.advance >> 5", "FreeType advances are 26.6 fixed point"),
    Fault("glyph-levels-unstretched", "render/TextRenderer.cpp",
          "coverage.buffer[i] * 255 / top", "coverage.buffer[i]",
          "a one-bit glyph's set pixels are full coverage, 255, not 1"),
    Fault("glyph-levels-over-num-grays", "render/TextRenderer.cpp",
          "std::max(coverage.num_grays - 1, 1)", "std::max(coverage.num_grays - 0, 1)",
          "the top level of a bitmap, num_grays - 1, is full coverage"),
    Fault("glyph-bitmap-unconverted", "render/TextRenderer.cpp",
          "GL_UNSIGNED_BYTE, coverage.buffer);", "GL_UNSIGNED_BYTE, bitmap.buffer);",
          "bitmap fonts give rows of bits padded to bytes; only the converted rows are bytes"),
    Fault("glyph-wrap-s-repeat", "render/TextRenderer.cpp", "GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE",
          "GL_TEXTURE_WRAP_S, GL_REPEAT",
          "a glyph's left edge does not bleed its right edge's ink"),
    Fault("glyph-wrap-t-repeat", "render/TextRenderer.cpp", "GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE",
          "GL_TEXTURE_WRAP_T, GL_REPEAT",
          "a glyph's top edge does not bleed its bottom edge's ink"),
    Fault("glyph-min-nearest", "render/TextRenderer.cpp", "GL_TEXTURE_MIN_FILTER, GL_LINEAR",
          "GL_TEXTURE_MIN_FILTER, GL_NEAREST", "text drawn smaller than its bitmap stays smooth"),
    Fault("glyph-mag-nearest", "render/TextRenderer.cpp", "GL_TEXTURE_MAG_FILTER, GL_LINEAR",
          "GL_TEXTURE_MAG_FILTER, GL_NEAREST", "text drawn larger than its bitmap stays smooth"),
    Fault("shadow-near-0.1", "pipeline/PipelineConstants.h", "kShadowNear = 1.0f;",
          "kShadowNear = 0.1f;", "casters within 1 unit of the light are clipped, cast nothing"),
    Fault("shadow-far-25", "pipeline/PipelineConstants.h", "kShadowFar = 25.0f;",
          "kShadowFar = 50.0f;", "the cube map covers 25 units around the light"),
    Fault("bloom-targets-rgb8", "pipeline/BloomRenderer.cpp",
          "glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, width,",
          "glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width,",
          "HDR targets must hold colours above 1.0, or bright parts clip before tone mapping"),
    Fault("composite-other-pingpong", "pipeline/BloomRenderer.cpp",
          "glBindTexture(GL_TEXTURE_2D, pingpongColorBuffers[0]);",
          "glBindTexture(GL_TEXTURE_2D, pingpongColorBuffers[1]);",
          "the composite reads target 0, last written by the blur"),
    Fault("blur-passes-10", "pipeline/BloomRenderer.cpp", "i < kBlurPasses;",
          "i < kBlurPasses - 2;", "ten passes give the glow its width"),
    Fault("blur-reads-scene", "pipeline/BloomRenderer.cpp",
          "glBindTexture(GL_TEXTURE_2D, colorBuffers[1]);\n            renderQuad();",
          "glBindTexture(GL_TEXTURE_2D, colorBuffers[0]);\n            renderQuad();",
          "only the bright part glows, not the whole scene"),
    Fault("exposure-1", "pipeline/BloomRenderer.cpp", "exposure(kExposure)", "exposure(0.5f)",
          "tone mapping at exposure 1.0 sets the picture's brightness"),
    Fault("objects-drawn-in-window", "pipeline/BloomRenderer.cpp",
          "    glBindFramebuffer(GL_FRAMEBUFFER, hdrFBO);\n"
          "    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);\n    drawObjects",
          "    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);\n    drawObjects",
          "with bloom the objects go into the HDR target"),
    Fault("skybox-drawn-in-window", "pipeline/BloomRenderer.cpp", BLOOM_SKYBOX,
          BLOOM_SKYBOX.replace("    glBindFramebuffer(GL_FRAMEBUFFER, hdrFBO);\n", "")
          .replace("    glDrawBuffers(2, kSceneColourOnly);\n", "")
          .replace("    glDrawBuffers(2, kDrawBuffers);\n", ""),
          "the skybox goes into the HDR scene colour"),
    Fault("skybox-before-blur", "pipeline/BloomRenderer.cpp", BLOOM_BLUR + "    // 4",
          BLOOM_SKYBOX.replace("    glDrawBuffers(2, kSceneColourOnly);\n", "") +
          "    glBindFramebuffer(GL_FRAMEBUFFER, 0);\n" + BLOOM_BLUR + "    // 4",
          "the skybox never glows: it is drawn after the blur took the bright colour"),
    Fault("composite-scene-from-glow", "pipeline/BloomRenderer.cpp",
          "glBindTexture(GL_TEXTURE_2D, colorBuffers[0]);",
          "glBindTexture(GL_TEXTURE_2D, colorBuffers[1]);",
          "the composite's scene is colour buffer 0, not the bright colour"),
    Fault("composite-glow-on-unit-0", "pipeline/BloomRenderer.cpp",
          "    glActiveTexture(GL_TEXTURE0 + kBloomBlurUnit);\n"
          "    glBindTexture(GL_TEXTURE_2D, pingpongColorBuffers[0]);",
          "    glActiveTexture(GL_TEXTURE0 + kSceneUnit);\n"
          "    glBindTexture(GL_TEXTURE_2D, pingpongColorBuffers[0]);",
          "the composite reads the blurred glow on unit 2, the scene on unit 0"),
    Fault("bloom-target-min-nearest", "pipeline/BloomRenderer.cpp",
          "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);",
          "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);",
          "the blur's taps average texels"),
    Fault("bloom-target-min-mipmapped", "pipeline/BloomRenderer.cpp",
          "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);",
          "glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);",
          "render targets have no mipmaps: a mipmap filter leaves them incomplete, black"),
    Fault("bloom-target-wrap-s", "pipeline/BloomRenderer.cpp",
          "GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE", "GL_TEXTURE_WRAP_S, GL_REPEAT",
          "glow at the window's left edge does not wrap round to its right edge"),
    Fault("bloom-target-wrap-t", "pipeline/BloomRenderer.cpp",
          "GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE", "GL_TEXTURE_WRAP_T, GL_REPEAT",
          "glow at the window's bottom edge does not wrap round to its top edge"),
    Fault("shadow-map-mag-linear", "pipeline/DepthCubeMap.cpp",
          "GL_TEXTURE_MAG_FILTER, GL_NEAREST", "GL_TEXTURE_MAG_FILTER, GL_LINEAR",
          "the lit program compares stored distances, never a blend of two casters' distances"),
    Fault("shadow-map-min-linear", "pipeline/DepthCubeMap.cpp",
          "GL_TEXTURE_MIN_FILTER, GL_NEAREST", "GL_TEXTURE_MIN_FILTER, GL_LINEAR",
          "the lit program compares stored distances, never a blend of two casters' distances"),
    Fault("face-up-vectors", "pipeline/ShadowPass.cpp", "{0, -1, 0}, {0, -1, 0}, {0, 0, 1},",
          "{0, -1, 0}, {0, -1, 0}, {0, 0, -1},", "GL's cube faces fix each face's up vector"),
    Fault("light-follows-with-shadows", "pipeline/ScenePass.cpp",
          "flags.movingLightOn && !flags.shadowsOn && robot.model != nullptr",
          "flags.movingLightOn && robot.model != nullptr",
          "the cube map is built around the fixed light: with shadows on, L moves nothing"),
    Fault("light-off-the-body", "pipeline/ScenePass.cpp", "robot.model->modelMatrix[3]",
          "robot.model->modelMatrix[2]", "the moving light sits at the body's origin"),
    Fault("aspect-inverted", "pipeline/ScenePass.cpp",
          "static_cast<float>(width) / static_cast<float>(height)",
          "static_cast<float>(height) / static_cast<float>(width)",
          "the projection's aspect is the window's width over its height"),
    Fault("zoom-as-degrees", "pipeline/ScenePass.cpp", "glm::perspective(camera.zoom,",
          "glm::perspective(glm::radians(camera.zoom),",
          "the zoom, 45, goes over as radians: the game's wide look"),
    Fault("view-at-front-only", "pipeline/ScenePass.cpp",
          "camera.position + camera.front, camera.up",
          "camera.front, camera.up", "the camera looks along its front from where it stands"),
    Fault("shadows-lose-to-normal-map", "pipeline/ScenePass.cpp",
          "    if (flags.shadowsOn)\n        return {",
          "    if (flags.shadowsOn && !flags.normalMapOn)\n        return {",
          "shadows win over normal mapping: both are on in the first frame"),
    Fault("normal-map-for-objects", "pipeline/ScenePass.cpp",
          "return {programs.normalMapping, programs.basicLightingBloom, programs.modelShader};",
          "return {programs.normalMapping, programs.normalMapping, programs.modelShader};",
          "only the track has a normal map; the robot and the stones are lit plainly"),
    Fault("shadowed-sky-lit", "pipeline/ScenePass.cpp",
          "programs.basicLightingBloomShadow,\n                programs.modelShader};",
          "programs.basicLightingBloomShadow,\n                programs.basicLightingBloomShadow};",
          "the skybox and the planet are unlit whatever the flags"),
    Fault("lit-light-colour-fixed", "pipeline/ScenePass.cpp",
          'setUniform(lit.programId, "lightColor", lightColor);',
          'setUniform(lit.programId, "lightColor", glm::vec3(1.0f));',
          "the lit programs take the game's light colour"),
    Fault("lit-shine-damper", "pipeline/ScenePass.cpp",
          'setUniform(lit.programId, "shineDamper", kShineDamper);',
          'setUniform(lit.programId, "shineDamper", kReflectivity);',
          "the highlight's exponent is 30 in every lit program"),
    Fault("lit-reflectivity", "pipeline/ScenePass.cpp",
          'setUniform(lit.programId, "reflectivity", kReflectivity);',
          'setUniform(lit.programId, "reflectivity", 0.5f);',
          "the highlight's strength is 1 in every lit program"),
    Fault("lit-light-fixed", "pipeline/ScenePass.cpp",
          'setUniform(lit.programId, "lightPos", lightPos);',
          'setUniform(lit.programId, "lightPos", kFixedLightPos);',
          "with L the plainly lit objects are lit from the robot"),
    Fault("lit-projection-unset", "pipeline/ScenePass.cpp",
          '        setUniform(lit.programId, "projection", matrices.projection);\n', "",
          "the lit programs draw through the camera's projection"),
    Fault("normal-map-light-name", "pipeline/ScenePass.cpp",
          'setUniform(normalMapping, "lightPosition", lightPos);',
          'setUniform(normalMapping, "lightPos", lightPos);',
          "NormalMapping names its light lightPosition"),
    Fault("normal-map-colour-fixed", "pipeline/ScenePass.cpp",
          'setUniform(normalMapping, "lightColor", lightColor);',
          'setUniform(normalMapping, "lightColor", glm::vec3(1.0f));',
          "the normal-mapped track takes the game's light colour"),
    Fault("normal-map-reflectivity", "pipeline/ScenePass.cpp",
          'setUniform(normalMapping, "reflectivity", kReflectivity);',
          'setUniform(normalMapping, "reflectivity", 0.5f);',
          "the track's highlight is as strong as the other programs'"),
    Fault("normal-map-eye-at-light", "pipeline/ScenePass.cpp",
          'setUniform(normalMapping, "viewPosition", cameraPosition);',
          'setUniform(normalMapping, "viewPosition", lightPos);',
          "the highlight is seen from the camera"),
    Fault("normal-map-projection-unset", "pipeline/ScenePass.cpp",
          '    setUniform(normalMapping, "projection", matrices.projection);\n', "",
          "the normal-mapped track draws through the camera's projection"),
    Fault("model-shader-view-unset", "pipeline/ScenePass.cpp",
          '    setUniform(modelShader, "view", matrices.view);\n', "",
          "the skybox and the planet are seen from the camera"),
    Fault("shadowed-eye-at-light", "pipeline/ScenePass.cpp",
          'setUniform(shadowed, "viewPos", cameraPosition);',
          'setUniform(shadowed, "viewPos", lightPos);', "the highlight is seen from the camera"),
    Fault("shadowed-far-plane-near", "pipeline/ScenePass.cpp",
          'setUniform(shadowed, "far_plane", kShadowFar);',
          'setUniform(shadowed, "far_plane", kShadowNear);',
          "the lit program scales the stored distances back by the far plane, 25"),
    Fault("shadow-step-window-unbound", "pipeline/ScenePass.cpp",
          "    glBindFramebuffer(GL_FRAMEBUFFER, 0);\n    glViewport(0, 0, targets.width",
          "    glViewport(0, 0, targets.width",
          "after the shadow pass the world draws into the window, not the cube map"),
    Fault("shadow-step-viewport-kept", "pipeline/ScenePass.cpp",
          "    glViewport(0, 0, targets.width, targets.height);\n", "",
          "the shadow pass leaves the cube face's viewport, 1024 square"),
    Fault("track-without-cube-map", "pipeline/ScenePass.cpp", "robot.ball, world.track->model})",
          "robot.ball})", "the track's shadows are read from the cube map"),
    Fault("robot-without-cube-map", "pipeline/ScenePass.cpp",
          "world.planet->model, robot.model, robot.ball", "world.planet->model, robot.ball",
          "the robot's body is shadowed like the rest"),
    Fault("stones-without-cube-map", "pipeline/ScenePass.cpp",
          "        if (stone != nullptr)\n            setCubeMap(stone->model, depthMap);",
          "        if (false)\n            setCubeMap(stone->model, depthMap);",
          "the stones are shadowed like the rest"),
    Fault("ball-casts-nothing", "pipeline/ScenePass.cpp", "depthMap, robot.model, robot.ball,",
          "depthMap, robot.model, nullptr,", "the ball casts a shadow"),
    Fault("shadow-pass-after-world", "pipeline/ScenePass.cpp", SCENE_SHADOW + SCENE_WORLD,
          SCENE_WORLD + SCENE_SHADOW, "the cube map is made before the lit scene reads it"),
    Fault("uniforms-after-world", "pipeline/ScenePass.cpp",
          SCENE_UNIFORMS + "    // Shadow cube map around the light, then the window again.\n" +
          SCENE_SHADOW + SCENE_WORLD,
          SCENE_SHADOW + SCENE_WORLD + SCENE_UNIFORMS,
          "a frame draws with its own camera and light, not the previous frame's"),
    Fault("bloom-roles-swapped", "pipeline/ScenePass.cpp",
          "skybox, roles.sky, roles.objects, targets.passEnd);",
          "skybox, roles.objects, roles.sky, targets.passEnd);", "bloom draws each role with its own program"),
    Fault("bloom-track-as-objects", "pipeline/ScenePass.cpp", "targets.bloom->render(roles.first,",
          "targets.bloom->render(roles.objects,", "with bloom the track keeps its normal map"),
    Fault("depth-left-for-text", "pipeline/ScenePass.cpp",
          "    glClear(GL_DEPTH_BUFFER_BIT);\n    return lightPos;", "    return lightPos;",
          "the text overlay draws over the scene"),
    Fault("shadowed-program-not-uploaded", "pipeline/ScenePass.cpp",
          "{programs.basicLightingBloomShadow, programs.basicLightingBloom}",
          "{programs.basicLightingBloom}",
          "the shadowed program takes its camera, light and material from the frame's one upload"),
    Fault("hidden-to-220-open", "pipeline/WorldDraw.cpp", "ringAngle <= kHiddenStoneTo",
          "ringAngle < kHiddenStoneTo", "a stone at exactly 220 degrees is hidden"),
    Fault("shadowless-to-200-open", "pipeline/WorldDraw.cpp", "ringAngle <= kShadowlessStoneTo",
          "ringAngle < kShadowlessStoneTo", "a stone at exactly 200 degrees casts no shadow"),
    Fault("hidden-from-183-open", "pipeline/WorldDraw.cpp",
          "ringAngle >= kHiddenStoneFrom && ringAngle <= kHiddenStoneTo",
          "ringAngle > kHiddenStoneFrom && ringAngle <= kHiddenStoneTo",
          "a stone at exactly 183 degrees is hidden"),
    Fault("shadowless-from-183-open", "pipeline/WorldDraw.cpp",
          "ringAngle >= kHiddenStoneFrom && ringAngle <= kShadowlessStoneTo",
          "ringAngle > kHiddenStoneFrom && ringAngle <= kShadowlessStoneTo",
          "a stone at exactly 183 degrees casts no shadow"),
    Fault("hidden-by-shadowless-range", "pipeline/WorldDraw.cpp",
          "stone != nullptr && isHiddenStone(stone->ringAngle)",
          "stone != nullptr && isShadowlessStone(stone->ringAngle)",
          "stones up to 220 degrees are hidden, not only those up to 200"),
    Fault("shadowless-by-hidden-range", "pipeline/WorldDraw.cpp",
          "stone == nullptr || isShadowlessStone(stone->ringAngle)",
          "stone == nullptr || isHiddenStone(stone->ringAngle)",
          "stones past 200 degrees cast shadows though they are hidden"),
    Fault("shadow-test-reversed", "Shader/BasicLightingBloomShadow.fragment",
          "(far_plane - depth * (far_plane - kShadowNear)) > far_plane * kShadowNear;",
          "(far_plane - depth * (far_plane - kShadowNear)) < far_plane * kShadowNear;",
          "a fragment is shadowed when a caster lies nearer the light"),
    Fault("hdr-glow-output-left-off", "pipeline/BloomRenderer.cpp", BLOOM_SKYBOX,
          BLOOM_SKYBOX.replace("    glDrawBuffers(2, kDrawBuffers);\n", ""),
          "the HDR target takes the glow output again after the skybox, for the next frame"),
    Fault("depth-written-halved", "Shader/DepthShader.fragment",
          "void main() {\n}", "void main() {\n    gl_FragDepth = 0.5 * gl_FragCoord.z;\n}",
          "the cube map keeps the light projection's own depth"),
    Fault("lit-shadow-near-plane", "Shader/BasicLightingBloomShadow.fragment",
          "const float kShadowNear = 1.0;", "const float kShadowNear = 0.1;",
          "the lit program decodes the depth with the depth pass's near plane, 1.0"),
    Fault("shadow-axis-share-dropped", "Shader/BasicLightingBloomShadow.fragment",
          "float alongAxis = distance * max(a.x, max(a.y, a.z));",
          "float alongAxis = distance;",
          "the depth is a distance along the face's axis, not along the ray"),
    Fault("gl-layer-shifted", "Shader/DepthShader.geometry", EMIT,
          EMIT.replace("gl_Layer = face;", "gl_Layer = (face + 1) % 6;"),
          "layer i of the cube map is face i of the shadow matrices"),
    Fault("depth-skips-back-faces", "Shader/DepthShader.geometry",
          "void main() {\n    // Every triangle",
          "uniform vec3 lightPos;\nvoid main() {\n    vec3 c = gl_in[0].gl_Position.xyz;\n"
          "    if (dot(cross(gl_in[1].gl_Position.xyz - c, gl_in[2].gl_Position.xyz - c), c - lightPos)"
          " > 0.0)\n        return;\n    // Every triangle",
          "a one-sided caster turned away from the light still throws a shadow"),
    Fault("bright-threshold", "Shader/BasicLightingBloom.fragment",
          "dot(color, kLuminance) > 1.0", "dot(color, kLuminance) > 0.5",
          "only luminance above 1.0 glows"),
    Fault("basic-glow-below", "Shader/BasicLightingBloom.fragment",
          "dot(color, kLuminance) > 1.0 ?",
          "dot(color, kLuminance) < 1.0 ?", "the bright part glows, not the dim part"),
    Fault("basic-glow-when-dim", "Shader/BasicLightingBloom.fragment", DIM_GLOW,
          ": vec4(color, 1.0);",
          "below the threshold nothing glows: the bright colour is black"),
    Fault("basic-glow-slot", "Shader/BasicLightingBloom.fragment", GLOW_SLOTS,
          GLOW_SLOTS.replace("= 0", "= 2").replace("= 1", "= 0").replace("= 2", "= 1"),
          "output 0 is the scene colour, output 1 the glow: the bloom target's attachments"),
    Fault("normal-map-bright-threshold", "Shader/NormalMapping.fragment",
          "dot(color, kLuminance) > 1.0", "dot(color, kLuminance) > 0.5",
          "only luminance above 1.0 glows"),
    Fault("normal-map-glow-below", "Shader/NormalMapping.fragment",
          "dot(color, kLuminance) > 1.0 ?",
          "dot(color, kLuminance) < 1.0 ?", "the bright part glows, not the dim part"),
    Fault("normal-map-glow-when-dim", "Shader/NormalMapping.fragment", DIM_GLOW,
          ": vec4(color, 1.0);",
          "below the threshold nothing glows: the bright colour is black"),
    Fault("normal-map-glow-slot", "Shader/NormalMapping.fragment", GLOW_SLOTS,
          GLOW_SLOTS.replace("= 0", "= 2").replace("= 1", "= 0").replace("= 2", "= 1"),
          "output 0 is the scene colour, output 1 the glow: the bloom target's attachments"),
    Fault("shadowed-bright-threshold", "Shader/BasicLightingBloomShadow.fragment",
          "dot(color, kLuminance) > 1.0", "dot(color, kLuminance) > 0.5",
          "only luminance above 1.0 glows"),
    Fault("shadowed-glow-below", "Shader/BasicLightingBloomShadow.fragment",
          "dot(color, kLuminance) > 1.0 ?",
          "dot(color, kLuminance) < 1.0 ?", "the bright part glows, not the dim part"),
    Fault("shadowed-glow-when-dim", "Shader/BasicLightingBloomShadow.fragment", DIM_GLOW,
          ": vec4(color, 1.0);",
          "below the threshold nothing glows: the bright colour is black"),
    Fault("shadowed-glow-slot", "Shader/BasicLightingBloomShadow.fragment", GLOW_SLOTS,
          GLOW_SLOTS.replace("= 0", "= 2").replace("= 1", "= 0").replace("= 2", "= 1"),
          "output 0 is the scene colour, output 1 the glow: the bloom target's attachments"),
    Fault("tbn-not-transposed", "Shader/NormalMapping.vertex",
          "mat3 toTangent = transpose(mat3(t, b, n));", "mat3 toTangent = mat3(t, b, n);",
          "world to tangent space is the inverse (transpose) of the TBN basis"),
    Fault("text-alpha-not-red", "Shader/TextShader.fragment", "texture(text, TexCoords).r",
          "texture(text, TexCoords).a", "glyph coverage lives in the red channel"),
    Fault("obj-faces-unfiltered", "render/ObjFaceFilter.cpp", 'if (keyword == "f" &&',
          'if (keyword == "F" &&', "a face naming a missing vt drops the mesh's whole uv channel"),
    Fault("obj-relative-from-file-end", "render/ObjFaceFilter.cpp",
          "declaredSoFar + value >= 0;", "declaredInFile + value >= 0;",
          "a negative index counts back from the last element declared before the face"),
    Fault("obj-forward-reference-refused", "render/ObjFaceFilter.cpp",
          "faceNamesOnlyDeclared(tokens, soFar, inFile)",
          "faceNamesOnlyDeclared(tokens, soFar, soFar)",
          "a face may name an element declared after it"),
    Fault("vertex-bound-float-max", "render/Model.cpp", "kMaxVertexValue = 1.0e6f;",
          "kMaxVertexValue = 3.0e38f;", "a 1e38 position overflows the world's sums and squares"),
    Fault("normals-unchecked", "render/Model.cpp",
          "glm::all(glm::lessThanEqual(glm::abs(vertex.normal), bound)) &&", "",
          "a huge normal overflows the shader's normalize"),
    Fault("filtered-faces-unreported", "render/Model.cpp", "leftOut = filter.leftOut;",
          "leftOut = 0;", "faces the filter took out count in the one message"),
    Fault("extents-over-every-vertex", "render/Model.cpp",
          "for (const unsigned int index : mesh.indices) {\n"
          "            const Vertex& vertex = mesh.vertices[index];",
          "for (const Vertex& vertex : mesh.vertices) {",
          "vertices of faces left out must not stretch the extents"),
    Fault("png-size-after-decode", "render/TextureFile.cpp",
          "!driverHoldsTexture(headerWidth, headerHeight)) {", "false) {",
          "a PNG too large for the driver is refused from its header, before decoding"),
    Fault("png-size-by-max-only", "render/TextureFile.cpp",
          "!driverHoldsTexture(headerWidth, headerHeight)) {",
          "(headerWidth > 16384 || headerHeight > 16384)) {",
          "the driver's proxy answer, not GL_MAX_TEXTURE_SIZE alone, says what it can hold"),
    Fault("decoded-size-unchecked", "render/TextureFile.cpp",
          "} else if (!driverHoldsTexture(width, height)) {", "} else if (false) {",
          "an image that is not a PNG is checked against the driver after decoding"),
    Fault("image-failure-silent", "render/TextureFile.cpp",
          "        reportFailure(file, SOIL_last_result());\n", "",
          "an unreadable image says so in one line"),
    Fault("texture-wrap-s-clamped", "render/TextureFile.cpp", "GL_TEXTURE_WRAP_S, GL_REPEAT",
          "GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE", "texture coordinates past 1 repeat the image"),
    Fault("texture-wrap-t-clamped", "render/TextureFile.cpp", "GL_TEXTURE_WRAP_T, GL_REPEAT",
          "GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE", "texture coordinates past 1 repeat the image"),
    Fault("texture-mipmaps-missing", "render/TextureFile.cpp",
          "    glGenerateMipmap(GL_TEXTURE_2D);\n",
          "", "the trilinear filter needs every mipmap level"),
    Fault("window-size-zero-passes", "app/WindowSize.cpp", "if (width <= 0 || height <= 0)",
          "if (width < 0 || height < 0)", "GLFW refuses a zero size without a word of why"),
    Fault("x11-side-unsigned", "app/WindowSize.h", "kMaxX11WindowSide = 32767;",
          "kMaxX11WindowSide = 65535;", "a side past 32767 ends the game in an X error"),
    Fault("viewport-dims-swapped", "app/WindowSize.cpp",
          "exceeds(limits.viewportWidth, limits.viewportHeight)",
          "exceeds(limits.viewportHeight, limits.viewportWidth)",
          "GL_MAX_VIEWPORT_DIMS gives the width first"),
    Fault("bloom-proxy-ignored", "app/GameWindow.cpp",
          "limits.bloomTargetFits = driverHoldsTexture(width, height);",
          "limits.bloomTargetFits = true;",
          "16384 by 16384 fits every GL limit but no RGB16F target: a black window of GL errors"),
    Fault("gl-size-unchecked", "app/GameWindow.cpp",
          "    if (!glProblem.empty())\n        failToOpenWindow(window, glProblem);\n", "",
          "20000 by 600 opens a window whose targets the driver refuses every frame"),
    Fault("glfw-reasons-silent", "app/GameWindow.cpp", "    glfwSetErrorCallback(printGlfwError);",
          "", "a failed glfwInit must say why"),
    Fault("repeats-within-the-second", "app/RepeatFolder.cpp",
          "now - repeats.lastLine >= RepeatFolder::kCountPeriod",
          "now - repeats.lastLine >= 0.0", "a count line per copy is the flood again"),
    Fault("repeat-count-kept", "app/RepeatFolder.cpp", "    repeats = Repeats{0, now};",
          "    repeats.lastLine = now;", "each count line counts the copies since the last one"),
    Fault("kinds-past-the-cap", "app/RepeatFolder.cpp", "seen.size() < kMaxKinds",
          "seen.size() <= kMaxKinds", "the memory of message kinds is bounded"),
    Fault("flush-prints-twice", "app/RepeatFolder.cpp", "        repeats.count = 0;\n", "",
          "a held count prints once"),
    Fault("best-written-in-place", "app/ScoreFilesPosix.cpp", "const int fd = mkostemp(&temp[0], O_CLOEXEC);",
          "temp = path;\n    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);",
          "a kill between the truncation and the write leaves an empty best-score file"),
    Fault("best-not-reread", "app/BestScore.cpp", "const int other = stored(err);",
          "const int other = best;", "a game must not lower the best another game saved"),
    Fault("best-corrupt-over-earlier", "app/ScoreFilesPosix.cpp",
          '(i > 0 ? "." + std::to_string(i) : "")', '""',
          "a bad file is set aside without destroying an earlier one"),
    Fault("best-saved-unplayed", "app/BestScore.cpp", "(!state.paused && !state.startScreen",
          "(!state.startScreen", "help over the title is no game: its score is not kept"),
    Fault("title-left-shifted", "app/Hud.cpp", "static_cast<float>(W / 2 - 100);",
          "static_cast<float>(W / 2 - 90);", "the title starts 110 pixels left of the centre"),
    Fault("title-top-lower", "app/Hud.cpp", "const float top = static_cast<float>(H - 100);",
          "const float top = static_cast<float>(H - 120);",
          "the title's baseline is 100 pixels under the top"),
    Fault("title-halves-fractional", "app/Hud.cpp", "static_cast<float>(W / 2 - 100);",
          "W * 0.5f - 100.0f;", "halves are integer divisions: text starts on whole pixels"),
    Fault("title-start-text", "app/Hud.cpp", "\"Press 'Enter' to start\"",
          "\"Press 'Enter' to Start\"", "the title's words"),
    Fault("title-help-small", "app/Hud.cpp", "draw(fonts.menu, \"Press 'F1' for help\"",
          "draw(fonts.small, \"Press 'F1' for help\"", "both title lines use the 30 px font"),
    Fault("title-help-row", "app/Hud.cpp", "left + 20.0f, top - 100.0f",
          "left + 20.0f, top - 90.0f", "the help line sits 40 pixels under the start line"),
    Fault("help-second-column", "app/Hud.cpp", "x1 * 0.5f - 40.0f", "x1 - 40.0f",
          "the second help column starts left of the first"),
    Fault("help-top", "app/Hud.cpp", "const float top = static_cast<float>(H - 50);",
          "const float top = static_cast<float>(H - 40);", "help starts 50 pixels under the top"),
    Fault("help-keys-in-menu-font", "app/Hud.cpp", "draw(fonts.small, line.text, x1,",
          "draw(fonts.menu, line.text, x1,", "help is in the 20 px font"),
    Fault("help-columns-on-one-row", "app/Hud.cpp", "x2, top - line.offset);",
          "x2, top);", "each help line has its own row"),
    Fault("hearts-one-short", "app/Hud.cpp", "hearts(state.hits)", "hearts(state.hits + 1)",
          "three hearts before the first hit, one fewer per hit"),
    Fault("hearts-in-menu-font", "app/Hud.cpp", "draw(fonts.heart, hearts",
          "draw(fonts.menu, hearts",
          "a heart is the heart font's T"),
    Fault("game-over-third", "app/Hud.cpp", "const float y = static_cast<float>(H - H / 4);",
          "const float y = static_cast<float>(H - H / 3);", "game over sits a quarter down"),
    Fault("score-under-game-over", "app/Hud.cpp", "y - static_cast<float>(H / 8);",
          "y - static_cast<float>(H / 10);", "the final score sits an eighth of the height lower"),
    Fault("final-score-text", "app/Hud.cpp", '"Score: " + std::to_string(state.score)',
          '"Score " + std::to_string(state.score)', "the final score reads Score: N"),
    Fault("best-step-halved", "app/Hud.cpp", "scoreY - kBestStep", "scoreY - kBestStep / 2",
          "the best's 22 px of ascent stay clear of the score's descent"),
    Fault("best-not-marked-new", "app/Hud.cpp", '(best.isNew ? " (new)" : "")', '""',
          "a best this game set says (new)"),
    Fault("best-shows-the-score", "app/Hud.cpp", '"Best: " + std::to_string(best.best)',
          '"Best: " + std::to_string(state.score)', "the best line shows the best score"),
    Fault("corner-score-left", "app/Hud.cpp", "static_cast<float>(W) - 60.0f",
          "static_cast<float>(W) - 50.0f", "the running score starts 60 pixels from the right"),
    Fault("pause-left", "app/Hud.cpp", '"Pause", static_cast<float>(W / 2 - 50)',
          '"Pause", static_cast<float>(W / 2 - 100)', "Pause starts 50 pixels left of the centre"),
    Fault("labels-left", "app/Hud.cpp", "labelX = static_cast<float>(W / 2) + 250.0f",
          "labelX = static_cast<float>(W / 2) + 200.0f",
          "the labels start 250 pixels right of the centre"),
    Fault("bloom-label-row", "app/Hud.cpp", '"Bloom: ON", labelX, 60.0f',
          '"Bloom: ON", labelX, 80.0f', "the bloom label has the row between the others"),
    Fault("moving-light-label-row", "app/Hud.cpp", '"Moving Light: ON", labelX, 80.0f',
          '"Moving Light: ON", labelX, 40.0f', "the moving light shares the mipmap label's row"),
    Fault("shadow-label-text", "app/Hud.cpp", '"Shadow Map: ON"', '"Shadow: ON"',
          "the shadow label's words"),
    Fault("normal-map-label-unshown", "app/Hud.cpp",
          '    if (screens.normalMapLabel)\n'
          '        draw(fonts.small, "Normal Map: ON", labelX, 40.0f);\n',
          "", "the normal map label shows while normal mapping is on"),
    # Windows only: run under Wine through the cross build's unit tier.
    Fault("windows-best-not-replaced", "app/ScoreFilesWindows.cpp",
          "MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH", "MOVEFILE_WRITE_THROUGH",
          "without the flag no save after the first can replace the file"),
    Fault("windows-best-written-in-place", "app/ScoreFilesWindows.cpp",
          "        temp = tempPrefix + randomLetters();\n", "        temp = path;\n",
          "a kill between the truncation and the write leaves an empty best-score file"),
    Fault("windows-games-do-not-take-turns", "app/ScoreFilesWindows.cpp",
          "    locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) != 0;",
          "    locked = true;", "two games saving at once remove each other's temporary files"),
    Fault("windows-corrupt-over-earlier", "app/ScoreFilesWindows.cpp",
          '(i > 0 ? "." + std::to_string(i) : "")', '""',
          "a bad file is set aside without destroying an earlier one"),
    Fault("windows-path-as-ansi", "app/ScoreFilesWindows.cpp",
          "CreateFileW(widen(path).c_str(), GENERIC_READ,",
          "CreateFileW(std::wstring(path.begin(), path.end()).c_str(), GENERIC_READ,",
          "a home folder named with letters outside ASCII must still hold the best score"),
    Fault("windows-folder-not-made", "app/ScoreFilesWindows.cpp",
          "        CreateDirectoryW(widen(folder.substr(0, at)).c_str(), nullptr);\n", "",
          "a first save makes the game's folder under AppData"),
    Fault("icon-eyes-both-right", "tools/assets/icon.py",
          "self.px(-wx if mirror else wx, wy)", "self.px(wx, wy)",
          "the icon's face has a left eye too"),
    Fault("icon-opaque-square", "tools/assets/icon.py",
          "np.zeros((SIZE, SIZE, 3)), np.zeros((SIZE, SIZE))",
          "np.zeros((SIZE, SIZE, 3)), np.ones((SIZE, SIZE))",
          "desktops draw the icon on their own background"),
    Fault("icon-face-cut-off", "tools/assets/icon.py",
          "max(right - left, top - bottom)", "min(right - left, top - bottom)",
          "the face fits the square, ears and lamp included"),
]


def check_faults(root):
    """Every original must occur exactly once, or the table has gone stale."""
    problems = []
    names = [fault.name for fault in FAULTS]
    problems += ["duplicate name " + n for n in sorted(set(names)) if names.count(n) > 1]
    for fault in FAULTS:
        path = os.path.join(root, fault.path)
        if not os.path.isfile(path):
            problems.append(f"{fault.name}: {fault.path} does not exist")
            continue
        with open(path) as f:
            count = f.read().count(fault.original)
        if count != 1:
            problems.append(f"{fault.name}: original text found {count} times in {fault.path}")
    return problems


def skipped(relative):
    top = relative.split(os.sep)[0]
    return (top in (".git", "External") or top.startswith("build")
            or "__pycache__" in relative.split(os.sep))


def tree_files(top):
    for folder, dirs, names in os.walk(top):
        relative = os.path.relpath(folder, top)
        dirs[:] = [d for d in dirs if not skipped(os.path.normpath(os.path.join(relative, d)))]
        yield from (os.path.normpath(os.path.join(relative, name)) for name in names)


def mirror(root, scratch):
    """Copies changed files only: unchanged ones keep their times and their objects stay valid.
    A changed file gets the current time, so the build always sees it as new."""
    wanted = set(tree_files(root))
    for path in wanted:
        source, target = os.path.join(root, path), os.path.join(scratch, path)
        if not os.path.isfile(target) or not filecmp.cmp(source, target, shallow=False):
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copyfile(source, target)
            shutil.copymode(source, target)
    for path in set(tree_files(scratch)) - wanted:
        os.remove(os.path.join(scratch, path))


def run(command, cwd, timeout):
    """(exit status or None after a timeout, output). A timeout ends the whole process group."""
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True, start_new_session=True)
    try:
        output, _ = process.communicate(timeout=timeout)
        return process.returncode, output
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        output, _ = process.communicate()
        return None, output


def culprit(status, output):
    """The first failing test of a failed run, or how the run ended."""
    if status is None:
        return "hung (timeout)"
    match = re.search(r"^\[  FAILED  \] (\S+)", output, re.M) or \
        re.search(r"^(?:FAIL|ERROR): (\S+)", output, re.M) or \
        re.search(r"Test +#\d+: (\S+) \.*\**(?:Failed|Timeout|Exception)", output)
    if match:
        return match.group(1)
    if status < 0:
        return "crashed (" + signal.Signals(-status).name + ")"
    return f"exit status {status}"


def start_xvfb():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                               "1280x1024x24", "-nolisten", "tcp", "-noreset"],
                              pass_fds=(write_end,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        sys.exit("Xvfb did not start")
    os.environ["DISPLAY"] = ":" + number
    return server


def windows_only(fault):
    return "Windows" in os.path.basename(fault.path)


def tiers(fault, build, e2e):
    """The tiers that can see the fault; without one, every tier (the baseline run)."""
    if fault and windows_only(fault):  # the cross build's unit tier, under Wine
        return [("wine", ["/usr/bin/wine", build + "-windows/unit_tests.exe",
                          "--gtest_brief=1", "--gtest_fail_fast"])]
    assets = ("assets", ["/usr/bin/python3", os.path.join(os.path.dirname(build), "tests",
                                                          "assets", "test_make_assets.py")])
    if fault and fault.path.startswith("tools/"):  # the asset generator has a test of its own
        return [assets]
    gtest = ["--gtest_brief=1", "--gtest_fail_fast"]
    chosen = [] if fault and fault.path.startswith("Shader/") else \
        [("unit", [os.path.join(build, "unit_tests")] + gtest)]
    chosen.append(("gl", [os.path.join(build, "gl_tests")] + gtest))
    if e2e:
        chosen.append(("e2e", ["ctest", "-L", "e2e", "--stop-on-failure", "--output-on-failure"]))
    return chosen + ([] if fault else [assets])


def judge(fault, scratch, build_commands, tier_commands, limits):
    """Plants the fault, rebuilds and runs the tiers in order (in the build folder, as the game
    runs); the file is restored whatever happens, and the next build recompiles it."""
    path = os.path.join(scratch, fault.path)
    with open(path) as f:
        original = f.read()
    try:
        with open(path, "w") as f:
            f.write(original.replace(fault.original, fault.replacement))
        if run(build_commands["windows" if windows_only(fault) else "linux"], scratch,
               None)[0] != 0:
            return "INVALID", "does not compile: fix the fault in the table"
        for tier, command in tier_commands:
            status, output = run(command, os.path.join(scratch, "build"), limits[tier])
            if status != 0:
                return "KILLED", f"{tier}: {culprit(status, output)}"
        return "SURVIVED", ""
    finally:
        with open(path, "w") as f:
            f.write(original)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--e2e", action="store_true", help="also run the end-to-end tier")
    parser.add_argument("--only", nargs="+", metavar="NAME_SUBSTRING", help="faults to run")
    parser.add_argument("--list", action="store_true", help="list the faults and stop")
    parser.add_argument("--scratch", default="/tmp/zelto-mutate", help="scratch tree and build")
    parser.add_argument("--jobs", type=int, default=2, help="parallel compile jobs")
    args = parser.parse_args()

    problems = check_faults(ROOT)
    if problems:
        sys.exit("The fault table no longer matches the sources:\n  " + "\n  ".join(problems))
    faults = [f for f in FAULTS if not args.only or any(s in f.name for s in args.only)]
    if not faults:
        sys.exit("no fault name contains " + " or ".join(args.only))
    if args.list:
        for fault in faults:
            print(f"{fault.name:<28} {fault.path:<42} {fault.why}")
        return 0

    started = time.monotonic()
    scratch = os.path.abspath(args.scratch)
    build = os.path.join(scratch, "build")
    mirror(ROOT, scratch)
    if not os.path.isfile(os.path.join(build, "build.ninja")):
        status, output = run(["cmake", "-S", scratch, "-B", build, "-G", "Ninja"], scratch, None)
        if status != 0:
            sys.exit(output + "\nconfiguring the scratch build failed")
    targets = ["unit_tests", "gl_tests"] + (["repair_zelto"] if args.e2e else [])
    build_commands = {"linux": ["cmake", "--build", build, "--parallel", str(args.jobs),
                                "--target"] + targets}
    baseline = tiers(None, build, args.e2e)
    windows = next((f for f in faults if windows_only(f)), None)
    if windows:  # a cross build beside the Linux one, libraries from tools/windows/deps.sh
        if run([os.path.join(ROOT, "tools", "windows", "deps.sh")], scratch, None)[0] != 0:
            sys.exit("the Windows libraries could not be built")
        if not os.path.isfile(os.path.join(build + "-windows", "build.ninja")):
            status, output = run(["cmake", "-S", scratch, "-B", build + "-windows", "-G", "Ninja",
                                  "-DCMAKE_TOOLCHAIN_FILE=" + os.path.join(
                                      scratch, "tools", "windows", "mingw-w64.cmake")],
                                 scratch, None)
            if status != 0:
                sys.exit(output + "\nconfiguring the scratch Windows build failed")
        build_commands["windows"] = ["cmake", "--build", build + "-windows", "--parallel",
                                     str(args.jobs), "--target", "unit_tests", "score_saver"]
        baseline += tiers(windows, build, False)
    server = start_xvfb() if not os.environ.get("DISPLAY") else None
    try:
        # The unmutated tree must pass, and sets each tier's time limit.
        for command in build_commands.values():
            status, output = run(command, scratch, None)
            if status != 0:
                sys.exit(output + "\nthe unmutated scratch tree does not build")
        limits = {}
        for tier, command in baseline:
            begun = time.monotonic()
            status, output = run(command, build, None)
            if status != 0:
                sys.exit(output + f"\nthe unmutated tree fails the {tier} tier: "
                         + culprit(status, output))
            limits[tier] = 30 + 5 * (time.monotonic() - begun)
        print(f"baseline passes ({time.monotonic() - started:.0f} s); {len(faults)} faults")

        verdicts = []
        for number, fault in enumerate(faults, 1):
            begun = time.monotonic()
            verdict, detail = judge(fault, scratch, build_commands,
                                    tiers(fault, build, args.e2e), limits)
            verdicts.append((fault, verdict))
            print(f"{number:2}/{len(faults)} {fault.name:<28} {verdict:<8}"
                  f" {time.monotonic() - begun:4.0f} s  {detail}", flush=True)
    finally:
        if server:
            server.terminate()
            server.wait()

    for fault, verdict in verdicts:
        if verdict != "KILLED":
            print(f"{verdict.lower()}: {fault.name} ({fault.path}): {fault.why}")
    killed = sum(verdict == "KILLED" for _, verdict in verdicts)
    survived = sum(verdict == "SURVIVED" for _, verdict in verdicts)
    score = 100.0 * killed / max(killed + survived, 1)
    print(f"run time {(time.monotonic() - started) / 60:.1f} min")
    print(f"{killed} killed, {survived} survived ({score:.0f}%)")
    return 0 if score >= PASS_MARK and killed + survived == len(verdicts) else 1


if __name__ == "__main__":
    sys.exit(main())
