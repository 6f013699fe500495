#pragma once

#include <GL/glew.h>

// One linked GL program built from stage files under "../Shader/".
// A plain value: copies name the same program, which lives until the process ends.
// Callers bind it with glUseProgram(programId) and look every uniform up by name
// right before setting it; locations are never cached.
class Shader {
  public:
    GLuint programId = 0;

    // Vertex and fragment stage files, in that order.
    Shader(const char* vertexPath, const char* fragmentPath);
    // The one three-stage program: the DepthShader vertex, fragment and geometry files.
    Shader();
};
