#pragma once

#include <functional>

// The scene's passes, each named where it ends: the shadow cube map (with the window made ready
// again), the skybox, the objects into the HDR target or the window, the ping-pong blur and the
// composite. Without bloom the skybox ends before the scene; with bloom after the blur.
enum class RenderPass { ShadowCubeMap, Scene, Blur, Skybox, Composite };

// Called right after a pass's last GL call, with the pass that ended: the frame benchmark's
// per-pass timing. Empty in the game and the tests, where no call is made.
using PassEndHook = std::function<void(RenderPass)>;

inline void endPass(const PassEndHook& hook, RenderPass pass) {
    if (hook)
        hook(pass);
}
