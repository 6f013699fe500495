#pragma once

#include "render/RenderConstants.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

// Constants of the render pipeline: the shadow cube map, the bloom targets and the scene pass.
// The GLSL files under "../Shader/" rely on the same units and output slots.

// Shadow cube map: faces of 1024 x 1024 depth texels; the light's projection spans 90 degrees
// per face (aspect 1), so six faces cover every direction. Distances in world units.
constexpr int kShadowSize = 1024;
constexpr float kShadowFovDegrees = 90.0f;
constexpr float kShadowNear = 1.0f; // the lit shadow program decodes the depth with the same plane
constexpr float kShadowFar = 25.0f; // also uploaded as "far_plane" to the depth and lit programs
constexpr int kCubeFaces = 6;

// Stones whose ring angle (degrees) lies in [183, 200] cast no shadow; stones in [183, 220] are
// not drawn. Both bounds are inclusive. The robot stands at ring angle 180.
constexpr float kHiddenStoneFrom = 183.0f;
constexpr float kShadowlessStoneTo = 200.0f;
constexpr float kHiddenStoneTo = 220.0f;

// Bloom: ten blur passes alternating between the two ping-pong targets; the composite reads
// ping-pong texture 0, last written by pass 8.
constexpr int kBlurPasses = 10;
constexpr float kExposure = 1.0f;
constexpr GLint kBloomOn = 1; // "bloom" is always sent as 1: no key changes it

// Texture units: the blur reads its input and the composite its scene colour on unit 0, the
// composite its blurred bright colour on unit 2; meshes bind the shadow cube map on
// kShadowCubeMapUnit.
constexpr GLint kSceneUnit = 0;
constexpr GLint kBloomBlurUnit = 2;
constexpr GLint kDiffuseUnit = 0;

// The screen quad: four (x, y, z, u, v) vertices drawn as a triangle strip.
constexpr int kScreenQuadVertices = 4;
constexpr int kScreenQuadFloatsPerVertex = 5;

// Frame clear colour of the window and of the HDR target.
constexpr glm::vec4 kClearColor(0.0f, 0.0f, 0.4f, 0.0f);

// The point light sits in the ring's hole, a little above the tube, unless it follows the robot.
constexpr glm::vec3 kFixedLightPos(1.2f, 1.0f, 2.0f);

// Material values shared by every lit object: the specular exponent and strength.
constexpr float kShineDamper = 30.0f;
constexpr float kReflectivity = 1.0f;

// Camera projection: the camera's zoom (45.0) goes to glm::perspective as radians without a
// degree conversion, so the vertical field of view is about 58.3 degrees. That look is the
// game's own; keep it.
constexpr float kCameraNear = 0.1f;
constexpr float kCameraFar = 100.0f;
