#pragma once

#include <vector>

class Camera;
class Obstacle;
class Player;
class Torus;

// The robot's jump, and the collision test between the robot and the stones.
class JumpState {
  public:
    float velocity;     // units per second, radial
    Torus* torus;       // ground level is its minorRadius; not owned
    float acceleration; // units per second squared; grows more negative every frame
    bool jumping;
    float peakElevation; // highest elevation of the current jump; 0 while idle

    explicit JumpState(Torus* torus);

    // Space with no jump in progress: lifts the robot by one frame at the start velocity.
    // Does nothing while a jump is in progress.
    void start(Player& player, float deltaTime);
    // One frame of a jump in progress: rise or fall, or land and restore the start values,
    // then place the robot, turn its ball and move the follow camera up with it. Does nothing
    // while no jump is in progress.
    void step(Player& player, Camera& camera, float deltaTime);

    // True when a stone on the stretch of ring before the robot touches its head or body
    // sphere; that stone has then been re-placed at random. Later stones are not tested.
    bool checkCollision(std::vector<Obstacle*> obstacles, Player* player);
};
