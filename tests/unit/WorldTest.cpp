#include "Zelto.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

#define EXPECT_VEC_NEAR(actual, expected, tolerance)                                               \
    EXPECT_LT(glm::length((actual) - (expected)), tolerance)

const float kDeg = 0.017453292f;

glm::vec3 centreOf(const Model& model) {
    return glm::vec3(model.modelMatrix[3]);
}

// Radians a rotation about +Y has turned: its x axis goes to (cos, 0, -sin).
float turnOf(const glm::mat4& m) {
    return std::atan2(-m[0][2], m[0][0]);
}

} // namespace

TEST(World, TorusPointsFromTubeDistanceAndRingAngles) {
    Zelto z;
    const struct {
        float tube, distance, ring;
        glm::vec3 point;
        const char* why;
    } rows[] = {
        {0.0f, 1.0f, 90.0f, {0, 0, -5}, "outer equator; ring 90 is -Z, counter-clockwise"},
        {90.0f, 2.0f, 0.0f, {4, 2, 0}, "tube 90 is straight up from the centre circle"},
        {180.0f, 1.0f, 180.0f, {-3, 0, 0}, "inner equator on the robot's side"},
    };
    for (const auto& row : rows)
        EXPECT_VEC_NEAR(torusPoint(*z.world.track, row.tube, row.distance, row.ring), row.point,
                        1e-5f)
            << row.why;
}

TEST(World, SidewaysMovesKeepTheRobotUprightOnTheTube) {
    const struct {
        float tube, tilt;
        int direction;
        float tubeAfter, tiltAfter;
        const char* why;
    } rows[] = {
        {90.0f, 0.0f, 2, 78.5f, -11.5f, "left: 115 degrees per second, tilt along"},
        {90.0f, 0.0f, 3, 101.5f, 11.5f, "right"},
        {360.0f, -360.0f, 3, 11.5f, 11.5f, "a full turn either way is set to 0 first"},
        {359.0f, 359.0f, 3, 370.5f, 370.5f, "short of a full turn: past 360 for a frame"},
        {90.0f, 0.0f, 7, 90.0f, 0.0f, "any other direction moves nothing"},
    };
    for (const auto& row : rows) {
        Zelto z;
        z.robot().tubeAngle = row.tube;
        z.robot().tilt = row.tilt;
        z.robot().move(row.direction, z.world.track, 0.1f);
        EXPECT_FLOAT_EQ(z.robot().tubeAngle, row.tubeAfter) << row.why;
        EXPECT_FLOAT_EQ(z.robot().tilt, row.tiltAfter) << row.why;
        if (row.direction == 7 || row.tubeAfter - row.tiltAfter != 90.0f)
            continue;
        // Tilt matching the tube angle: feet on the surface, body up along the tube's radius.
        const float a = row.tubeAfter * kDeg;
        const glm::vec3 radial(-std::cos(a), std::sin(a), 0.0f);
        EXPECT_VEC_NEAR(centreOf(z.body), glm::vec3(-4, 0, 0) + radial, 1e-4f) << row.why;
        EXPECT_VEC_NEAR(glm::vec3(z.body.modelMatrix[1]), radial, 1e-4f) << row.why;
    }
}

TEST(World, BallCirclesHalfAUnitAboveTheHead) {
    const struct {
        float tube, ballAngle, ballAfter;
        glm::vec3 centre;
        const char* why;
    } rows[] = {
        {90.0f, 0.0f, -30.0f, {-3.5670f, 3.5f, 0.25f}, "300 degrees per second, clockwise"},
        {90.0f, -360.0f, -30.0f, {-3.5670f, 3.5f, 0.25f}, "a full turn is set to 0 first"},
        {0.0f, 0.0f, -30.0f, {-7.5f, 0.5f, 0.0f}, "on the outer equator the orbit stands"},
    };
    for (const auto& row : rows) {
        Zelto z;
        z.robot().tubeAngle = row.tube;
        z.robot().ballAngle = row.ballAngle;
        z.robot().updateBall(0.1f);
        EXPECT_FLOAT_EQ(z.robot().ballAngle, row.ballAfter) << row.why;
        EXPECT_VEC_NEAR(centreOf(z.ball), row.centre, 1e-4f) << row.why;
    }
}

