#pragma once

#include <GL/glew.h>

// Prints every driver message as one line on standard output. Debug output is synchronous,
// so this runs inside the GL call that caused the message, on the render thread.
void GLAPIENTRY debugMessageCallback(GLenum source, GLenum type, GLuint id, GLenum severity,
                                     GLsizei length, const GLchar* message, const void* userParam);
