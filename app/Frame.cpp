#include "app/Frame.h"

#include "input/InputConstants.h"
#include "render/Model.h"
#include "world/JumpState.h"
#include "world/Player.h"
#include "world/Stones.h"

void startPlay(Play& play, const WorldModels& models, const std::function<Model*()>& newStone) {
    play.world = buildWorld(models, newStone);
    Player* robot = play.world.robot;
    play.camera =
        Camera(robot, followPoint(*robot), glm::vec3(0.0f, 1.0f, 0.0f), kCameraYaw, 0.0f, 0.0f);
    play.controls.jump = play.world.jump;
    play.sound = SoundDirector(soundState(play.state, *play.world.jump));
}

SoundState soundState(const GameState& state, const JumpState& jump) {
    return {state.startScreen, state.paused, state.gameOver, jump.jumping, state.hits, state.speed};
}

FramePlan playFrame(Play& play, float t, const std::function<void()>& pollInput, std::ostream& out,
                    std::ostream& err) {
    World& world = play.world;
    GameState& state = play.state;
    Controls& controls = play.controls;
    Player* robot = world.robot;
    FramePlan plan;

    // 1. Frame time: the clock's whole seconds also drive the speed, score and end rules.
    state.measureFrameTime(t);
    const float dt = state.deltaTime;

    // 2-4. Input: the releases held back for the last frame, then the window's events and the
    // gamepads, the controller's moves and jump start, the mouse look.
    controls.releaseLatchedKeys();
    pollInput();
    controls.update(play.camera, robot, world.track, dt);
    mouseLook(play.camera, controls);

    // 6. The robot's start pose, whatever its fields hold, until a frame runs unpaused.
    if (state.runFrames == 1) {
        robot->model->modelMatrix = startPose(*world.track);
        robot->updateBall(dt);
    }

    // 7-9. Pause, run count, clock limit.
    state.pauseToggle(controls.keys);
    state.countRunFrame();
    state.applyTimeLimit(t, out);

    // 10-14. The world: a speed-up throws every stone to a new place; collisions count in
    // every state, one hit per contact; the jump goes on in every state; the stones, the track
    // and the skybox stand still while paused; the ball circles the head except on the title.
    if (state.applySpeedRule(t))
        reshuffleObstacles(world.obstacles, world.track);
    state.countContact(world.jump->checkCollision(world.obstacles, robot));
    if (world.jump->jumping)
        world.jump->step(*robot, play.camera, dt);
    if (!state.paused)
        advanceWorld(world, state.speed, dt);
    if (!state.startScreen)
        robot->updateBall(dt);

    // 15-18. The scene draws with the switches as they stand now.
    plan.flags = state.renderFlags();

    // 20. Text screens, then the score rule, then the best score kept once the game has ended,
    // so that the game-over screen shows both.
    plan.screens = state.textScreens();
    state.retireTitle();
    state.applyScoreRule(t);
    play.best.keep(state, false, err);

    // 21. Toggles of the title, help, light and render features, and the key labels.
    plan.effects = state.keyToggles(controls.keys, out);

    // Sound follows what the frame did: its effects, the music and the nearing stones; M mutes.
    plan.heard = soundState(state, *world.jump);
    plan.cues = play.sound.step(plan.heard, controls.keys[kKeyM]);
    return plan;
}
