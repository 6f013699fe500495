#include "Zelto.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

TEST(World, JumpRisesSlowlyAndFallsSteeplyWithTheCamera) {
    Zelto z;
    JumpState& jump = *z.world.jump;
    const float dt = 1.0f / 60.0f;
    int frames = 0;
    float peak = 0.0f; // above the surface
    jump.start(z.robot(), dt);
    for (; jump.jumping && frames < 1000; ++frames) {
        jump.step(z.robot(), z.camera, dt);
        EXPECT_FLOAT_EQ(z.camera.position.y, 2.0f + z.robot().elevation) << "level with the head";
        peak = std::max(peak, z.robot().elevation - 1.0f);
    }
    EXPECT_NEAR(frames, 94, 1);
    EXPECT_NEAR(peak, 3.06f, 0.01f);
    EXPECT_EQ(z.body.modelMatrix, startPose(*z.world.track)) << "landed in the first frame's pose";
    // One step of 0.1 s below a peak of 2: elevation, velocity, acceleration, still jumping.
    const auto stepFrom = [&](float elevation, float velocity, float acceleration) {
        z.robot().elevation = elevation;
        jump.velocity = velocity;
        jump.acceleration = acceleration;
        jump.jumping = true;
        jump.peakElevation = 2.0f;
        jump.step(z.robot(), z.camera, 0.1f);
        return std::tuple(z.robot().elevation, jump.velocity, jump.acceleration, jump.jumping);
    };
    EXPECT_EQ(stepFrom(1.0f, -3.0f, -20.0f), std::tuple(1.0f, 6.0f, -5.0f, false))
        << "feet on the surface: landed, the start values back";
    EXPECT_EQ(stepFrom(2.0f, 0.0f, -5.0f), std::tuple(2.0f, -0.8f, -8.0f, true))
        << "no higher than the peak counts as falling";
}

TEST(World, StonesArePlacedFromThreeDrawsAwayFromTheRobot) {
    // Fractions of the random range: stretch, ring angle, tube angle. Then one frame of travel
    // while the track turns 0.25 rad: 15 ring degrees, or back to 0 from a full turn.
    const struct {
        float stretch, ring, tube, ringAngle, tubeAngle, travelled;
        glm::vec3 centre;
        const char* why;
    } rows[] = {
        {0.5f, 0.0f, 1.0f, 200.0f, 360.0f, 215.0f, {-4.9334f, 0, 1.7956f}, "a half: far, from 200"},
        {1.0f, 1.0f, 0.25f, 360.0f, 90.0f, 0.0f, {4, 1.25f, 0}, "which ends at 360"},
        {0.49f, 1.0f, 0.0f, 90.0f, 0.0f, 105.0f, {0, 0, -5.25f}, "below a half near, up to 90"},
    };
    for (const auto& row : rows) {
        // Stone creation discards the first draw: the first stone takes the row's three.
        Zelto z({0.0, row.stretch, row.ring, row.tube});
        EXPECT_EQ(randomDraws, 1 + 3 * 30);
        EXPECT_NEAR(z.stone(0).ringAngle, row.ringAngle, kDrawTolerance) << row.why;
        EXPECT_NEAR(z.stone(0).tubeAngle, row.tubeAngle, kDrawTolerance) << row.why;
        EXPECT_VEC_NEAR(Zelto::centre(*z.stone(0).model), row.centre, 1e-3f) << row.why;
        EXPECT_TRUE(z.world.objects.size() == 33 && z.world.objects[0] == z.world.track &&
                    z.world.objects[2] == &z.stone(0) && z.world.objects[32] == z.world.planet);
        advanceObstacles(z.world.obstacles, 0.5f, 0.5f);
        EXPECT_NEAR(z.stone(0).ringAngle, row.travelled, kDrawTolerance) << row.why;
        EXPECT_EQ(Zelto::centre(*z.stone(0).model),
                  torusPoint(*z.world.track, z.stone(0).tubeAngle, 1.25f, z.stone(0).ringAngle));
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
        EXPECT_NEAR(z.stone(0).ringAngle, row.hit ? 280.0f : row.ring, kDrawTolerance)
            << "re-placed on a hit";
    }
}

