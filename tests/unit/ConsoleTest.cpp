#include "app/CommandLine.h"
#include "app/DebugFormat.h"

#include <gtest/gtest.h>
#include <vector>

TEST(Console, WindowSizeArgumentsAndDriverMessageLines) {
    const int any = -1; // the argument that failed: its value is not used
    const struct {
        std::vector<const char*> argv;
        bool ok;
        int width, height;
        const char* why;
    } rows[] = {
        {{"z"}, true, 800, 600, "no arguments: the default size"},
        {{"z", "1024"}, true, 800, 600, "one is not enough"},
        {{"z", "1024", "768"}, true, 1024, 768, "width then height"},
        {{"z", " +640px", "480", "x"}, true, 640, 480, "blank, sign, text after; third ignored"},
        {{"z", "wide", "768"}, false, any, 600, "no number; the second is then not read"},
        {{"z", "99999999999", "600"}, false, any, 600, "past int"},
        {{"z", "800", "-99999999999"}, false, 800, any, "past int, second"},
    };
    for (const auto& row : rows) {
        int width = 0, height = 0;
        const int argc = static_cast<int>(row.argv.size());
        EXPECT_EQ(parseWindowSize(argc, row.argv.data(), width, height), row.ok) << row.why;
        EXPECT_TRUE(row.width == any || width == row.width) << row.why << ": " << width;
        EXPECT_TRUE(row.height == any || height == row.height) << row.why << ": " << height;
    }

    EXPECT_EQ(formatDebugMessage(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_ERROR, 4294967295u,
                                 GL_DEBUG_SEVERITY_HIGH, "T"),
              "OpenGL Error: T [Source = API, Type = Error, Severity = High, ID = 4294967295]");
    // The AMD categories share the core names; the API-error one names a source, not a type.
    const struct {
        GLenum source, type, severity;
        const char* names;
    } messages[] = {
        {0x9149, 0x9149, GL_DEBUG_SEVERITY_MEDIUM, "API, Type = Unknown, Severity = Medium"},
        {0x914A, 0x914B, GL_DEBUG_SEVERITY_LOW,
         "Window System, Type = Deprecated Behavior, Severity = Low"},
        {0x914E, 0x914C, GL_DEBUG_SEVERITY_NOTIFICATION,
         "Shader Compiler, Type = Undefined Behavior, Severity = Unknown"},
        {0x914F, 0x914D, 0, "Application, Type = Performance, Severity = Unknown"},
        {0x9150, 0x9150, 0, "Other, Type = Other, Severity = Unknown"},
        {GL_DEBUG_SOURCE_THIRD_PARTY, GL_DEBUG_TYPE_PORTABILITY, 0,
         "Third Party, Type = Portability, Severity = Unknown"},
        {0x1234, GL_DEBUG_TYPE_PUSH_GROUP, 0, "Unknown, Type = Unknown, Severity = Unknown"},
    };
    for (const auto& message : messages)
        EXPECT_EQ(formatDebugMessage(message.source, message.type, 7, message.severity, "m"),
                  std::string("OpenGL Error: m [Source = ") + message.names + ", ID = 7]");
    for (GLuint noisy : {2u, 131185u}) // known-noisy driver notes: an empty line
        EXPECT_EQ(formatDebugMessage(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_OTHER, noisy, 0, "m"), "");
}
