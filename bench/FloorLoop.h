#pragma once

#include "pipeline/ScenePass.h"

struct BenchWorld;

// Two yardsticks a mode is measured against, for the given flags:
// - the floor, the cheapest frame with the scene pass's structure: the same framebuffer binds,
//   clears, viewports, full-screen quads and buffer swap, but no models and a one-fetch copy
//   program in place of the blur and the composite;
// - the geometry floor, the scene pass itself with the same meshes into the same targets, each
//   lit or sky program replaced by its own vertex stage and a one-colour fragment stage (the
//   shadow pass keeps its depth program), the copy in place of blur and composite, no text.
class FloorLoop {
  public:
    explicit FloorLoop(BenchWorld& world);
    void frame(const RenderFlags& flags);
    void geometryFrame(const RenderFlags& flags);

  private:
    BenchWorld& world;
    Shader copy;
    SceneTargets flatTargets;
};
