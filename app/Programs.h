#pragma once

#include "pipeline/ScenePass.h"
#include "render/Shader.h"

// Every program of the game.
struct Programs {
    ScenePrograms scene;
    Shader text;
};

// Builds the eight programs from their stage files under "../Shader/", in the fixed start-up
// order, so that their console messages come in that order.
Programs loadPrograms();
