#include "app/DebugFormat.h"

#include <gtest/gtest.h>

TEST(DebugFormat, ComposesTheLineFromTheNamedEnums) {
    EXPECT_EQ(formatDebugMessage(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_ERROR, 1282,
                                 GL_DEBUG_SEVERITY_HIGH, "T"),
              "OpenGL Error: T [Source = API, Type = Error, Severity = High, ID = 1282]");
    EXPECT_EQ(formatDebugMessage(GL_DEBUG_SOURCE_SHADER_COMPILER, GL_DEBUG_TYPE_PERFORMANCE,
                                 4294967295u, GL_DEBUG_SEVERITY_NOTIFICATION, "slow"),
              "OpenGL Error: slow [Source = Shader Compiler, Type = Performance, "
              "Severity = Unknown, ID = 4294967295]");
    EXPECT_EQ(formatDebugMessage(GL_DEBUG_SOURCE_APPLICATION, GL_DEBUG_TYPE_PUSH_GROUP, 7,
                                 GL_DEBUG_SEVERITY_LOW, ""),
              "OpenGL Error:  [Source = Application, Type = Unknown, Severity = Low, ID = 7]");
}

TEST(DebugFormat, MapsTheAmdCategoriesAndUnknownValues) {
    // The API-error category names a source, not a type.
    EXPECT_EQ(formatDebugMessage(0x9149, 0x9149, 3, GL_DEBUG_SEVERITY_MEDIUM, "m"),
              "OpenGL Error: m [Source = API, Type = Unknown, Severity = Medium, ID = 3]");
    EXPECT_EQ(formatDebugMessage(0x914A, 0x914B, 3, 0, "m"),
              "OpenGL Error: m [Source = Window System, Type = Deprecated Behavior, "
              "Severity = Unknown, ID = 3]");
    EXPECT_EQ(formatDebugMessage(0x914E, 0x914C, 3, 0, "m"),
              "OpenGL Error: m [Source = Shader Compiler, Type = Undefined Behavior, "
              "Severity = Unknown, ID = 3]");
    EXPECT_EQ(formatDebugMessage(0x9150, 0x9150, 3, 0, "m"),
              "OpenGL Error: m [Source = Other, Type = Other, Severity = Unknown, ID = 3]");
    EXPECT_EQ(formatDebugMessage(0x914F, 0x914D, 3, 0, "m"),
              "OpenGL Error: m [Source = Application, Type = Performance, "
              "Severity = Unknown, ID = 3]");
    EXPECT_EQ(formatDebugMessage(GL_DEBUG_SOURCE_THIRD_PARTY, GL_DEBUG_TYPE_PORTABILITY, 3, 0, "m"),
              "OpenGL Error: m [Source = Third Party, Type = Portability, "
              "Severity = Unknown, ID = 3]");
    EXPECT_EQ(formatDebugMessage(0x1234, 0x1234, 3, 0x1234, "m"),
              "OpenGL Error: m [Source = Unknown, Type = Unknown, Severity = Unknown, ID = 3]");
}

TEST(DebugFormat, SilencesTheNoisyIds) {
    EXPECT_EQ(formatDebugMessage(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_OTHER, 2,
                                 GL_DEBUG_SEVERITY_HIGH, "buffer info"),
              "");
    EXPECT_EQ(formatDebugMessage(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_OTHER, 131185,
                                 GL_DEBUG_SEVERITY_NOTIFICATION, "buffer info"),
              "");
}
