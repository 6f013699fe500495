#include "pipeline/WorldDraw.h"

#include "pipeline/PipelineConstants.h"
#include "render/Model.h"
#include "world/GameObject.h"
#include "world/Obstacle.h"
#include "world/Player.h"

bool isHiddenStone(float ringAngle) {
    return ringAngle >= kHiddenStoneFrom && ringAngle <= kHiddenStoneTo;
}

bool isShadowlessStone(float ringAngle) {
    return ringAngle >= kHiddenStoneFrom && ringAngle <= kShadowlessStoneTo;
}

namespace {

void drawModel(Shader program, Model* model) {
    if (model != nullptr)
        model->draw(program, model->modelMatrix);
}

} // namespace

void drawObjects(Shader objectsProgram, Shader sky, Shader first,
                 const std::vector<GameObject*>& objects) {
    const size_t last = objects.size() - 1;
    for (size_t i = 0; i < objects.size(); ++i) {
        GameObject* object = objects[i];
        // Roles stay tied to the indices: a missing model leaves the others where they are.
        if (object == nullptr || object->model == nullptr)
            continue;
        if (i == 0) {
            glUseProgram(first.programId);
            drawModel(first, object->model);
        } else if (i == 1) {
            glUseProgram(objectsProgram.programId);
            drawModel(objectsProgram, object->model);
            if (auto* robot = dynamic_cast<Player*>(object))
                drawModel(objectsProgram, robot->ball);
        } else if (i == last) {
            glUseProgram(sky.programId);
            drawModel(sky, object->model);
        } else {
            auto* stone = dynamic_cast<Obstacle*>(object);
            if (stone != nullptr && isHiddenStone(stone->ringAngle))
                continue;
            glUseProgram(objectsProgram.programId);
            drawModel(objectsProgram, object->model);
        }
    }
}

void drawWorld(Shader objectsProgram, Shader sky, Shader first,
               const std::vector<GameObject*>& objects, Model* skybox, const PassEndHook& passEnd) {
    // The skybox comes first; the objects are depth-tested over it.
    glUseProgram(sky.programId);
    drawModel(sky, skybox);
    endPass(passEnd, RenderPass::Skybox);
    drawObjects(objectsProgram, sky, first, objects);
    endPass(passEnd, RenderPass::Scene);
}

void drawObstacles(Shader program, const std::vector<Obstacle*>& obstacles) {
    for (Obstacle* stone : obstacles) {
        if (stone == nullptr || isShadowlessStone(stone->ringAngle))
            continue;
        drawModel(program, stone->model);
    }
}
