#pragma once

#include "pipeline/PassEnd.h"
#include "render/Shader.h"

#include <vector>

class GameObject;
class Model;
class Obstacle;

// Which stones show. Ring angles in degrees; the robot stands at 180.
// A stone on 183..220 (both inclusive) is not drawn: it would block the view of the robot.
bool isHiddenStone(float ringAngle);
// A stone on 183..200 (both inclusive) casts no shadow; one on 200..220 casts one but is hidden.
bool isShadowlessStone(float ringAngle);

// Draws the world objects by index into the bound framebuffer, making a program current before
// each object: index 0 (the track) with `first`, index 1 (the robot: its body, then its ball)
// and the stones with `objectsProgram`, the last index (the planet) with `sky`. Hidden stones
// and objects without a model are skipped. Index 1 counts as the robot even when it is also the
// last index.
void drawObjects(Shader objectsProgram, Shader sky, Shader first,
                 const std::vector<GameObject*>& objects);

// The scene without bloom: the skybox first, with `sky`, then drawObjects; passEnd is called
// after each of the two.
void drawWorld(Shader objectsProgram, Shader sky, Shader first,
               const std::vector<GameObject*>& objects, Model* skybox, const PassEndHook& passEnd);

// Draws every stone's model with `program` (already current) and the model's own matrix, in
// list order, skipping shadowless stones and stones without a model. Used by the depth pass.
void drawObstacles(Shader program, const std::vector<Obstacle*>& obstacles);
