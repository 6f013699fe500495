#pragma once

#include "pipeline/PassEnd.h"
#include "render/Shader.h"

#include <GL/glew.h>
#include <vector>

class GameObject;
class Model;

// The HDR bloom pipeline: the scene goes into a two-output HDR target (colour and the part that
// glows), the glowing part is blurred by ping-ponging between two targets, the skybox is added
// to the scene afterwards (so it never glows), and a composite tone-maps scene plus glow into
// the window. Owns GL names that live until the process ends, so it is not copied.
class BloomRenderer {
  public:
    int width, height;               // window size at creation; every target has it
    float exposure;                  // tone-mapping exposure, fixed at 1.0
    GLuint quadVAO = 0, quadVBO = 0; // screen quad, created on its first draw
    GLuint hdrFBO = 0;
    GLuint colorBuffers[2] = {0, 0}; // [0] scene colour (attachment 0), [1] bright colour (1)
    GLuint pingpongFBO[2] = {0, 0};
    GLuint pingpongColorBuffers[2] = {0, 0}; // texture k sits at attachment k of target k

    // Creates the HDR and ping-pong targets of width x height RGB16F texels. Each incomplete
    // target prints "Framebuffer not complete!"; creation goes on. Leaves the default
    // framebuffer bound and no texture on units 0 and 2.
    BloomRenderer(int width, int height);
    BloomRenderer(const BloomRenderer&) = delete;
    BloomRenderer& operator=(const BloomRenderer&) = delete;

    // Draws the 3D scene with bloom into the window: objects into the HDR target with the role
    // programs (as drawObjects), ten blur passes, the skybox into the HDR target, composite.
    // Relies on the viewport being the window size. Leaves the default framebuffer bound, no
    // texture on units 0 and 2, unit 2 active and the bloom program current. passEnd is called
    // after each of the four passes.
    void render(Shader first, Shader blur, Shader bloom, const std::vector<GameObject*>& objects,
                Model* skybox, Shader sky, Shader objectsProgram, const PassEndHook& passEnd);
    // Draws the full-screen quad as a triangle strip, creating it on the first call.
    void renderQuad();

  private:
    void blurBrightColor(Shader blur);
};
