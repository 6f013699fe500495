#include "input/Camera.h"
#include "render/Model.h"
#include "world/JumpState.h"
#include "world/Obstacle.h"
#include "world/Player.h"
#include "world/Stones.h"
#include "world/Torus.h"
#include "world/WorldConstants.h"

#include <cmath>
#include <cstdlib>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <memory>

namespace {

Model sized(float width, float height) {
    Model model;
    model.width = width;
    model.height = height;
    return model;
}

#define EXPECT_VEC_NEAR(actual, expected, tolerance)                                               \
    EXPECT_LT(glm::length((actual) - (expected)), tolerance)

// Track: major radius 4, minor 1. Robot body 1 wide, 2 high: body sphere of radius 0.5 at
// (-4, 1.5, 0), head sphere of radius 0.5 at (-4, 2.5, 0). Stones: radius 0.25.
struct World {
    Model ring = sized(10.0f, 2.0f), body = sized(1.0f, 2.0f), ball;
    Model stoneModels[2] = {sized(0.5f, 0.5f), sized(0.5f, 0.5f)};
    Torus track{&ring};
    Player robot{&body, &track};
    Camera camera;
    JumpState jump{&track};
    Obstacle first{&stoneModels[0], &track}, second{&stoneModels[1], &track};

    World() {
        robot.ball = &ball;
        camera = Camera(&robot, followPoint(robot), {0.0f, 1.0f, 0.0f}, -90.0f, 0.0f, 0.0f);
    }
    void put(Obstacle& stone, float ringAngle, glm::vec3 centre) {
        stone.ringAngle = ringAngle;
        stone.model->modelMatrix = glm::translate(glm::mat4(1.0f), centre);
    }
    bool hit(std::vector<Obstacle*> stones) { return jump.checkCollision(stones, &robot); }
};

bool inPlacementRange(const Obstacle& stone) {
    const float ring = stone.ringAngle;
    return ((ring >= 0.0f && ring <= 90.0f) || (ring >= 200.0f && ring <= 360.0f)) &&
           stone.tubeAngle >= 0.0f && stone.tubeAngle <= 360.0f;
}

} // namespace

TEST(World, TrackRadiiPlacementRuleAndStartPose) {
    World world;
    EXPECT_FLOAT_EQ(world.track.minorRadius, 1.0f);
    EXPECT_FLOAT_EQ(world.track.majorRadius, 4.0f);
    // Tube angle 0 is the outer equator; ring angle 90 is -Z (counter-clockwise from +X seen
    // from above).
    EXPECT_VEC_NEAR(torusPoint(world.track, 0.0f, 1.0f, 90.0f), glm::vec3(0, 0, -5), 1e-5f);

    // The first frame's pose is the standing pose, whatever the robot's fields hold: on top of
    // the tube at -X, turned half a turn about Y.
    world.robot.placeOnTrack();
    const glm::mat4 standing = world.body.modelMatrix;
    world.robot.tubeAngle = 33.0f;
    world.robot.tilt = -57.0f;
    EXPECT_EQ(startPose(world.track), standing);
    EXPECT_VEC_NEAR(glm::vec3(standing[3]), glm::vec3(-4, 1, 0), 1e-5f);
    EXPECT_VEC_NEAR(glm::vec3(standing[0]), glm::vec3(-1, 0, 0), 1e-6f);
}

TEST(World, FullTurnAroundTheTubeKeepsTheRobotUprightThenDropsTheExcess) {
    World world;
    Player& robot = world.robot;
    const float dt = 1.0f / 60.0f;
    for (int frame = 0; frame * dt < 360.0f / kSideSpeed; ++frame) {
        robot.move(kMoveLeft, &world.track, dt);
        // Feet on the tube surface and body up along the tube's radius, at every frame.
        const float a = robot.tubeAngle * kDegToRad;
        const glm::vec3 radial(-std::cos(a), std::sin(a), 0.0f);
        EXPECT_VEC_NEAR(glm::vec3(world.body.modelMatrix[3]), glm::vec3(-4, 0, 0) + radial, 1e-4f);
        EXPECT_VEC_NEAR(glm::vec3(world.body.modelMatrix[1]), radial, 1e-4f);
        // The ball circles headRadius from a point headRadius above the head.
        const glm::vec3 ball = glm::vec3(world.ball.modelMatrix[3]) - glm::vec3(-4, 0, 0);
        EXPECT_NEAR(glm::length(ball - radial * 3.5f), 0.5f, 1e-4f);
    }
    ASSERT_LE(robot.tilt, -360.0f);
    robot.move(kMoveLeft, &world.track, dt); // set back to 0 before the step
    EXPECT_EQ(robot.tilt, -kSideSpeed * dt);
    robot.tubeAngle = 359.0f; // short of a full turn: passes 360 for one frame
    robot.move(kMoveRight, &world.track, 0.1f);
    EXPECT_FLOAT_EQ(robot.tubeAngle, 370.5f);
}

