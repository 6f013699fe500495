#include "app/DebugFormat.h"

namespace {

// The AMD debug-output categories predate the core enums and map onto the same names.
constexpr GLenum kCategoryApiErrorAmd = 0x9149;
constexpr GLenum kCategoryWindowSystemAmd = 0x914A;
constexpr GLenum kCategoryDeprecationAmd = 0x914B;
constexpr GLenum kCategoryUndefinedBehaviorAmd = 0x914C;
constexpr GLenum kCategoryPerformanceAmd = 0x914D;
constexpr GLenum kCategoryShaderCompilerAmd = 0x914E;
constexpr GLenum kCategoryApplicationAmd = 0x914F;
constexpr GLenum kCategoryOtherAmd = 0x9150;

const char* sourceName(GLenum source) {
    switch (source) {
    case GL_DEBUG_SOURCE_API:
    case kCategoryApiErrorAmd:
        return "API";
    case GL_DEBUG_SOURCE_WINDOW_SYSTEM:
    case kCategoryWindowSystemAmd:
        return "Window System";
    case GL_DEBUG_SOURCE_SHADER_COMPILER:
    case kCategoryShaderCompilerAmd:
        return "Shader Compiler";
    case GL_DEBUG_SOURCE_THIRD_PARTY:
        return "Third Party";
    case GL_DEBUG_SOURCE_APPLICATION:
    case kCategoryApplicationAmd:
        return "Application";
    case GL_DEBUG_SOURCE_OTHER:
    case kCategoryOtherAmd:
        return "Other";
    default:
        return "Unknown";
    }
}

const char* typeName(GLenum type) {
    switch (type) {
    case GL_DEBUG_TYPE_ERROR:
        return "Error";
    case GL_DEBUG_TYPE_DEPRECATED_BEHAVIOR:
    case kCategoryDeprecationAmd:
        return "Deprecated Behavior";
    case GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR:
    case kCategoryUndefinedBehaviorAmd:
        return "Undefined Behavior";
    case GL_DEBUG_TYPE_PORTABILITY:
        return "Portability";
    case GL_DEBUG_TYPE_PERFORMANCE:
    case kCategoryPerformanceAmd:
        return "Performance";
    case GL_DEBUG_TYPE_OTHER:
    case kCategoryOtherAmd:
        return "Other";
    default: // markers, push and pop groups included
        return "Unknown";
    }
}

const char* severityName(GLenum severity) {
    switch (severity) {
    case GL_DEBUG_SEVERITY_HIGH:
        return "High";
    case GL_DEBUG_SEVERITY_MEDIUM:
        return "Medium";
    case GL_DEBUG_SEVERITY_LOW:
        return "Low";
    default: // notifications included
        return "Unknown";
    }
}

// The fields that name a message, after its text: " [Source = ..., ID = ...]".
std::string debugMessageTags(GLenum source, GLenum type, GLuint id, GLenum severity) {
    std::string tags = " [Source = ";
    tags += sourceName(source);
    tags += ", Type = ";
    tags += typeName(type);
    tags += ", Severity = ";
    tags += severityName(severity);
    tags += ", ID = ";
    tags += std::to_string(id);
    tags += "]";
    return tags;
}

} // namespace

std::string formatDebugMessage(GLenum source, GLenum type, GLuint id, GLenum severity,
                               const char* message) {
    if (id == 2 || id == 131185)
        return "";
    std::string line = "OpenGL Error: ";
    line += message != nullptr ? message : "";
    return line + debugMessageTags(source, type, id, severity);
}

std::string formatDebugRepeats(GLenum source, GLenum type, GLuint id, GLenum severity,
                               const std::string& message, long count) {
    return "OpenGL message repeated " + std::to_string(count) +
           (count == 1 ? " more time: " : " more times: ") + message +
           debugMessageTags(source, type, id, severity);
}
