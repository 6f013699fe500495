#pragma once

#include <GL/glew.h>

// Texture units, attribute locations and buffer sizes that the rendering resources share
// with the GLSL files under "../Shader/".

// Material textures take units 0, 1, 2, ... in mesh order; the shadow depth cube map is bound
// on unit 3 by every mesh draw (a mesh with four or more textures shares that unit).
constexpr GLint kShadowCubeMapUnit = 3;

// Mesh vertex attributes: one location per Vertex field.
constexpr GLuint kPositionLocation = 0;
constexpr GLuint kNormalLocation = 1;
constexpr GLuint kUvLocation = 2;
constexpr GLuint kTangentLocation = 3;
constexpr GLuint kBitangentLocation = 4;

// Text: one vec4 (x, y, u, v) per vertex, six vertices (two triangles) per glyph quad.
constexpr GLuint kTextVertexLocation = 0;
constexpr int kGlyphQuadVertices = 6;
constexpr int kGlyphQuadFloatsPerVertex = 4;
constexpr GLsizeiptr kGlyphQuadBufferBytes =
    kGlyphQuadVertices * kGlyphQuadFloatsPerVertex * sizeof(float);
static_assert(kGlyphQuadBufferBytes == 96, "the glyph quad buffer holds six (x, y, u, v) vertices");

// Glyphs are rasterised for the ASCII codes 0 to 127.
constexpr int kGlyphCount = 128;
