#include "bench/BenchWorld.h"

#include "app/Programs.h"
#include "app/WindowHints.h"
#include "pipeline/BloomRenderer.h"
#include "pipeline/PipelineConstants.h"
#include "pipeline/Uniforms.h"
#include "render/Model.h"
#include "world/Obstacle.h"
#include "world/Player.h"
#include "world/Stones.h"
#include "world/Torus.h"
#include "world/WorldConstants.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>
#include <iostream>

namespace {

constexpr float kStartSpeed = 0.1f;     // radians per second the track turns at the start
constexpr float kCameraDistance = 5.0f; // follow camera behind the robot's head, along +Z

Model* loadMeasured(const char* path) {
    Model* model = new Model(path);
    model->measureExtents();
    return model;
}

GLFWwindow* openWindow(int width, int height) {
    if (!glfwInit())
        return nullptr;
    setGameWindowHints();
    GLFWwindow* window = glfwCreateWindow(width, height, "Repair Zelto bench", nullptr, nullptr);
    if (window == nullptr)
        return nullptr;
    glfwMakeContextCurrent(window);
    glfwSwapInterval(0); // measure the renderer, not the display's refresh
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK)
        return nullptr;
    glGetError(); // GLEW's probe leaves GL_INVALID_ENUM behind on core profiles
    glViewport(0, 0, width, height);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    return window;
}

} // namespace

BenchWorld* buildBenchWorld(int width, int height) {
    GLFWwindow* window = openWindow(width, height);
    if (window == nullptr) {
        std::cout << "frame_bench: no OpenGL 3.3 core window (is DISPLAY set?)" << std::endl;
        return nullptr;
    }
    auto* world = new BenchWorld(window, width, height, loadPrograms().scene);
    const GLuint shadowed = world->programs.basicLightingBloomShadow.programId;
    glUseProgram(shadowed);
    setUniform(shadowed, "texture_diffuse1", kDiffuseUnit);
    setUniform(shadowed, "depthMap", kDepthMapUnit);
    world->depthMap = createDepthCubeMap();
    const GLuint bloomShader = world->programs.bloomShader.programId;
    glUseProgram(bloomShader);
    setUniform(bloomShader, "scene", kSceneUnit);
    setUniform(bloomShader, "bloomBlur", kBloomBlurUnit);
    world->bloom = new BloomRenderer(width, height);
    // No fonts here: their one effect on models, the unpack alignment of 1, is set directly.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    Model* robotModel = loadMeasured("../External/Models/Zelto/zelto_final1.obj");
    Model* ballModel = loadMeasured("../External/Models/Zelto/ball.obj");
    Model* trackModel = loadMeasured("../External/Models/Torus/torus.obj");
    world->skyboxModel = new Model("../External/Models/Skybox/skybox.obj");
    Model* planetModel = new Model("../External/Models/Planet/planet.obj");

    world->track = new Torus(trackModel);
    world->robot = new Player(robotModel, world->track);
    world->robot->ball = ballModel;
    auto* planet = new GameObject(planetModel);

    // The follow camera where the game starts it.
    Player& robot = *world->robot;
    const float tube = robot.tubeAngle * kDegToRad;
    const float headHeight = robot.elevation + robotModel->height;
    const float ringDistance = world->track->majorRadius + headHeight * std::cos(tube);
    world->camera = Camera(world->robot,
                           glm::vec3(ringDistance * std::cos(kPi), headHeight * std::sin(tube),
                                     kCameraDistance - ringDistance * std::sin(kPi)),
                           glm::vec3(0.0f, 1.0f, 0.0f), -90.0f, 0.0f, 0.0f);

    world->objects.push_back(world->track);
    world->objects.push_back(world->robot);
    createStones(world->track, world->obstacles, world->objects,
                 [] { return loadMeasured("../External/Models/Stone/stone.obj"); });
    world->objects.push_back(planet);
    robotModel->modelMatrix = startPose(*world->track);
    return world;
}

void renderBenchFrame(BenchWorld& world, const RenderFlags& flags, float deltaTime) {
    glClearColor(kClearColor.r, kClearColor.g, kClearColor.b, kClearColor.a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    advanceObstacles(world.obstacles, kStartSpeed, deltaTime);
    const float turn = kStartSpeed * deltaTime;
    world.trackRotation = glm::rotate(world.trackRotation, turn, glm::vec3(0.0f, 1.0f, 0.0f));
    world.track->model->modelMatrix = world.trackRotation;
    world.skyboxRotation = glm::rotate(world.skyboxRotation, turn, glm::vec3(0.0f, 1.0f, 0.0f));
    world.skyboxModel->modelMatrix = world.skyboxRotation;
    world.robot->updateBall(deltaTime);

    renderScene(flags, world.camera, world.lightPos, world.lightColor, world.programs,
                world.objects, world.obstacles, world.skyboxModel, world.robot, world.width,
                world.height, world.depthMap, *world.bloom);
}