TEST(World, JumpRisesSlowlyAndFallsSteeplyWithTheCamera) {
    Zelto z;
    const float dt = 1.0f / 60.0f;
    int frames = 0;
    float peak = 0.0f, peakTime = 0.0f; // above the surface; seconds after take-off
    z.world.jump->start(z.robot(), dt);
    while (z.world.jump->jumping && frames < 1000) {
        z.world.jump->step(z.robot(), z.camera, dt);
        ++frames;
        EXPECT_FLOAT_EQ(z.camera.position.y, 2.0f + z.robot().elevation) << "level with the head";
        if (z.robot().elevation - 1.0f > peak) {
            peak = z.robot().elevation - 1.0f;
            peakTime = frames * dt;
        }
    }
    EXPECT_NEAR(frames, 94, 1);
    EXPECT_NEAR(peak, 3.06f, 0.01f);
    EXPECT_NEAR(peakTime, 0.9f, 0.02f);

    const struct {
        float elevation, velocity, acceleration;
        float elevationAfter, velocityAfter, accelerationAfter;
        bool jumping;
        const char* why;
    } rows[] = {
        {1.0f, -3.0f, -20.0f, 1.0f, 6.0f, -5.0f, false, "feet on the surface: landed, reset"},
        {2.0f, 0.0f, -5.0f, 2.0f, -0.8f, -8.0f, true, "no higher than the peak: falling"},
    };
    for (const auto& row : rows) {
        JumpState& jump = *z.world.jump;
        jump.jumping = true;
        jump.peakElevation = 2.0f;
        jump.velocity = row.velocity;
        jump.acceleration = row.acceleration;
        z.robot().elevation = row.elevation;
        jump.step(z.robot(), z.camera, 0.1f);
        EXPECT_FLOAT_EQ(z.robot().elevation, row.elevationAfter) << row.why;
        EXPECT_FLOAT_EQ(jump.velocity, row.velocityAfter) << row.why;
        EXPECT_FLOAT_EQ(jump.acceleration, row.accelerationAfter) << row.why;
        EXPECT_EQ(jump.jumping, row.jumping) << row.why;
    }
}

TEST(World, StonesArePlacedFromThreeDrawsAwayFromTheRobot) {
    // Fractions of the random range: stretch, ring angle, tube angle.
    const struct {
        double stretch, ring, tube;
        float ringAngle, tubeAngle;
        const char* why;
    } rows[] = {
        {0.5, 0.0, 1.0, 200.0f, 360.0f, "a half picks the far stretch, from 200"},
        {1.0, 1.0, 0.25, 360.0f, 90.0f, "which ends at 360"},
        {0.49, 1.0, 0.0, 90.0f, 0.0f, "below a half the near stretch, up to 90"},
    };
    for (const auto& row : rows) {
        // The first draw of the game is discarded: the first stone takes the row's three.
        Zelto z({0.0, row.stretch, row.ring, row.tube});
        EXPECT_FLOAT_EQ(z.stone(0).ringAngle, row.ringAngle) << row.why;
        EXPECT_FLOAT_EQ(z.stone(0).tubeAngle, row.tubeAngle) << row.why;
        EXPECT_EQ(centreOf(*z.stone(0).model),
                  torusPoint(*z.world.track, row.tubeAngle, 1.25f, row.ringAngle));
        EXPECT_EQ(randomDraws(), 1 + 3 * 30);
        scriptRandom({row.stretch, row.ring, row.tube});
        z.stone(1).respawn(z.world.track);
        EXPECT_FLOAT_EQ(z.stone(1).ringAngle, row.ringAngle) << "a hit re-places the same way";
    }
    Zelto z;
    ASSERT_EQ(z.world.objects.size(), 33u);
    EXPECT_EQ(z.world.objects[0], z.world.track);
    EXPECT_EQ(z.world.objects[1], z.world.robot);
    for (int i = 0; i < 30; ++i)
        EXPECT_EQ(z.world.objects[2 + i], &z.stone(i));
    EXPECT_EQ(z.world.objects[32], z.world.planet);
}

