// Start-up, the main loop with its phases in frame order, and teardown.
#include "app/Game.h"

#include "app/Hud.h"
#include "app/Programs.h"
#include "input/Controls.h"
#include "pipeline/BloomRenderer.h"
#include "pipeline/DepthCubeMap.h"
#include "pipeline/ScenePass.h"
#include "render/Model.h"
#include "render/TextRenderer.h"
#include "world/JumpState.h"
#include "world/Obstacle.h"
#include "world/Player.h"
#include "world/Stones.h"
#include "world/Torus.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <iostream>
#include <memory>

namespace {

const char* const kStoneModelPath = "../External/Models/Stone/stone.obj";
void setInt(const Shader& shader, const char* name, int value) {
    glUniform1i(glGetUniformLocation(shader.programId, name), value);
}

} // namespace

Game::Game(int width, int height) {
    // Window and context: nothing GL happens before these two.
    initWindow(width, height);
    initGlew(width, height);

    // Shader programs.
    const Programs loaded = loadPrograms();
    const ScenePrograms& programs = loaded.scene;
    const Shader& basicLightingBloomShadow = programs.basicLightingBloomShadow;
    const Shader& bloomShader = programs.bloomShader;
    Shader textShader = loaded.text;

    // Fixed sampler units: every mesh binds the shadow cube map on unit 3.
    glUseProgram(basicLightingBloomShadow.programId);
    setInt(basicLightingBloomShadow, "texture_diffuse1", 0);
    setInt(basicLightingBloomShadow, "depthMap", 3);

    const DepthCubeMap depthMap = createDepthCubeMap();

    // Text coordinates are command-line pixels, even where the framebuffer is larger.
    const glm::mat4 textProjection =
        glm::ortho(0.0f, static_cast<float>(width), 0.0f, static_cast<float>(height));
    glUseProgram(textShader.programId);
    glUniformMatrix4fv(glGetUniformLocation(textShader.programId, "projection"), 1, GL_FALSE,
                       glm::value_ptr(textProjection));

    glUseProgram(bloomShader.programId);
    setInt(bloomShader, "scene", 0);
    setInt(bloomShader, "bloomBlur", 2);
    // Objects that live as long as the game are owned here and released when the constructor
    // returns, after the window system has ended: only CPU memory goes then, the GL objects
    // went with the context.
    const auto bloom = std::make_unique<BloomRenderer>(width, height);

    // Fonts before the first model: glyph loading sets the unpack alignment of 1 that the
    // tightly packed RGB rows of model textures rely on.
    const auto titleFont =
        std::make_unique<TextRenderer>("../External/Fonts/AmaticSC-Bold.TTF", 80);
    const auto menuFont = std::make_unique<TextRenderer>("../External/Fonts/AGENCYR.TTF", 30);
    const auto smallFont = std::make_unique<TextRenderer>("../External/Fonts/AGENCYR.TTF", 20);
    const auto heartFont = std::make_unique<TextRenderer>("../External/Fonts/HEART shapes.TTF", 60);
    const Fonts fonts{titleFont.get(), menuFont.get(), smallFont.get(), heartFont.get()};

    const auto robotModelOwner =
        std::make_unique<Model>("../External/Models/Zelto/zelto_final1.obj");
    const auto ballModelOwner = std::make_unique<Model>("../External/Models/Zelto/ball.obj");
    const auto trackModelOwner = std::make_unique<Model>("../External/Models/Torus/torus.obj");
    const auto skyboxModelOwner = std::make_unique<Model>("../External/Models/Skybox/skybox.obj");
    const auto planetModelOwner = std::make_unique<Model>("../External/Models/Planet/planet.obj");
    const Model rocketModel("../External/Models/Rocket/rocket.obj"); // loaded, never drawn
    Model* robotModel = robotModelOwner.get();
    Model* ballModel = ballModelOwner.get();
    Model* trackModel = trackModelOwner.get();
    Model* skyboxModel = skyboxModelOwner.get();
    robotModel->measureExtents();
    ballModel->measureExtents();
    trackModel->measureExtents();

    // World objects.
    Torus* track = new Torus(trackModel);
    Player* robot = new Player(robotModel, track);
    const auto planet = std::make_unique<GameObject>(planetModelOwner.get());
    jump = new JumpState(track);
    robot->ball = ballModel;

    // The follow camera starts behind the top of the robot's head, looking along -Z.
    camera = Camera(robot, followPoint(*robot), glm::vec3(0.0f, 1.0f, 0.0f), -90.0f, 0.0f, 0.0f);

    controls = new Controls(jump);
    controls->registerInstance();

    lightPos = glm::vec3(1.2f, 1.0f, 2.0f);
    lightColor = glm::vec3(2.0f, 2.0f, 2.0f);
    glm::mat4 trackRotation(1.0f);
    glm::mat4 skyboxRotation(1.0f);
    state = GameState(static_cast<float>(glfwGetTime()));

    objects.push_back(track);
    objects.push_back(robot);
    createStones(track);
    objects.push_back(planet.get());

    while (!glfwWindowShouldClose(window)) {
        // 1. Frame time: the clock's whole seconds also drive the speed, score and end rules.
        const float t = static_cast<float>(glfwGetTime());
        state.measureFrameTime(t);
        const float dt = state.deltaTime;

        // 2-4. Input: window events, the controller's moves and jump start, the mouse look.
        glfwPollEvents();
        controls->update(camera, robot, track, dt);
        mouseLook(camera, *controls);

        // 5. Clear.
        glClearColor(0.0f, 0.0f, 0.4f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

        // 6. The robot's start pose, whatever its fields hold, until a frame runs unpaused.
        if (state.runFrames == 1) {
            robotModel->modelMatrix = startPose(*track);
            robot->updateBall(dt);
        }

        // 7-11. Pause, run count, clock limit, speed-up, collisions.
        state.pauseToggle(controls->keys);
        state.countRunFrame();
        state.applyTimeLimit(t, std::cout);
        if (state.applySpeedRule(t))
            reshuffleObstacles(obstacles, track);
        state.countContact(jump->checkCollision(obstacles, robot));

        // 12. Jump, in every state.
        if (jump->jumping)
            jump->step(*robot, camera, dt);

        // 13. World travel: the stones, the track and the skybox stand still while paused.
        if (!state.paused) {
            advanceObstacles();
            trackRotation =
                glm::rotate(trackRotation, state.speed * dt, glm::vec3(0.0f, 1.0f, 0.0f));
            trackModel->modelMatrix = trackRotation;
            skyboxRotation =
                glm::rotate(skyboxRotation, state.speed * dt, glm::vec3(0.0f, 1.0f, 0.0f));
            skyboxModel->modelMatrix = skyboxRotation;
        }

        // 14. The ball circles above the robot's head except on the title.
        if (!state.startScreen)
            robot->updateBall(dt);

        // 15-18. Light, camera matrices, uniforms, shadows and the scene, with or without bloom;
        // the pass ends by clearing the depth buffer.
        const RenderFlags flags{state.shadowsOn, state.normalMapOn, state.bloomOn,
                                state.movingLightOn};
        renderScene(flags, camera, lightPos, lightColor, programs, objects, obstacles, skyboxModel,
                    robot, width, height, depthMap, *bloom);

        // 19. Text goes over the scene, whose pass ended with a depth-only clear.
        glUseProgram(textShader.programId);
        glUniformMatrix4fv(glGetUniformLocation(textShader.programId, "projection"), 1, GL_FALSE,
                           glm::value_ptr(textProjection));

        // 20. Text screens.
        drawTextScreens(state.textScreens(t), state, fonts, textShader, width, height);

        // 21. Toggles of the title, help, light and render features, and the key labels.
        const ToggleEffects effects = state.keyToggles(controls->keys, std::cout);
        if (effects.wireframe)
            glPolygonMode(GL_FRONT_AND_BACK, *effects.wireframe ? GL_LINE : GL_FILL);
        if (effects.mipmap) {
            for (GameObject* object : objects)
                if (object->model != nullptr)
                    object->model->mipmapWanted = *effects.mipmap;
            skyboxModel->mipmapWanted = *effects.mipmap;
        }
        if (effects.blending) {
            if (*effects.blending)
                glEnable(GL_BLEND);
            else
                glDisable(GL_BLEND);
        }
        drawKeyLabels(effects, dt, fonts, textShader, width);

        // 22. Present; GL errors already reached the debug callback.
        glfwSwapBuffers(window);
        glGetError();
    }

    // Teardown: the window system first, which takes every GL object with it.
    glfwTerminate();
    window = nullptr;
    ControlsHelper::instance = nullptr;
    delete controls;
    controls = nullptr;
    delete robot;
    delete track;
    delete jump;
    jump = nullptr;
    for (Obstacle* stone : obstacles) {
        delete stone->model;
        delete stone;
    }
    obstacles.clear();
    objects.clear();
}

Game::~Game() = default;

void Game::createStones(Torus* track) {
    // One import shared by every stone: each copy keeps its own model matrix and shares the
    // meshes and textures, some thirty times faster than importing the file once per stone.
    Model stone(kStoneModelPath);
    stone.measureExtents();
    ::createStones(track, obstacles, objects, [&stone] { return new Model(stone); });
}

void Game::advanceObstacles() {
    ::advanceObstacles(obstacles, state.speed, state.deltaTime);
}