TEST(World, JumpCourseAtSixtyFramesPerSecond) {
    World world;
    const float dt = 1.0f / 60.0f;
    int frames = 0;
    float peak = 0.0f, peakTime = 0.0f; // above the surface; seconds after take-off
    world.jump.start(world.robot, dt);  // take-off and the first step share a frame
    while (world.jump.jumping && frames < 1000) {
        world.jump.step(world.robot, world.camera, dt);
        ++frames;
        EXPECT_EQ(world.camera.position, followPoint(world.robot));
        if (world.robot.elevation - 1.0f > peak) {
            peak = world.robot.elevation - 1.0f;
            peakTime = frames * dt;
        }
    }
    EXPECT_NEAR(frames, 94, 1);
    EXPECT_NEAR(peak, 3.06f, 0.01f);
    EXPECT_NEAR(peakTime, 0.9f, 0.02f);
    EXPECT_EQ(world.robot.elevation, 1.0f);
    EXPECT_EQ(world.jump.velocity, 6.0f); // ready for the next jump
    EXPECT_EQ(world.jump.acceleration, -5.0f);
}

TEST(World, ZeroStepJumpLandsOnItsFirstFrame) {
    World still;
    still.jump.start(still.robot, 0.0f); // lands on the same frame without moving
    still.jump.step(still.robot, still.camera, 0.0f);
    EXPECT_FALSE(still.jump.jumping);
    EXPECT_EQ(still.robot.elevation, 1.0f);
    still.jump.step(still.robot, still.camera, 0.5f); // idle: not even the ball turns
    EXPECT_EQ(still.robot.ballAngle, 0.0f);
}

TEST(World, RandomPlacementNeverLandsNearTheRobot) {
    World world;
    int far = 0;
    for (int i = 0; i < 2000; ++i) {
        placeAtRandom(world.first, world.track);
        ASSERT_TRUE(inPlacementRange(world.first)) << world.first.ringAngle;
        far += world.first.ringAngle >= 200.0f;
        EXPECT_EQ(glm::vec3(world.first.model->modelMatrix[3]),
                  torusPoint(world.track, world.first.tubeAngle, 1.25f, world.first.ringAngle));
        world.robot.tubeAngle = static_cast<float>(i % 360); // wherever the robot stands
        ASSERT_FALSE(world.hit({&world.first}));
    }
    EXPECT_NEAR(far, 1000, 200); // both stretches are used
}

TEST(World, CreateStonesGivesEachItsModelAndDrawsOncePlusThreePerStone) {
    World world;
    std::vector<std::unique_ptr<Model>> models;
    auto load = [&models] {
        models.push_back(std::make_unique<Model>(sized(0.6f, 0.4f)));
        return models.back().get();
    };
    std::vector<Obstacle*> stones;
    std::vector<GameObject*> objects{&world.track};
    std::srand(1); // the sequence of a never-seeded generator
    createStones(&world.track, stones, objects, load);
    const int next = std::rand();
    std::srand(1);
    for (int i = 0; i < 1 + 3 * 30; ++i)
        std::rand();
    EXPECT_EQ(std::rand(), next);
    ASSERT_EQ(objects.size(), 31u);
    for (size_t i = 0; i < stones.size(); ++i) {
        EXPECT_EQ(objects[i + 1], stones[i]);
        EXPECT_EQ(stones[i]->model, models[i].get());
        delete stones[i];
    }
}

TEST(World, StonesTravelSixtyDegreesPerRadianAndRestartAfterAFullTurn) {
    World world;
    std::vector<Obstacle*> stones{&world.first, &world.second};
    world.first.ringAngle = 10.0f;
    world.second.ringAngle = 350.0f;
    advanceObstacles(stones, 0.5f, 0.5f); // the track turns 0.25 rad
    EXPECT_FLOAT_EQ(world.first.ringAngle, 25.0f);
    EXPECT_FLOAT_EQ(world.second.ringAngle, 365.0f);
    advanceObstacles(stones, 0.5f, 0.5f);
    EXPECT_EQ(world.second.ringAngle, 0.0f); // not 5 plus the step
    EXPECT_EQ(glm::vec3(world.stoneModels[1].modelMatrix[3]),
              torusPoint(world.track, 0.0f, 1.25f, 0.0f));
}

TEST(World, CollisionWindowSpheresAndOneStonePerFrame) {
    World world;
    const glm::vec3 onBody(-4.0f, 1.25f, 0.0f);
    for (float ring : {134.9f, 180.1f, 135.0f, 180.0f}) {
        world.put(world.first, ring, onBody);
        EXPECT_EQ(world.hit({&world.first}), ring == 135.0f || ring == 180.0f) << ring;
    }
    const std::pair<glm::vec3, bool> cases[] = {
        {{-4.0f, 3.2f, 0.0f}, true},  // head only
        {{-4.7f, 1.5f, 0.0f}, true},  // body only
        {{-4.0f, 3.25f, 0.0f}, true}, // touching the head, 0.75 apart
        {{-4.0f, 3.3f, 0.0f}, false}, // just clear of the head
    };
    for (const auto& [centre, hit] : cases) {
        world.put(world.first, 150.0f, centre);
        EXPECT_EQ(world.hit({&world.first}), hit) << centre.x << " " << centre.y;
    }

    // Two stones touching: only the first is re-placed; the second is hit next frame.
    world.put(world.first, 170.0f, onBody);
    world.put(world.second, 175.0f, {-4.0f, 3.0f, 0.0f});
    const glm::mat4 secondPlace = world.second.model->modelMatrix;
    EXPECT_TRUE(world.hit({&world.first, &world.second}));
    EXPECT_TRUE(inPlacementRange(world.first));
    EXPECT_EQ(world.second.model->modelMatrix, secondPlace);
    EXPECT_TRUE(world.hit({&world.first, &world.second}));
    EXPECT_TRUE(inPlacementRange(world.second));
    EXPECT_FALSE(world.hit({&world.first, &world.second}));
}
