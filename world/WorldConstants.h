#pragma once

// Tuning values of the world. Angles are degrees unless the name says radians; times are
// seconds; distances are model units.

// Degrees to radians as the world converts them, right before every sine and cosine: pi/180
// rounded to float. Kept instead of glm::radians so every placement rounds the same way.
constexpr float kDegToRad = 0.017453292f;
// Single-precision pi and pi/2, in radians.
constexpr float kPi = 3.1415927f;
constexpr float kHalfPi = 1.5707964f;

// The robot stands still at this ring angle; the track turns under it.
constexpr float kRobotRingAngle = 180.0f;
// Start of the robot: on top of the tube.
constexpr float kStartTubeAngle = 90.0f;
// Radius of the head collision sphere and of the ball's orbit above the head.
constexpr float kHeadRadius = 0.5f;

// Move directions of Player::move (the camera's codes for free flight left and right).
constexpr int kMoveLeft = 2;
constexpr int kMoveRight = 3;

// Sideways speed around the tube, degrees per second (tubeAngle, tilt, camera roll).
constexpr float kSideSpeed = 115.0f;
// The ball always turns the same way, degrees per second.
constexpr float kBallSpeed = 300.0f;
// Angles are set back to 0 once they reach a full turn either way (the excess is dropped).
constexpr float kFullTurn = 360.0f;

// Jump: start velocity in units per second, start acceleration in units per second squared,
// and how fast the acceleration itself grows more negative, units per second cubed.
constexpr float kJumpVelocity = 6.0f;
constexpr float kJumpAcceleration = -5.0f;
constexpr float kRiseDecay = 3.7f;
constexpr float kFallDecay = 30.0f;

// Stones.
constexpr int kStoneCount = 30;
// Ring degrees a stone travels per radian the track turns (not 180/pi: stones run ~4.7% faster
// than the surface under them).
constexpr float kRingDegreesPerRadian = 60.0f;
// Random placement: half the stones on 200..360, half on 0..90, never 90..200 (around the
// robot). Tube angle anywhere.
constexpr float kFarRingStart = 200.0f;
constexpr float kFarRingSpan = 160.0f;
constexpr float kNearRingStart = 0.0f;
constexpr float kNearRingSpan = 90.0f;
constexpr float kTubeSpan = 360.0f;
constexpr float kFarRingChance = 0.5f; // a first draw at or above this picks the far stretch

// Only stones on this stretch of ring, both ends included, can touch the robot.
constexpr float kCollisionRingStart = 135.0f;
constexpr float kCollisionRingEnd = 180.0f;
