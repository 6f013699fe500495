#pragma once

#include <GL/glew.h>

// The point light's depth cube map: a value record, copied freely (copies name the same
// GL objects, which live until the process ends).
struct DepthCubeMap {
    GLuint fbo = 0;
    GLuint cubeMap = 0;
    int width = 0;
    int height = 0;
};