TEST(World, StepTurnsTheWorldUnlessPausedAndSpeedsUpAtTenthSecondsOfPlay) {
    // dt 0.25; every stone at ring 10 before the step; a jump taken off with dt 0.1 (elevation
    // 1.6) goes on in the step to 3.1 in every state. The ball turns 75 degrees in the jump step
    // and 75 more unless the title shows: ball is its angle after the step.
    const struct {
        bool title, paused, over;
        float t, lastSpeedUp, speed, turn, ring, ball;
        const char* why;
    } rows[] = {
        {false, false, false, 5.5f, 0.0f, 0.1f, 0.025f, 11.5f, -150.0f, "play: 60 ring deg/rad"},
        {false, true, false, 5.5f, 0.0f, 0.1f, 0.0f, 10.0f, -150.0f, "paused: the world stands"},
        {false, false, false, 10.2f, 0.0f, 0.2f, 0.05f, 283.0f, -150.0f, "speed-up, reshuffle"},
        {false, true, false, 10.2f, 0.0f, 0.1f, 0.0f, 10.0f, -150.0f, "none while paused"},
        {true, false, false, 10.2f, 0.0f, 0.1f, 0.025f, 11.5f, -75.0f, "nor on the title"},
        {false, false, true, 20.0f, 0.0f, 0.1f, 0.025f, 11.5f, -150.0f, "nor after the end"},
        {false, false, false, 15.0f, 0.0f, 0.1f, 0.025f, 11.5f, -150.0f, "every ten seconds"},
        {false, false, false, 10.7f, 10.1f, 0.1f, 0.025f, 11.5f, -150.0f, "once in a second"},
    };
    for (const auto& row : rows) {
        Zelto z;
        z.state.startScreen = row.title;
        z.state.paused = row.paused;
        z.state.gameOver = row.over;
        z.state.lastSpeedUpTime = row.lastSpeedUp;
        z.state.lastFrameTime = row.t - 0.25f; // exact: a frame of 0.25 s
        z.state.runFrames = 2;                 // past the start pose
        for (Obstacle* stone : z.world.obstacles)
            stone->ringAngle = 10.0f;
        z.world.jump->start(z.robot(), 0.1f);
        z.frame(row.t);
        EXPECT_FLOAT_EQ(z.state.speed, row.speed) << row.why;
        const glm::mat4& track = z.ring.modelMatrix; // a turn about +Y: x axis (cos, 0, -sin)
        EXPECT_NEAR(std::atan2(-track[0][2], track[0][0]), row.turn, 1e-6f) << row.why;
        EXPECT_EQ(z.sky.modelMatrix, track) << "the skybox turns with the track";
        for (Obstacle* stone : z.world.obstacles)
            EXPECT_NEAR(stone->ringAngle, row.ring, kDrawTolerance) << row.why;
        EXPECT_FLOAT_EQ(z.robot().elevation, 3.1f) << row.why;
        // Turned clockwise seen from above, half a unit from a point half a unit above the head.
        const float b = row.ball * kDeg;
        EXPECT_VEC_NEAR(Zelto::centre(z.ball),
                        glm::vec3(-4 + std::cos(b) / 2, 5.6f, -std::sin(b) / 2), 1e-4f)
            << row.why;
    }
}

TEST(World, EachContactCostsOneLifeAndTheThirdFreezesTheWorldAtOnce) {
    Zelto z;
    z.play();
    const glm::vec3 nearTop = torusPoint(*z.world.track, 90.0f, 1.25f, 178.0f); // touches the body
    for (int i = 0; i < 4; ++i)
        z.put(i, 178.0f, nearTop);
    for (int i = 0; i < 4; ++i) {
        z.next(); // one stone hit and re-placed a frame, the later ones not even tested
        EXPECT_TRUE(z.stone(i).ringAngle > 200.0f && (i == 3 || z.stone(3).ringAngle < 180.0f));
    }
    EXPECT_EQ(z.state.hits, 1) << "one contact over four frames";
    for (int hit = 2; hit <= 4; ++hit) {
        z.next();
        z.put(0, 178.0f, nearTop);
        const glm::mat4 track = z.ring.modelMatrix;
        const float ring = z.stone(5).ringAngle;
        z.next();
        EXPECT_EQ(z.state.hits, hit) << "contacts count in every state";
        EXPECT_EQ(z.state.gameOver && z.state.paused, hit >= 3);
        EXPECT_EQ(z.plan.screens.hearts, hit < 3) << "no hearts once the game is over";
        EXPECT_EQ(z.ring.modelMatrix == track && z.stone(5).ringAngle == ring, hit >= 3);
    }
}

TEST(World, TheCollisionTestSeesTheRobotBeforeTheFramesJumpStep) {
    Zelto z;
    z.play();
    // Under the feet: the body sphere touches it while the robot stands, not 0.3 higher.
    z.put(0, 178.0f, torusPoint(*z.world.track, 90.0f, 0.9f, 178.0f));
    z.world.jump->start(z.robot(), 0.01f); // just off the ground
    z.next();
    EXPECT_GT(z.robot().elevation, 1.25f) << "the frame's jump step lifted the robot";
    EXPECT_EQ(z.state.hits, 1) << "but the stone touched it where it stood";
}

TEST(World, TheFirstFramePutsTheRobotInItsStartPoseWhateverItHeld) {
    Zelto z;
    z.body.modelMatrix = glm::mat4(2.0f);
    z.robot().tubeAngle = 45.0f;
    z.frame(1.0f);
    EXPECT_VEC_NEAR(Zelto::centre(z.body), glm::vec3(-4, 1, 0), 1e-5f) << "feet on top at -X";
    EXPECT_VEC_NEAR(glm::vec3(z.body.modelMatrix[0]), glm::vec3(-1, 0, 0), 1e-5f)
        << "half a turn about +Y, facing the stones";
    EXPECT_VEC_NEAR(glm::vec3(z.body.modelMatrix[1]), glm::vec3(0, 1, 0), 1e-5f);
}
