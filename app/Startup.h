#pragma once

#include "pipeline/DepthCubeMap.h"
#include "pipeline/ScenePass.h"
#include "world/World.h"

#include <memory>

class BloomRenderer;
class Model;

// Start-up steps that the game and the frame benchmark share, each in the game's start-up order.

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
