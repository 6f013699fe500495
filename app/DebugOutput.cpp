#include "app/DebugOutput.h"

#include <GLFW/glfw3.h>
#include <iostream>

void GLAPIENTRY debugMessageCallback(GLenum source, GLenum type, GLuint id, GLenum severity,
                                     GLsizei /*length*/, const GLchar* message,
                                     const void* userParam) {
    auto* folder = static_cast<RepeatFolder*>(const_cast<void*>(userParam));
    const std::optional<std::string> line = folder->take(
        {source, type, id, severity, message != nullptr ? message : ""}, glfwGetTime());
    if (line)
        std::cout << *line << std::endl;
}

void printHeldRepeats(RepeatFolder& folder) {
    for (const std::string& line : folder.flush())
        std::cout << line << std::endl;
}
