// Start-up, the main loop with its phases in frame order, and teardown.
#include "app/Game.h"

#include "app/DebugOutput.h"
#include "app/Hud.h"
#include "app/Programs.h"
#include "app/ScoreFiles.h"
#include "app/Startup.h"
#include "audio/Audio.h"
#include "input/Controls.h"
#include "input/Gamepads.h"
#include "pipeline/BloomRenderer.h"
#include "pipeline/ScenePass.h"
#include "render/Model.h"
#include "render/TextRenderer.h"
#include "render/Uniforms.h"
#include "world/Player.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <iostream>
#include <memory>

Game::Game(int width, int height) {
    // Window and context: nothing GL happens before these two.
    initWindow(width, height);
    initGlew(width, height);

    // Shader programs, the shadow cube map, the text projection, the bloom targets. Objects
    // that live as long as the game are owned here and released when the constructor returns,
    // after the window system has ended: only CPU memory goes then, the GL objects went with
    // the context.
    const Programs programs = loadPrograms();
    Shader textShader = programs.text;
    const DepthCubeMap depthMap = createShadowTarget(programs.scene);
    // Text coordinates are command-line pixels, even where the framebuffer is larger.
    const glm::mat4 textProjection =
        glm::ortho(0.0f, static_cast<float>(width), 0.0f, static_cast<float>(height));
    glUseProgram(textShader.programId);
    setUniform(textShader.programId, "projection", textProjection);
    const std::unique_ptr<BloomRenderer> bloom = createBloomTarget(programs.scene, width, height);
    const SceneTargets scene{programs.scene, depthMap, bloom.get(), width, height};

    // Fonts before the first model: glyph loading sets the unpack alignment of 1 that the
    // tightly packed RGB rows of model textures rely on.
    const auto titleFont =
        std::make_unique<TextRenderer>("../External/Fonts/AmaticSC-Bold.TTF", 80);
    const auto menuFont = std::make_unique<TextRenderer>("../External/Fonts/AGENCYR.TTF", 30);
    const auto smallFont = std::make_unique<TextRenderer>("../External/Fonts/AGENCYR.TTF", 20);
    const auto heartFont = std::make_unique<TextRenderer>("../External/Fonts/HEART shapes.TTF", 60);
    const Fonts fonts{titleFont.get(), menuFont.get(), smallFont.get(), heartFont.get()};

    // Models and the world on them; the follow camera starts behind the top of the robot's
    // head, looking along -Z; then the controller, which the window callbacks reach.
    const LoadedModels models = loadModels();
    world = buildWorld(models.world(), [&models] { return models.newStone(); });
    Player* robot = world.robot;
    camera = Camera(robot, followPoint(*robot), glm::vec3(0.0f, 1.0f, 0.0f), -90.0f, 0.0f, 0.0f);
    controls = new Controls(world.jump);
    controls->registerInstance();
    // Gamepads press keys in the same table; a key comes up only when the keyboard lets go too.
    Gamepads gamepads(controls, [this](int key) { return glfwGetKey(window, key) == GLFW_PRESS; });
    Gamepads::instance = &gamepads;
    glfwSetJoystickCallback(Gamepads::onJoystick);

    lightPos = glm::vec3(1.2f, 1.0f, 2.0f);
    lightColor = glm::vec3(2.0f, 2.0f, 2.0f);
    // Sound last of the assets: a missing device or file reports after every other loader.
    // Then the best score of earlier runs, whose file is the player's, not the game's.
    Audio audio("../External/Sounds");
    BestScore best(scorefiles::userPath(), std::cerr);

    state = GameState(static_cast<float>(glfwGetTime()));
    SoundDirector sound(soundState(state, *world.jump));

    while (!glfwWindowShouldClose(window)) {
        // 1. Frame time: the clock's whole seconds also drive the speed, score and end rules.
        const float t = static_cast<float>(glfwGetTime());
        state.measureFrameTime(t);
        const float dt = state.deltaTime;

        // 2-4. Input: window events and the gamepads, the controller's moves and jump start,
        // the mouse look.
        controls->releaseLatchedKeys();
        glfwPollEvents();
        gamepads.poll(state.startScreen);
        controls->update(camera, robot, world.track, dt);
        mouseLook(camera, *controls);

        // 5. Clear.
        glClearColor(0.0f, 0.0f, 0.4f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

        // 6. The robot's start pose, whatever its fields hold, until a frame runs unpaused.
        if (state.runFrames == 1) {
            robot->model->modelMatrix = startPose(*world.track);
            robot->updateBall(dt);
        }

        // 7-9. Pause, run count, clock limit.
        state.pauseToggle(controls->keys);
        state.countRunFrame();
        state.applyTimeLimit(t, std::cout);

        // 10-14. The world: speed-up, collisions, jump, travel unless paused, the ball.
        stepWorld(world, state, camera, t);

        // 15-18. Light, camera matrices, uniforms, shadows and the scene, with or without bloom;
        // the pass ends by clearing the depth buffer.
        const RenderFlags flags{state.shadowsOn, state.normalMapOn, state.bloomOn,
                                state.movingLightOn};
        lightPos = renderScene(flags, camera, world, lightColor, scene);

        // 19. Text goes over the scene, whose pass ended with a depth-only clear.
        glUseProgram(textShader.programId);
        setUniform(textShader.programId, "projection", textProjection);

        // 20. Text screens: the score rule first, then the best score kept once the game has
        // ended, so that the game-over screen shows both.
        const TextScreens screens = state.textScreens(t);
        best.keep(state, false, std::cerr);
        drawTextScreens(screens, state, best, fonts, textShader, width, height);

        // 21. Toggles of the title, help, light and render features, and the key labels.
        const ToggleEffects effects = state.keyToggles(controls->keys, std::cout);
        if (effects.wireframe)
            glPolygonMode(GL_FRONT_AND_BACK, *effects.wireframe ? GL_LINE : GL_FILL);
        if (effects.mipmap) {
            for (GameObject* object : world.objects)
                if (object->model != nullptr)
                    object->model->mipmapWanted = *effects.mipmap;
            world.skybox->model->mipmapWanted = *effects.mipmap;
        }
        if (effects.blending) {
            if (*effects.blending)
                glEnable(GL_BLEND);
            else
                glDisable(GL_BLEND);
        }
        drawKeyLabels(effects, dt, fonts, textShader, width);

        // Sound follows what the frame did: its effects, the music and the nearing stones;
        // M mutes. Nothing here waits for the device.
        const SoundState heard = soundState(state, *world.jump);
        const std::vector<Sound> cues = sound.step(heard, controls->keys[GLFW_KEY_M]);
        audio.update(cues, sound.music(),
                     nearingStones(world.obstacles, heard.playing(), Audio::kStoneVoices), camera,
                     sound.muted);

        // 22. Present; GL errors already reached the debug callback.
        glfwSwapBuffers(window);
        glGetError();
    }
    // A game left in play or pause by closing the window keeps its score too.
    best.keep(state, true, std::cerr);

    // Teardown: the window system first, which takes every GL object with it; then the driver
    // message counts still held.
    glfwTerminate();
    window = nullptr;
    printHeldRepeats(debugMessages);
    ControlsHelper::instance = nullptr;
    Gamepads::instance = nullptr;
    delete controls;
    controls = nullptr;
    releaseWorld(world);
}

Game::~Game() = default;
