// Start-up, the main loop, and teardown.
#include "app/Game.h"

#include "app/DebugOutput.h"
#include "app/FrameDraw.h"
#include "app/ScoreFiles.h"
#include "app/Startup.h"
#include "audio/Audio.h"
#include "input/Gamepads.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <iostream>

Game::Game(int width, int height) {
    // Window and context: nothing GL happens before these two.
    initWindow(width, height);
    initGlew();

    // Programs, targets, fonts and models. They live as long as the game and are released
    // when the constructor returns, after the window system has ended: only CPU memory goes
    // then, the GL objects went with the context.
    Renderer renderer = startRenderer(window, width, height);
    // Sound last of the assets: a missing device or file reports after every other loader.
    Audio audio("../External/Sounds");
    // The world on the models, then the best score of earlier runs, whose file is the
    // player's, not the game's; then the controller, which the window callbacks reach.
    startPlay(play, renderer.models.world(), [&renderer] { return renderer.models.newStone(); });
    play.best = BestScore(scorefiles::userPath(), std::cerr);
    play.controls.registerInstance();
    // Gamepads press keys in the same table; a key comes up only when the keyboard lets go too.
    Gamepads gamepads(&play.controls,
                      [this](int key) { return glfwGetKey(window, key) == GLFW_PRESS; });
    const auto pollInput = [this, &gamepads] {
        glfwPollEvents();
        gamepads.poll(play.state.startScreen);
    };
    play.state.lastFrameTime = static_cast<float>(glfwGetTime());

    while (!glfwWindowShouldClose(window)) {
        // The rules decide, then the frame draws what they decided; sound follows, and nothing
        // there waits for the device.
        const FramePlan plan =
            playFrame(play, static_cast<float>(glfwGetTime()), pollInput, std::cout, std::cerr);
        lightPos = drawFrame(plan, play, renderer, lightColor);
        audio.update(plan.cues, play.sound.music(),
                     nearingStones(play.world.obstacles, plan.heard.playing(), Audio::kStoneVoices),
                     play.camera, play.sound.muted);

        // 22. Present; GL errors already reached the debug callback.
        glfwSwapBuffers(window);
        glGetError();
    }
    // A game left in play or pause by closing the window keeps its score too.
    play.best.keep(play.state, true, std::cerr);

    // Teardown: the window system first, which takes every GL object with it; then the driver
    // message counts still held.
    glfwTerminate();
    window = nullptr;
    printHeldRepeats(debugMessages);
    ControlsHelper::instance = nullptr;
}

Game::~Game() = default;
