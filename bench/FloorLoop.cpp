#include "bench/FloorLoop.h"

#include "app/FrameDraw.h"
#include "bench/BenchWorld.h"
#include "pipeline/BloomRenderer.h"
#include "pipeline/PipelineConstants.h"

#include <GL/glew.h>

namespace {

Shader flat(const char* vertexPath) {
    return Shader(vertexPath, "../bench/FloorFlat.fragment");
}

} // namespace

FloorLoop::FloorLoop(BenchWorld& world)
    : world(world), copy("../Shader/BlurShader.vertex", "../bench/FloorCopy.fragment"),
      flatTargets(world.renderer->scene) {
    ScenePrograms& programs = flatTargets.programs;
    programs.basicLightingBloom = flat("../Shader/BasicLightingBloom.vertex");
    programs.normalMapping = flat("../Shader/NormalMapping.vertex");
    programs.modelShader = flat("../Shader/ModelShader.vertex");
    programs.basicLightingBloomShadow = flat("../Shader/BasicLightingBloomShadow.vertex");
    programs.blurShader = copy;
    programs.bloomShader = copy;
}

void FloorLoop::frame(const RenderFlags& flags) {
    BloomRenderer& bloom = *world.renderer->bloom;
    const SceneTargets& scene = world.renderer->scene;
    clearFrame();
    if (flags.shadowsOn) {
        glViewport(0, 0, scene.depthMap.width, scene.depthMap.height);
        glBindFramebuffer(GL_FRAMEBUFFER, scene.depthMap.fbo);
        glClear(GL_DEPTH_BUFFER_BIT);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glViewport(0, 0, scene.width, scene.height);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    if (flags.bloomOn) {
        glBindFramebuffer(GL_FRAMEBUFFER, bloom.hdrFBO);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glUseProgram(copy.programId);
        glActiveTexture(GL_TEXTURE0);
        for (int i = 0; i < kBlurPasses; ++i) {
            glBindFramebuffer(GL_FRAMEBUFFER, bloom.pingpongFBO[i % 2]);
            if (i == 0) {
                glBindTexture(GL_TEXTURE_2D, bloom.colorBuffers[1]);
                bloom.renderQuad();
                glBindFramebuffer(GL_FRAMEBUFFER, bloom.pingpongFBO[1]);
            } else {
                glBindTexture(GL_TEXTURE_2D, bloom.pingpongColorBuffers[(i - 1) % 2]);
            }
            bloom.renderQuad();
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBindTexture(GL_TEXTURE_2D, bloom.colorBuffers[0]);
        bloom.renderQuad();
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glClear(GL_DEPTH_BUFFER_BIT);
}

void FloorLoop::geometryFrame(const RenderFlags& flags) {
    clearFrame();
    renderScene(flags, world.play.camera, world.play.world, world.lightColor, flatTargets);
}
