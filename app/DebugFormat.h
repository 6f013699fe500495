#pragma once

#include <GL/glew.h>
#include <string>

// One driver debug message as the console line the game prints. Ids 2 and 131185 are
// known-noisy driver notifications and give an empty line.
std::string formatDebugMessage(GLenum source, GLenum type, GLuint id, GLenum severity,
                               const char* message);
