#include "render/TextureFile.h"

#include <SOIL/SOIL.h>

namespace {

// Magenta: the colour no material of the game uses, so a missing image stands out.
constexpr unsigned char kPlaceholderPixel[3] = {255, 0, 255};

} // namespace

GLuint loadTextureFile(const char* name, const std::string& folder) {
    const std::string file = folder + "/" + name;

    GLuint textureId = 0;
    glGenTextures(1, &textureId);
    int width = 0;
    int height = 0;
    unsigned char* pixels = SOIL_load_image(file.c_str(), &width, &height, nullptr, SOIL_LOAD_RGB);

    glBindTexture(GL_TEXTURE_2D, textureId);
    // 8-bit colours are stored as half floats; SOIL's rows are uploaded in the order it
    // delivers them, 3 bytes per pixel without row padding.
    if (pixels != nullptr)
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     pixels);
    else
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16F, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     kPlaceholderPixel);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);

    if (pixels != nullptr)
        SOIL_free_image_data(pixels);
    return textureId;
}
