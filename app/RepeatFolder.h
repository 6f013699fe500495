#pragma once

#include <GL/glew.h>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

// Folds repeats of driver debug messages, so that a fault met every frame (a program that did
// not link, a target that could not be made) costs a line a second, not a line per call, and a
// broken file can never fill a disk or a log. The first copy of a message prints as its own
// line; later copies are counted, and the count prints at most once a second per message.
// Times are seconds on any steady clock, handed in by the caller.
class RepeatFolder {
  public:
    // Distinct messages remembered. A driver names a fault by a fixed text (the game's faults
    // come to a handful), and each text is at most GL_MAX_DEBUG_MESSAGE_LENGTH long, so this
    // bounds the memory. Messages of kinds past it are not shown, only counted together.
    static constexpr std::size_t kMaxKinds = 256;
    static constexpr double kCountPeriod = 1.0; // seconds between two count lines of a message

    struct Message {
        GLenum source = 0;
        GLenum type = 0;
        GLuint id = 0;
        GLenum severity = 0;
        std::string text;
        bool operator<(const Message& other) const {
            return std::tie(source, type, id, severity, text) <
                   std::tie(other.source, other.type, other.id, other.severity, other.text);
        }
    };
    struct Repeats {
        long count = 0;        // copies since the last line printed for the message
        double lastLine = 0.0; // when that line printed
    };

    std::map<Message, Repeats> seen;
    Repeats unseen; // copies of kinds past kMaxKinds, all kinds together

    // The line to print for a message arriving at now, if any.
    std::optional<std::string> take(const Message& message, double now);
    // The counts not printed yet, as lines, in message order; they start again from zero.
    std::vector<std::string> flush();
};