TEST(World, StoneThatHasGoneRoundRestartsFromZero) {
    Zelto z;
    std::vector<Obstacle*> one{&z.stone(0)};
    const std::pair<float, float> rows[] = {{350.0f, 365.0f}, {360.0f, 0.0f}, {-360.0f, 0.0f}};
    for (const auto& [ring, after] : rows) {
        z.stone(0).ringAngle = ring;
        advanceObstacles(one, 0.5f, 0.5f); // the track turns 0.25 rad: 15 ring degrees
        EXPECT_FLOAT_EQ(z.stone(0).ringAngle, after) << ring;
        EXPECT_EQ(centreOf(*z.stone(0).model), torusPoint(*z.world.track, 180.0f, 1.25f, after));
    }
}

TEST(World, CollisionWindowAndSpheres) {
    const glm::vec3 onTop(-4.0f, 1.25f, 0.0f);
    const struct {
        float tube, elevation, ring;
        glm::vec3 centre;
        bool hit;
        const char* why;
    } rows[] = {
        {90.0f, 1.0f, 150.0f, onTop, true, "standing: a stone on the surface hits the body"},
        {90.0f, 3.0f, 150.0f, onTop, false, "jumping clears it: the spheres rise"},
        {0.0f, 1.0f, 150.0f, onTop, false, "moved to the outer equator: dodged"},
        {0.0f, 1.0f, 150.0f, {-5.5f, 0.7f, 0.0f}, true, "and hit by a stone out there"},
        {90.0f, 1.0f, 150.0f, {-3.3f, 2.5f, 0.0f}, true, "the head sphere alone"},
        {90.0f, 1.0f, 150.0f, {-4.0f, 3.25f, 0.0f}, true, "touching the head, 0.75 apart"},
        {90.0f, 1.0f, 150.0f, {-4.0f, 3.3f, 0.0f}, false, "just clear above the head"},
        {90.0f, 1.0f, 150.0f, {-4.7f, 1.5f, 0.0f}, true, "the body sphere alone"},
        {90.0f, 1.0f, 135.0f, onTop, true, "the window starts at 135, included"},
        {90.0f, 1.0f, 180.0f, onTop, true, "and ends at the robot, 180, included"},
        {90.0f, 1.0f, 134.9f, onTop, false, "not yet in the window"},
        {90.0f, 1.0f, 180.1f, onTop, false, "past the robot: never tested again"},
    };
    for (const auto& row : rows) {
        Zelto z;
        z.robot().tubeAngle = row.tube;
        z.robot().elevation = row.elevation;
        z.put(0, row.ring, row.centre);
        EXPECT_EQ(z.world.jump->checkCollision(z.world.obstacles, z.world.robot), row.hit)
            << row.why;
        EXPECT_FLOAT_EQ(z.stone(0).ringAngle, row.hit ? 280.0f : row.ring) << "re-placed on a hit";
    }
    // Two stones touching: the first in list order is re-placed, the second waits a frame.
    Zelto z;
    z.put(0, 170.0f, onTop);
    z.put(1, 175.0f, onTop);
    EXPECT_TRUE(z.world.jump->checkCollision(z.world.obstacles, z.world.robot));
    EXPECT_EQ(centreOf(*z.stone(1).model), onTop);
    EXPECT_TRUE(z.world.jump->checkCollision(z.world.obstacles, z.world.robot));
    EXPECT_FLOAT_EQ(z.stone(1).ringAngle, 280.0f);
}

