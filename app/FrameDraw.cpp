#include "app/FrameDraw.h"

#include "app/Hud.h"
#include "pipeline/PipelineConstants.h"
#include "render/Model.h"
#include "render/Uniforms.h"
#include "world/GameObject.h"

#include <GL/glew.h>

void clearFrame() {
    glClearColor(kClearColor.r, kClearColor.g, kClearColor.b, kClearColor.a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void applyToggleEffects(const ToggleEffects& effects, float deltaTime, World& world,
                        Renderer& renderer) {
    const auto label = [&](KeyLabel which) {
        drawKeyLabel(which, deltaTime, renderer.fonts, renderer.programs.text,
                     renderer.scene.width);
    };
    if (effects.frameTimeLabel)
        label(KeyLabel::FrameTime);
    if (effects.debugLabel)
        label(KeyLabel::Debug);

    if (effects.wireframe)
        glPolygonMode(GL_FRONT_AND_BACK, *effects.wireframe ? GL_LINE : GL_FILL);
    if (effects.wireframeLabel)
        label(KeyLabel::Wireframe);

    if (effects.mipmap) {
        for (GameObject* object : world.objects)
            if (object->model != nullptr)
                object->model->mipmapWanted = *effects.mipmap;
        world.skybox->model->mipmapWanted = *effects.mipmap;
    }

    if (effects.blending) {
        if (*effects.blending)
            glEnable(GL_BLEND);
        else
            glDisable(GL_BLEND);
    }
    if (effects.blendingLabel)
        label(KeyLabel::Blending);
}

glm::vec3 drawFrame(const FramePlan& plan, Play& play, Renderer& renderer, glm::vec3 lightColor) {
    clearFrame();

    // 15-18. Light, camera matrices, uniforms, shadows and the scene, with or without bloom;
    // the pass ends by clearing the depth buffer.
    const glm::vec3 lightPos =
        renderScene(plan.flags, play.camera, play.world, lightColor, renderer.scene);

    // 19-20. Text goes over the scene, whose pass ended with a depth-only clear.
    Shader& text = renderer.programs.text;
    glUseProgram(text.programId);
    setUniform(text.programId, "projection", renderer.textProjection);
    drawTextScreens(plan.screens, play.state, play.best, renderer.fonts, text, renderer.scene.width,
                    renderer.scene.height);

    // 21. The toggles' switches and labels.
    applyToggleEffects(plan.effects, play.state.deltaTime, play.world, renderer);
    return lightPos;
}
