#pragma once

#include "pipeline/DepthCubeMap.h"
#include "pipeline/PassEnd.h"
#include "pipeline/RenderFlags.h"
#include "render/Shader.h"

#include <glm/glm.hpp>
#include <vector>

class BloomRenderer;
class Camera;
struct World;
class GameObject;
class Model;
class Obstacle;
class Player;

// Every program the scene pass uses, named after its source files under "../Shader/".
struct ScenePrograms {
    Shader basicLightingBloom;
    Shader normalMapping;
    Shader modelShader;
    Shader basicLightingBloomShadow;
    Shader depthShader;
    Shader blurShader;
    Shader bloomShader;
};

// The three programs that draw the world: `first` the track (index 0), `objects` the robot and
// the stones, `sky` the skybox and the planet (the last index).
struct RolePrograms {
    Shader first;
    Shader objects;
    Shader sky;
};

struct CameraMatrices {
    glm::mat4 projection;
    glm::mat4 view;
};

// The light follows the robot body only while it moves with L and shadows are off (the shadow
// map is built around the fixed light); otherwise it sits at kFixedLightPos. World space.
glm::vec3 lightPosition(const RenderFlags& flags, const Player& robot);

// Projection and view from the camera for a window of width x height pixels.
CameraMatrices cameraMatrices(const Camera& camera, int width, int height);

// Which program draws which role: shadows win over normal mapping, bloom plays no part.
RolePrograms selectPrograms(const RenderFlags& flags, const ScenePrograms& programs);

// The light, camera and material uniforms of the lit programs and ModelShader, every frame
// whatever the flags.
void uploadSceneUniforms(const ScenePrograms& programs, const CameraMatrices& matrices,
                         glm::vec3 lightPos, glm::vec3 lightColor, glm::vec3 cameraPosition);

// What the scene pass draws with, made once at start-up.
struct SceneTargets {
    ScenePrograms programs;
    DepthCubeMap depthMap;
    BloomRenderer* bloom; // not owned
    int width, height;    // command-line size: the projection's aspect and the window viewport
    PassEndHook passEnd;  // empty unless a benchmark times the passes
};

// The whole 3D scene of one frame, after the frame clear and before the text overlay: light
// position, camera matrices, uniforms, the shadow pass when shadows are on, the world straight
// into the window or through the bloom pipeline, and a final clear of the window's depth so
// the text draws over the scene. Returns the light position it used (world space).
glm::vec3 renderScene(const RenderFlags& flags, const Camera& camera, const World& world,
                      glm::vec3 lightColor, const SceneTargets& targets);
