#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

// One rasterised glyph of a font at one pixel size.
struct Character {
    GLuint textureId = 0;  // GL_RED coverage texture, the bitmap's top row first; 0 for none
    glm::ivec2 size{0};    // bitmap width and rows, pixels
    glm::ivec2 bearing{0}; // bitmap left and top from the pen on the baseline, pixels, y up
    GLuint advance = 0;    // horizontal pen advance, 1/64 pixel (FreeType 26.6 fixed point)
};
