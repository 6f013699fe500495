#include "app/CommandLine.h"
#include "app/DebugFormat.h"
#include "app/RepeatFolder.h"
#include "app/WindowSize.h"

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

TEST(Console, WindowSizesBeyondTheWindowSystemOrTheDriverAreRefused) {
    const WindowSizeLimits x11; // before a context: only the window system's limit is known
    const WindowSizeLimits gl{kMaxX11WindowSide, 16384, 8192, 4096, 2048, true};
    WindowSizeLimits noRoom = gl;
    noRoom.bloomTargetFits = false;
    const std::string x11Limit = " exceeds the X11 limit of 32767 pixels a side";
    const std::string viewport = " exceeds GL_MAX_VIEWPORT_DIMS (16384 x 8192)";
    const std::string texture = " exceeds GL_MAX_TEXTURE_SIZE (4096)";
    const std::string renderbuffer = " exceeds GL_MAX_RENDERBUFFER_SIZE (2048)";
    const struct {
        int width, height;
        const WindowSizeLimits& limits;
        std::string problem; // after "Window size <width> x <height>"; empty when it fits
    } rows[] = {
        {1, 1, x11, ""},
        {0, 600, x11, " is not positive"},
        {800, 0, x11, " is not positive"},
        {-2147483648, -1, gl, " is not positive"},
        {32767, 32767, x11, ""},
        {32768, 600, x11, x11Limit},
        {600, 32768, x11, x11Limit},
        {2147483647, 2147483647, gl, x11Limit},
        {2048, 2048, gl, ""},
        {16385, 10, gl, viewport},
        {10, 8193, gl, viewport},
        {4097, 10, gl, texture},
        {10, 4097, gl, texture},
        {2049, 10, gl, renderbuffer},
        {10, 2049, gl, renderbuffer},
        {800, 600, noRoom, " is more than the driver can allocate for one RGB16F bloom target"},
    };
    for (const auto& row : rows) {
        const std::string size =
            "Window size " + std::to_string(row.width) + " x " + std::to_string(row.height);
        EXPECT_EQ(windowSizeProblem(row.width, row.height, row.limits),
                  row.problem.empty() ? "" : size + row.problem);
    }
}

TEST(Console, RepeatedDriverMessagesFoldIntoOneCountLineASecond) {
    const auto message = [](GLuint id, const char* text, GLenum severity = GL_DEBUG_SEVERITY_HIGH) {
        return RepeatFolder::Message{GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_ERROR, id, severity, text};
    };
    const auto a = message(1, "a"), b = message(1, "b"), quiet = message(2, "q");
    const std::string tags = " [Source = API, Type = Error, Severity = High, ID = 1]";
    const std::string quietTags = " [Source = API, Type = Error, Severity = High, ID = 2]";
    const std::optional<std::string> none;
    RepeatFolder folder;
    const struct {
        RepeatFolder::Message message;
        double now;
        std::optional<std::string> line;
        const char* why;
    } calls[] = {
        {a, 10.0, "OpenGL Error: a" + tags, "the first copy in full"},
        {a, 10.5, none, "a repeat is counted"},
        {b, 10.9, "OpenGL Error: b" + tags, "another text is another message"},
        {message(1, "a", GL_DEBUG_SEVERITY_LOW), 10.9,
         "OpenGL Error: a [Source = API, Type = Error, Severity = Low, ID = 1]",
         "another severity is another message"},
        {a, 10.99, none, "within a second of the first copy"},
        {a, 11.0, "OpenGL message repeated 3 more times: a" + tags, "a second on: the count"},
        {a, 11.5, none, "within a second of the count line"},
        {b, 11.8, none, "b's second runs from its own first copy"},
        {a, 12.1, "OpenGL message repeated 2 more times: a" + tags, "counts start again"},
        {b, 12.1, "OpenGL message repeated 2 more times: b" + tags, "b on its own clock"},
        {quiet, 12.1, "", "a known-noisy id stays an empty line"},
        {b, 13.0, none, "held at the end"},
        {a, 13.05, none, "held at the end"},
        {quiet, 13.1, "OpenGL message repeated 1 more time: q" + quietTags,
         "whose count names it: the count line is no driver message"},
    };
    for (const auto& call : calls)
        EXPECT_EQ(folder.take(call.message, call.now), call.line) << call.why;
    EXPECT_EQ(folder.flush(),
              (std::vector<std::string>{"OpenGL message repeated 1 more time: a" + tags,
                                        "OpenGL message repeated 1 more time: b" + tags}));
    EXPECT_EQ(folder.flush(), std::vector<std::string>{}) << "a count prints once";

    // Past the remembered kinds, messages of new kinds are only counted, all together.
    RepeatFolder full;
    for (std::size_t kind = 0; kind < RepeatFolder::kMaxKinds; ++kind)
        EXPECT_TRUE(full.take(message(1, std::to_string(kind).c_str()), 0.0));
    EXPECT_EQ(full.take(message(1, "new"), 0.5), none);
    const std::string unseen = "OpenGL messages not shown: 2 of kinds past the first 256";
    EXPECT_EQ(full.take(message(1, "newer"), 1.0), unseen);
    EXPECT_EQ(full.take(message(1, "0"), 1.0), "OpenGL message repeated 1 more time: 0" + tags);
    EXPECT_EQ(full.seen.size(), RepeatFolder::kMaxKinds);
    full.take(message(1, "new"), 1.5);
    EXPECT_EQ(full.flush(),
              std::vector<std::string>{"OpenGL messages not shown: 1 of kinds past the first 256"});
}
