#include "pipeline/BloomRenderer.h"

#include "pipeline/PipelineConstants.h"
#include "pipeline/WorldDraw.h"
#include "render/Model.h"
#include "render/Uniforms.h"

#include <iostream>

namespace {

const GLenum kDrawBuffers[2] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1};
// The HDR target's scene colour alone: output 1 of the program goes nowhere.
const GLenum kSceneColourOnly[2] = {GL_COLOR_ATTACHMENT0, GL_NONE};

// An RGB16F render texture: linear filtering (the blur's taps rely on it), clamped edges so the
// blur does not wrap glow across the screen, no mipmaps.
void defineTargetTexture(GLuint texture, int width, int height) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, width, height, 0, GL_RGB, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void reportIncomplete() {
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        std::cout << "Framebuffer not complete!" << std::endl;
}

void unbindUnits0And2() {
    glActiveTexture(GL_TEXTURE0 + kSceneUnit);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0 + kBloomBlurUnit);
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace

BloomRenderer::BloomRenderer(int width, int height)
    : width(width), height(height), exposure(kExposure) {
    glGenFramebuffers(1, &hdrFBO);
    glBindFramebuffer(GL_FRAMEBUFFER, hdrFBO);
    glGenTextures(2, colorBuffers);
    for (int i = 0; i < 2; ++i) {
        defineTargetTexture(colorBuffers[i], width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, hdrFBO);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D,
                               colorBuffers[i], 0);
    }
    // The scene is depth-tested in the HDR target; the renderbuffer name is not needed later.
    GLuint depthRenderbuffer = 0;
    glGenRenderbuffers(1, &depthRenderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, depthRenderbuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                              depthRenderbuffer);
    glDrawBuffers(2, kDrawBuffers);
    reportIncomplete();
    unbindUnits0And2();
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    glGenFramebuffers(2, pingpongFBO);
    glGenTextures(2, pingpongColorBuffers);
    for (int k = 0; k < 2; ++k) {
        glBindFramebuffer(GL_FRAMEBUFFER, pingpongFBO[k]);
        defineTargetTexture(pingpongColorBuffers[k], width, height);
        // Target k takes the blur from fragment output k; the other draw buffer has no
        // attachment and its writes are dropped.
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + k, GL_TEXTURE_2D,
                               pingpongColorBuffers[k], 0);
        glDrawBuffers(2, kDrawBuffers);
        reportIncomplete();
        unbindUnits0And2();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
}

void BloomRenderer::render(Shader first, Shader blur, Shader bloom,
                           const std::vector<GameObject*>& objects, Model* skybox, Shader sky,
                           Shader objectsProgram, const PassEndHook& passEnd) {
    // 1-2: the objects into the HDR target; the clear colour is the frame's.
    glBindFramebuffer(GL_FRAMEBUFFER, hdrFBO);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawObjects(objectsProgram, sky, first, objects);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    endPass(passEnd, RenderPass::Scene);

    // 3: the glow, taken before the skybox exists in the scene.
    blurBrightColor(blur);
    endPass(passEnd, RenderPass::Blur);

    // 4: the skybox behind the objects, into the scene colour only after the blur. Nothing reads
    // the bright colour again before the next frame's clear, so the sky program's glow output
    // (black) is not written at all: a fifth of the pass's time on llvmpipe.
    glBindFramebuffer(GL_FRAMEBUFFER, hdrFBO);
    glDrawBuffers(2, kSceneColourOnly);
    glUseProgram(sky.programId);
    if (skybox != nullptr)
        skybox->draw(sky, skybox->modelMatrix);
    glDrawBuffers(2, kDrawBuffers);
    endPass(passEnd, RenderPass::Skybox);

    // 5: composite into the window: scene on unit 0, blurred bright colour on unit 2.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUseProgram(bloom.programId);
    glActiveTexture(GL_TEXTURE0 + kSceneUnit);
    glBindTexture(GL_TEXTURE_2D, colorBuffers[0]);
    glActiveTexture(GL_TEXTURE0 + kBloomBlurUnit);
    glBindTexture(GL_TEXTURE_2D, pingpongColorBuffers[0]);
    setUniform(bloom.programId, "bloom", kBloomOn);
    setUniform(bloom.programId, "exposure", exposure);
    renderQuad();
    unbindUnits0And2();
    endPass(passEnd, RenderPass::Composite);
}

// Ten passes: pass i writes target i mod 2 from what the previous pass wrote. The first pass
// fills both targets from the bright colour (its second draw lands in target 1), so target 0,
// last written by pass 8 and read by the composite, holds nine blurs of the bright colour.
void BloomRenderer::blurBrightColor(Shader blur) {
    glUseProgram(blur.programId);
    for (int i = 0; i < kBlurPasses; ++i) {
        glBindFramebuffer(GL_FRAMEBUFFER, pingpongFBO[i % 2]);
        glActiveTexture(GL_TEXTURE0 + kSceneUnit);
        if (i == 0) {
            glBindTexture(GL_TEXTURE_2D, colorBuffers[1]);
            renderQuad();
            glBindTexture(GL_TEXTURE_2D, 0);
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            glBindFramebuffer(GL_FRAMEBUFFER, pingpongFBO[1]);
            glBindTexture(GL_TEXTURE_2D, colorBuffers[1]);
        } else {
            glBindTexture(GL_TEXTURE_2D, pingpongColorBuffers[(i - 1) % 2]);
        }
        renderQuad();
        glActiveTexture(GL_TEXTURE0 + kSceneUnit);
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
}

void BloomRenderer::renderQuad() {
    if (quadVAO == 0) {
        // x, y, z, u, v per vertex: a clip-space square covering the screen, as a strip.
        const float quadVertices[kScreenQuadVertices * kScreenQuadFloatsPerVertex] = {
            -1.0f, 1.0f,  0.0f, 0.0f, 1.0f, //
            -1.0f, -1.0f, 0.0f, 0.0f, 0.0f, //
            1.0f,  1.0f,  0.0f, 1.0f, 1.0f, //
            1.0f,  -1.0f, 0.0f, 1.0f, 0.0f, //
        };
        const GLsizei stride = kScreenQuadFloatsPerVertex * sizeof(float);
        glGenVertexArrays(1, &quadVAO);
        glGenBuffers(1, &quadVBO);
        glBindVertexArray(quadVAO);
        glBindBuffer(GL_ARRAY_BUFFER, quadVBO);
        glBufferData(GL_ARRAY_BUFFER, sizeof(quadVertices), quadVertices, GL_STATIC_DRAW);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(3 * sizeof(float)));
    }
    glBindVertexArray(quadVAO);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, kScreenQuadVertices);
    glBindVertexArray(0);
}
