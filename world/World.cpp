#include "world/World.h"

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

void advanceWorld(World& world, float speed, float deltaTime) {
    advanceObstacles(world.obstacles, speed, deltaTime);
    const glm::vec3 axis(0.0f, 1.0f, 0.0f);
    world.trackRotation = glm::rotate(world.trackRotation, speed * deltaTime, axis);
    world.track->model->modelMatrix = world.trackRotation;
    world.skyboxRotation = glm::rotate(world.skyboxRotation, speed * deltaTime, axis);
    world.skybox->model->modelMatrix = world.skyboxRotation;
}
