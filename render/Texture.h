#pragma once

#include <GL/glew.h>
#include <assimp/types.h>
#include <string>

// One loaded material image.
struct Texture {
    GLuint id = 0;
    std::string type; // sampler-name stem: "texture_diffuse", "texture_specular" or "texture_normal"
    aiString path;    // the image path exactly as the material names it
};
