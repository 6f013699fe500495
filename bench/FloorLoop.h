#pragma once

#include "pipeline/ScenePass.h"

struct BenchWorld;

// The cheapest frame with the scene pass's structure: the same framebuffer binds, clears,
// viewports, full-screen quads and buffer swap for the given flags, but no models and a one-fetch
// copy program in place of the blur and the composite. The yardstick a mode is measured against.
class FloorLoop {
  public:
    explicit FloorLoop(BenchWorld& world);
    void frame(const RenderFlags& flags);

  private:
    BenchWorld& world;
    Shader copy;
};
