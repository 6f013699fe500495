#include "app/DebugOutput.h"

#include "app/DebugFormat.h"

#include <iostream>

void GLAPIENTRY debugMessageCallback(GLenum source, GLenum type, GLuint id, GLenum severity,
                                     GLsizei /*length*/, const GLchar* message,
                                     const void* /*userParam*/) {
    std::cout << formatDebugMessage(source, type, id, severity, message) << std::endl;
}
