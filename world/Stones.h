#pragma once

#include <functional>
#include <vector>

class GameObject;
class Model;
class Obstacle;
class Torus;

// A random fraction from 0 to 1 inclusive, from the unseeded C rand (same sequence every run).
float randomFraction();

// Draws ring angle, then tube angle from the shared random sequence (three draws) and writes
// the stone's model matrix: its centre one stone radius above the tube surface. Ring angles
// are 0..90 or 200..360, never near the robot at 180.
void placeAtRandom(Obstacle& stone, const Torus& track);

// Creates the 30 stones on the track, appending each to obstacles and then to objects, and
// places each at random. loadStoneModel returns a new model with measured extents for every
// stone (the game imports "../External/Models/Stone/stone.obj"; tests build one by hand).
// The stones and their models are never released.
void createStones(Torus* track, std::vector<Obstacle*>& obstacles,
                  std::vector<GameObject*>& objects, const std::function<Model*()>& loadStoneModel);

// Moves every stone along the ring for one running frame and writes its model matrix. speed in
// radians per second that the track turns. The loop does not call it while paused.
void advanceObstacles(std::vector<Obstacle*>& obstacles, float speed, float deltaTime);

// Gives every stone, in list order, a new random place (at a speed-up).
void reshuffleObstacles(std::vector<Obstacle*> obstacles, Torus* track);