TEST(World, StepTurnsTheWorldUnlessPausedAndSpeedsUpAtTenthSecondsOfPlay) {
    // dt 0.25; every stone at ring 10 before the step; a jump taken off with dt 0.1 (elevation
    // 1.6) goes on in the step to 3.1 in every state. The ball turns 75 degrees in the jump step
    // and 75 more unless the title shows.
    const struct {
        bool title, paused, over;
        float t, lastSpeedUp, speed, turn, ring, ball;
        const char* why;
    } rows[] = {
        {false, false, false, 5.5f, 0.0f, 0.1f, 0.025f, 11.5f, -150.0f, "play: 60 ring deg/rad"},
        {false, true, false, 5.5f, 0.0f, 0.1f, 0.0f, 10.0f, -150.0f, "paused: the world stands"},
        {true, true, false, 10.2f, 0.0f, 0.1f, 0.0f, 10.0f, -75.0f, "title: the ball rests"},
        {false, false, false, 10.2f, 0.0f, 0.2f, 0.05f, 283.0f, -150.0f, "speed-up, reshuffle"},
        {false, true, false, 10.2f, 0.0f, 0.1f, 0.0f, 10.0f, -150.0f, "none while paused"},
        {false, true, true, 20.0f, 0.0f, 0.1f, 0.0f, 10.0f, -150.0f, "none after the end"},
        {false, false, false, 15.0f, 0.0f, 0.1f, 0.025f, 11.5f, -150.0f, "every ten seconds"},
        {false, false, false, 10.7f, 10.1f, 0.1f, 0.025f, 11.5f, -150.0f, "once in a second"},
    };
    for (const auto& row : rows) {
        Zelto z;
        z.state.startScreen = row.title;
        z.state.paused = row.paused;
        z.state.gameOver = row.over;
        z.state.lastSpeedUpTime = row.lastSpeedUp;
        z.state.deltaTime = 0.25f;
        for (Obstacle* stone : z.world.obstacles)
            stone->ringAngle = 10.0f;
        z.world.jump->start(z.robot(), 0.1f);
        stepWorld(z.world, z.state, z.camera, row.t);
        EXPECT_FLOAT_EQ(z.state.speed, row.speed) << row.why;
        EXPECT_NEAR(turnOf(z.ring.modelMatrix), row.turn, 1e-6f) << row.why;
        EXPECT_EQ(z.sky.modelMatrix, z.ring.modelMatrix) << "the skybox turns with the track";
        for (Obstacle* stone : z.world.obstacles)
            EXPECT_NEAR(stone->ringAngle, row.ring, 1e-4f) << row.why;
        EXPECT_FLOAT_EQ(z.robot().elevation, 3.1f) << row.why;
        EXPECT_FLOAT_EQ(z.robot().ballAngle, row.ball) << row.why;
    }
}

TEST(World, EachContactCostsOneLifeAndTheThirdFreezesTheWorldAtOnce) {
    Zelto z;
    z.play();
    // Stones near ring 180 on top of the tube touch the standing robot's body.
    const auto touch = [&z](int i) {
        z.stone(i).tubeAngle = 90.0f;
        z.put(i, 178.0f, torusPoint(*z.world.track, 90.0f, 1.25f, 178.0f));
    };
    for (int i = 0; i < 4; ++i)
        touch(i);
    for (int i = 0; i < 4; ++i)
        z.next(); // one stone a frame: one contact over four frames
    EXPECT_EQ(z.state.hits, 1);
    for (int i = 0; i < 4; ++i)
        EXPECT_GT(z.stone(i).ringAngle, 200.0f) << "every stone hit was re-placed";
    for (int hit = 2; hit <= 3; ++hit) {
        z.next();
        touch(0);
        const glm::mat4 track = z.ring.modelMatrix;
        const float ring = z.stone(5).ringAngle;
        z.next();
        EXPECT_EQ(z.state.hits, hit);
        EXPECT_EQ(z.state.gameOver && z.state.paused, hit == 3);
        EXPECT_EQ(z.ring.modelMatrix == track && z.stone(5).ringAngle == ring, hit == 3);
    }
}
