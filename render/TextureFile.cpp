#include "render/TextureFile.h"

#include <SOIL/SOIL.h>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <limits>

namespace {

// Magenta: the colour no material of the game uses, so a missing image stands out.
constexpr unsigned char kPlaceholderPixel[3] = {255, 0, 255};
constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

// A PNG's size without decoding it: the IHDR chunk follows the 8-byte signature, its width and
// height big-endian at bytes 16 to 23. SOIL exports no size query, and decoding a huge image
// first would take width x height x 3 bytes and more before it could be refused. False for
// other files, which are checked after decoding.
bool pngSize(const std::string& file, long& width, long& height) {
    unsigned char header[24] = {};
    FILE* stream = std::fopen(file.c_str(), "rb");
    if (stream == nullptr)
        return false;
    const size_t read = std::fread(header, 1, sizeof header, stream);
    std::fclose(stream);
    if (read < sizeof header || !std::equal(kPngSignature, kPngSignature + 8, header))
        return false;
    const auto bigEndian = [&](int at) {
        return long(header[at]) << 24 | long(header[at + 1]) << 16 | long(header[at + 2]) << 8 |
               long(header[at + 3]);
    };
    width = bigEndian(16);
    height = bigEndian(20);
    return true;
}

void reportFailure(const std::string& file, const std::string& reason) {
    std::cout << "ERROR::TEXTURE:: Failed to load " << file << ": " << reason << std::endl;
}

std::string oversize(long width, long height) {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    return std::to_string(width) + "x" + std::to_string(height) +
           " pixels, more than the driver takes (GL_MAX_TEXTURE_SIZE " + std::to_string(limit) +
           ")";
}

// The decoded image, or null after one line that says why there is none.
unsigned char* readImage(const std::string& file, int& width, int& height) {
    long headerWidth = 0, headerHeight = 0;
    if (pngSize(file, headerWidth, headerHeight) &&
        !driverHoldsTexture(headerWidth, headerHeight)) {
        reportFailure(file, oversize(headerWidth, headerHeight));
        return nullptr;
    }
    unsigned char* pixels = SOIL_load_image(file.c_str(), &width, &height, nullptr, SOIL_LOAD_RGB);
    if (pixels == nullptr) {
        reportFailure(file, SOIL_last_result());
    } else if (!driverHoldsTexture(width, height)) {
        reportFailure(file, oversize(width, height));
        SOIL_free_image_data(pixels);
        pixels = nullptr;
    }
    return pixels;
}

} // namespace

bool driverHoldsTexture(long width, long height) {
    if (width > std::numeric_limits<GLsizei>::max() || height > std::numeric_limits<GLsizei>::max())
        return false;
    glTexImage2D(GL_PROXY_TEXTURE_2D, 0, GL_RGB16F, GLsizei(width), GLsizei(height), 0, GL_RGB,
                 GL_UNSIGNED_BYTE, nullptr);
    GLint proxyWidth = 0;
    glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &proxyWidth);
    return proxyWidth != 0;
}

GLuint loadTextureFile(const char* name, const std::string& folder) {
    const std::string file = folder + "/" + name;

    GLuint textureId = 0;
    glGenTextures(1, &textureId);
    int width = 0;
    int height = 0;
    unsigned char* pixels = readImage(file, width, height);

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
