#include "app/CommandLine.h"
#include "app/DebugFormat.h"

#include <gtest/gtest.h>
#include <vector>

TEST(Console, WindowSizeFromTheFirstTwoArguments) {
    const int any = -1; // the argument that failed: its value is not used
    const struct {
        std::vector<const char*> arguments;
        bool ok;
        int width, height;
        const char* why;
    } rows[] = {
        {{}, true, 800, 600, "no arguments: the default size"},
        {{"1024"}, true, 800, 600, "one is not enough"},
        {{"1024", "768"}, true, 1024, 768, "width then height"},
        {{" +640px", "480", "x"},
         true,
         640,
         480,
         "blanks, sign and trailing text; a third ignored"},
        {{"wide", "768"}, false, any, 600, "no number; the second is then not read"},
        {{"99999999999", "600"}, false, any, 600, "past int"},
        {{"800", "-99999999999"}, false, 800, any, "past int, second"},
    };
    for (const auto& row : rows) {
        std::vector<const char*> argv{"repair_zelto"};
        argv.insert(argv.end(), row.arguments.begin(), row.arguments.end());
        int width = 0, height = 0;
        EXPECT_EQ(parseWindowSize(static_cast<int>(argv.size()), argv.data(), width, height),
                  row.ok)
            << row.why;
        EXPECT_TRUE(row.width == any || width == row.width) << row.why << ": " << width;
        EXPECT_TRUE(row.height == any || height == row.height) << row.why << ": " << height;
    }
}

TEST(Console, DriverMessagesInOneLineFormat) {
    const struct {
        GLenum source, type;
        GLuint id;
        GLenum severity;
        const char* line;
    } rows[] = {
        {GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_ERROR, 1282, GL_DEBUG_SEVERITY_HIGH,
         "OpenGL Error: T [Source = API, Type = Error, Severity = High, ID = 1282]"},
        {GL_DEBUG_SOURCE_WINDOW_SYSTEM, GL_DEBUG_TYPE_DEPRECATED_BEHAVIOR, 4294967295u,
         GL_DEBUG_SEVERITY_MEDIUM,
         "OpenGL Error: T [Source = Window System, Type = Deprecated Behavior, Severity = Medium, "
         "ID = 4294967295]"},
        {GL_DEBUG_SOURCE_SHADER_COMPILER, GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR, 3,
         GL_DEBUG_SEVERITY_LOW,
         "OpenGL Error: T [Source = Shader Compiler, Type = Undefined Behavior, Severity = Low, "
         "ID = 3]"},
        {GL_DEBUG_SOURCE_THIRD_PARTY, GL_DEBUG_TYPE_PORTABILITY, 3, GL_DEBUG_SEVERITY_NOTIFICATION,
         "OpenGL Error: T [Source = Third Party, Type = Portability, Severity = Unknown, ID = 3]"},
        {GL_DEBUG_SOURCE_APPLICATION, GL_DEBUG_TYPE_PERFORMANCE, 3, 0,
         "OpenGL Error: T [Source = Application, Type = Performance, Severity = Unknown, ID = 3]"},
        {GL_DEBUG_SOURCE_OTHER, GL_DEBUG_TYPE_PUSH_GROUP, 3, 0,
         "OpenGL Error: T [Source = Other, Type = Unknown, Severity = Unknown, ID = 3]"},
        // The AMD categories: the API-error category names a source, not a type.
        {0x9149, 0x9149, 3, 0,
         "OpenGL Error: T [Source = API, Type = Unknown, Severity = Unknown, ID = 3]"},
        {0x914A, 0x914B, 3, 0,
         "OpenGL Error: T [Source = Window System, Type = Deprecated Behavior, Severity = Unknown, "
         "ID = 3]"},
        {0x914E, 0x914C, 3, 0,
         "OpenGL Error: T [Source = Shader Compiler, Type = Undefined Behavior, Severity = "
         "Unknown, ID = 3]"},
        {0x914F, 0x914D, 3, 0,
         "OpenGL Error: T [Source = Application, Type = Performance, Severity = Unknown, ID = 3]"},
        {0x9150, 0x9150, 3, 0,
         "OpenGL Error: T [Source = Other, Type = Other, Severity = Unknown, ID = 3]"},
        {0x1234, GL_DEBUG_TYPE_OTHER, 3, 0,
         "OpenGL Error: T [Source = Unknown, Type = Other, Severity = Unknown, ID = 3]"},
        {GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_ERROR, 2, GL_DEBUG_SEVERITY_HIGH, ""},
        {GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_OTHER, 131185, GL_DEBUG_SEVERITY_HIGH, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(formatDebugMessage(row.source, row.type, row.id, row.severity, "T"), row.line);
}
