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

// Creates the 1024 x 1024 depth cube map and its framebuffer, with the whole cube as a layered
// depth attachment and no colour buffer. Prints "Framebuffer not complete!" when the driver
// rejects it, and returns the record anyway. Leaves the default framebuffer bound and the cube
// map bound on the active texture unit.
DepthCubeMap createDepthCubeMap();
