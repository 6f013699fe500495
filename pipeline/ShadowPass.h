#pragma once

#include "pipeline/DepthCubeMap.h"
#include "render/Shader.h"

#include <array>
#include <glm/glm.hpp>
#include <vector>

class Model;
class Obstacle;

// The six light-space matrices (projection x view) of one depth pass, in cube-face order
// +X, -X, +Y, -Y, +Z, -Z, each looking from lightPos (world space) along its face's axis.
std::array<glm::mat4, 6> shadowTransforms(glm::vec3 lightPos);

// Renders the shadow casters into the depth cube map: the robot's body, its ball, the track,
// then the stones (drawObstacles). Null models are skipped. Leaves the cube map's framebuffer
// bound, the viewport at the cube face size and the depth program current; the caller rebinds
// the window and restores its viewport.
void renderShadowPass(glm::vec3 lightPos, Shader depthShader, const DepthCubeMap& depthMap,
                      Model* robotBody, Model* ball, Model* track,
                      const std::vector<Obstacle*>& obstacles);
