#pragma once

#include "app/Frame.h"
#include "app/Startup.h"

#include <glm/glm.hpp>

// The GL half of a frame: what playFrame decided, drawn.

// 5. The window's colour and depth, cleared to kClearColor.
void clearFrame();

// 21. The toggles' GL switches and key labels in key order (F2, C, F3, F5, F9), each switch
// just before its own label: the frame time and debug labels draw in the polygon mode and
// blend state the last frame left, the wireframe label in its new polygon mode, the blending
// label in its new blend state. F5 sets every model's mip-mapping request, the skybox's too.
void applyToggleEffects(const ToggleEffects& effects, float deltaTime, World& world,
                        Renderer& renderer);

// The frame's drawing, in frame order: the clear, the scene (light, camera, shadows, the world
// with or without bloom), the text screens over it, the toggles' effects. Returns the light
// position the scene used (world space).
glm::vec3 drawFrame(const FramePlan& plan, Play& play, Renderer& renderer, glm::vec3 lightColor);
