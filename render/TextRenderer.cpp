#include "render/TextRenderer.h"

#include "render/RenderConstants.h"
#include "render/Uniforms.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstddef>
#include <iostream>

namespace {

// Uploads a glyph's coverage as a GL_RED texture, one byte per pixel from 0 to 255, top row
// first. Outlines render to such bytes already; bitmap fonts and embedded strikes come with 1,
// 2 or 4 bits per pixel in rows padded to whole bytes, so every bitmap is converted to
// tightly packed bytes first. False, uploading nothing, when FreeType cannot convert it.
bool uploadGlyph(FT_Library library, const FT_Bitmap& bitmap, GLuint& texture) {
    FT_Bitmap coverage;
    FT_Bitmap_Init(&coverage);
    if (FT_Bitmap_Convert(library, &bitmap, &coverage, 1) != 0) {
        FT_Bitmap_Done(library, &coverage);
        return false;
    }
    // Levels 0 to num_grays - 1 (0 and 1 from a one-bit bitmap) are stretched to 0..255.
    const size_t bytes = static_cast<size_t>(coverage.width) * coverage.rows;
    const int top = std::max(coverage.num_grays - 1, 1);
    for (size_t i = 0; i < bytes; ++i)
        coverage.buffer[i] = static_cast<unsigned char>(coverage.buffer[i] * 255 / top);

    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, static_cast<GLsizei>(coverage.width),
                 static_cast<GLsizei>(coverage.rows), 0, GL_RED, GL_UNSIGNED_BYTE, coverage.buffer);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    FT_Bitmap_Done(library, &coverage);
    return true;
}

// Rasterises codes 0 to 127; a code that the face cannot render gets no entry. A null face
// (the font could not be opened) yields no glyphs and makes no FreeType call.
std::map<char, Character> loadGlyphs(FT_Face face) {
    // One-byte coverage rows are not 4-byte aligned. Never set back: model textures upload
    // tightly packed RGB rows and rely on it.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    std::map<char, Character> glyphs;
    if (face == nullptr)
        return glyphs;
    for (int code = 0; code < kGlyphCount; ++code) {
        const FT_GlyphSlot slot = face->glyph;
        Character glyph;
        if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER) != 0 ||
            !uploadGlyph(slot->library, slot->bitmap, glyph.textureId)) {
            std::cout << "ERROR::FREETYTPE: Failed to load Glyph" << std::endl;
            continue;
        }
        glyph.size = glm::ivec2(slot->bitmap.width, slot->bitmap.rows);
        glyph.bearing = glm::ivec2(slot->bitmap_left, slot->bitmap_top);
        glyph.advance = static_cast<GLuint>(slot->advance.x);
        glyphs.insert({static_cast<char>(code), glyph});
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return glyphs;
}

// FreeType opens a font whose file was cut short: it drops the tables that lie past the end
// and then renders every glyph as empty. Such a face has no outline table left.
bool hasOutlines(FT_Face face) {
    if (!FT_IS_SFNT(face))
        return true;
    for (FT_ULong tag : {FT_MAKE_TAG('g', 'l', 'y', 'f'), FT_MAKE_TAG('C', 'F', 'F', ' '),
                         FT_MAKE_TAG('C', 'F', 'F', '2')}) {
        FT_ULong length = 0;
        if (FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length) == 0 && length > 0)
            return true;
    }
    return false;
}

} // namespace

TextRenderer::TextRenderer(const char* fontPath, unsigned int pixelHeight) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        std::cout << "ERROR::FREETYPE: Could not init FreeType Library" << std::endl;
        library = nullptr;
    }
    FT_Face face = nullptr;
    if (library != nullptr && FT_New_Face(library, fontPath, 0, &face) != 0)
        face = nullptr;
    if (face != nullptr && !hasOutlines(face)) {
        FT_Done_Face(face);
        face = nullptr;
    }
    if (face == nullptr)
        std::cout << "ERROR::FREETYPE: Failed to load font" << std::endl;
    else
        FT_Set_Pixel_Sizes(face, 0, pixelHeight); // width 0: the same as the height

    glyphs = loadGlyphs(face);
    createQuadBuffer();

    if (face != nullptr)
        FT_Done_Face(face);
    if (library != nullptr)
        FT_Done_FreeType(library);
}

void TextRenderer::createQuadBuffer() {
    glGenVertexArrays(1, &vao);
    glGenBuffers(1, &vbo);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    // Rewritten for every character drawn: a static hint makes drivers report a performance
    // message at each rewrite, which the debug callback would print thousands of times a second.
    glBufferData(GL_ARRAY_BUFFER, kGlyphQuadBufferBytes, nullptr, GL_DYNAMIC_DRAW);
    glEnableVertexAttribArray(kTextVertexLocation);
    glVertexAttribPointer(kTextVertexLocation, kGlyphQuadFloatsPerVertex, GL_FLOAT, GL_FALSE,
                          kGlyphQuadFloatsPerVertex * sizeof(float), nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

void TextRenderer::drawText(Shader& shader, std::string text, float x, float y, float scale,
                            glm::vec3 colour) {
    glUseProgram(shader.programId);
    setUniform(shader.programId, "textColor", colour);
    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(vao);

    for (char c : text) {
        // A code without a glyph (a byte of 128 or more, or one the font lacks) gets an
        // all-zero entry: an empty quad that leaves the pen where it is.
        const Character& glyph = glyphs[c];

        const float xpos = x + glyph.bearing.x * scale;
        // Rows below the baseline (descenders), counted in whole pixels before scaling.
        const float ypos = y - static_cast<float>(glyph.size.y - glyph.bearing.y) * scale;
        const float w = glyph.size.x * scale;
        const float h = glyph.size.y * scale;
        // v is 0 at the glyph's top edge: the bitmap's top row is the texture's first row.
        const float vertices[kGlyphQuadVertices][kGlyphQuadFloatsPerVertex] = {
            {xpos, ypos + h, 0.0f, 0.0f}, {xpos, ypos, 0.0f, 1.0f},
            {xpos + w, ypos, 1.0f, 1.0f}, {xpos, ypos + h, 0.0f, 0.0f},
            {xpos + w, ypos, 1.0f, 1.0f}, {xpos + w, ypos + h, 1.0f, 0.0f},
        };

        glBindTexture(GL_TEXTURE_2D, glyph.textureId);
        glBindBuffer(GL_ARRAY_BUFFER, vbo);
        glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(vertices), vertices);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glDrawArrays(GL_TRIANGLES, 0, kGlyphQuadVertices);

        // Whole pixels: the 26.6 fraction is dropped before scaling.
        x += static_cast<float>(glyph.advance >> 6) * scale;
    }

    glBindVertexArray(0);
    glBindTexture(GL_TEXTURE_2D, 0);
}
