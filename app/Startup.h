#pragma once

#include "app/Hud.h"
#include "app/Programs.h"
#include "pipeline/BloomRenderer.h"
#include "pipeline/DepthCubeMap.h"
#include "pipeline/ScenePass.h"
#include "render/Model.h"
#include "render/TextRenderer.h"
#include "world/World.h"

#include <glm/glm.hpp>
#include <memory>

struct GLFWwindow;

// The renderer's start-up, shared by the game, the GL tests and the frame benchmark, and the
// steps it takes in order.

// The shadowed program's fixed sampler units (its diffuse map on unit 0, the cube map on unit
// 3), then the shadow cube map.
DepthCubeMap createShadowTarget(const ScenePrograms& programs);

// The composite's sampler units (scene on unit 0, blurred glow on unit 2), then the HDR and
// ping-pong targets of width x height.
std::unique_ptr<BloomRenderer> createBloomTarget(const ScenePrograms& programs, int width,
                                                 int height);

// Every model file of the game, owned until the game ends.
struct LoadedModels {
    std::unique_ptr<Model> robot, ball, track, skybox, planet, rocket, stone;
    WorldModels world() const;
    // A new copy of the one stone import for every stone: copies share meshes and textures
    // and keep their own model matrix.
    Model* newStone() const;
};

// Imports the robot, ball, track, skybox, planet and rocket models (the rocket is never drawn)
// and the stone, and measures the models whose sizes the world reads.
LoadedModels loadModels();

// Everything that draws, made once by startRenderer and owned until the game ends. Built whole:
// its programs exist only as loaded from their files.
struct Renderer {
    Programs programs;
    std::unique_ptr<BloomRenderer> bloom;
    SceneTargets scene;       // the scene programs, the shadow cube map, the bloom targets
    glm::mat4 textProjection; // command-line pixels, origin bottom left
    std::unique_ptr<TextRenderer> titleFont, menuFont, smallFont, heartFont;
    Fonts fonts; // the four fonts above
    LoadedModels models;
};

// The GL state that holds for the whole run (the viewport on the window's framebuffer, depth
// test, alpha blending), the programs, the shadow cube map, the text projection, the bloom
// targets of width x height (the command-line size), the fonts, then the models. Fonts come
// before the first model: glyph loading sets the unpack alignment of 1 that the tightly packed
// RGB rows of model textures rely on.
Renderer startRenderer(GLFWwindow* window, int width, int height);
