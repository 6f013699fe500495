#pragma once

#include "render/Character.h"
#include "render/Shader.h"

#include <GL/glew.h>
#include <glm/glm.hpp>
#include <map>
#include <string>

// Draws strings in one TrueType font at one pixel height, one textured quad per character,
// in the coordinates of the projection set on the text program.
//
// Construction sets GL_UNPACK_ALIGNMENT to 1 and leaves it so: glyph bitmaps and the model
// textures loaded later both upload tightly packed rows. Fonts are therefore created before
// the first Model.
class TextRenderer {
  public:
    GLuint vao = 0;
    GLuint vbo = 0;                   // one 96-byte quad, rewritten for every character
    std::map<char, Character> glyphs; // codes 0 to 127 that the font could render

    // A font that cannot be opened is reported and leaves no glyphs: every string then draws
    // nothing. Needs a current GL context.
    TextRenderer(const char* fontPath, unsigned int pixelHeight);

    // Binds the text program and draws text with its pen starting at (x, y) on the baseline,
    // scaled by scale, in colour (red, green, blue). The program stays bound.
    void drawText(Shader& shader, std::string text, float x, float y, float scale,
                  glm::vec3 colour);

  private:
    void createQuadBuffer();
};
