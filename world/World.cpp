#include "world/World.h"

#include "app/GameState.h"
#include "render/Model.h"
#include "world/JumpState.h"
#include "world/Obstacle.h"
#include "world/Player.h"
#include "world/Stones.h"
#include "world/Torus.h"

#include <glm/gtc/matrix_transform.hpp>

World buildWorld(const WorldModels& models, const std::function<Model*()>& loadStoneModel) {
    World world;
    world.track = new Torus(models.track);
    world.robot = new Player(models.robot, world.track);
    world.skybox = new GameObject(models.skybox);
    world.planet = new GameObject(models.planet);
    world.jump = new JumpState(world.track);
    world.robot->ball = models.ball;

    world.objects.push_back(world.track);
    world.objects.push_back(world.robot);
    createStones(world.track, world.obstacles, world.objects, loadStoneModel);
    world.objects.push_back(world.planet);
    return world;
}

void releaseWorld(World& world) {
    delete world.robot;
    delete world.track;
    delete world.jump;
    for (Obstacle* stone : world.obstacles) {
        delete stone->model;
        delete stone;
    }
    delete world.skybox;
    delete world.planet;
    world = World();
}

void stepWorld(World& world, GameState& state, Camera& camera, float t) {
    const float dt = state.deltaTime;

    // Speed-up: every stone is thrown to a new place.
    if (state.applySpeedRule(t))
        reshuffleObstacles(world.obstacles, world.track);

    // Collisions in every state; one hit per contact.
    state.countContact(world.jump->checkCollision(world.obstacles, world.robot));

    // The jump goes on in every state.
    if (world.jump->jumping)
        world.jump->step(*world.robot, camera, dt);

    // Travel: the stones, the track and the skybox stand still while paused.
    if (!state.paused) {
        advanceObstacles(world.obstacles, state.speed, dt);
        const glm::vec3 axis(0.0f, 1.0f, 0.0f);
        world.trackRotation = glm::rotate(world.trackRotation, state.speed * dt, axis);
        world.track->model->modelMatrix = world.trackRotation;
        world.skyboxRotation = glm::rotate(world.skyboxRotation, state.speed * dt, axis);
        world.skybox->model->modelMatrix = world.skyboxRotation;
    }

    // The ball circles above the robot's head except on the title.
    if (!state.startScreen)
        world.robot->updateBall(dt);
}
