#pragma once

#include <GL/glew.h>
#include <assimp/types.h>
#include <string>

// One loaded material image.
struct Texture {
    GLuint id = 0;
    // Sampler-name stem: "texture_diffuse", "texture_specular" or "texture_normal".
    std::string type;
    // The image path exactly as the material names it, relative to the model's folder.
    aiString path;
};
