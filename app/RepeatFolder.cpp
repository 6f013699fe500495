#include "app/RepeatFolder.h"

#include "app/DebugFormat.h"

namespace {

std::string repeatsLine(const RepeatFolder::Message& message, long count) {
    return formatDebugRepeats(message.source, message.type, message.id, message.severity,
                              message.text, count);
}

std::string unseenLine(long count) {
    return "OpenGL messages not shown: " + std::to_string(count) + " of kinds past the first " +
           std::to_string(RepeatFolder::kMaxKinds);
}

// Counts one copy; true when the count is due for a line, which the caller then prints.
bool countIsDue(RepeatFolder::Repeats& repeats, double now) {
    ++repeats.count;
    return now - repeats.lastLine >= RepeatFolder::kCountPeriod;
}

} // namespace

std::optional<std::string> RepeatFolder::take(const Message& message, double now) {
    auto found = seen.find(message);
    if (found == seen.end() && seen.size() < kMaxKinds) {
        seen.emplace(message, Repeats{0, now});
        return formatDebugMessage(message.source, message.type, message.id, message.severity,
                                  message.text.c_str());
    }
    Repeats& repeats = found == seen.end() ? unseen : found->second;
    if (!countIsDue(repeats, now))
        return std::nullopt;
    const std::string line =
        found == seen.end() ? unseenLine(repeats.count) : repeatsLine(message, repeats.count);
    repeats = Repeats{0, now};
    return line;
}

std::vector<std::string> RepeatFolder::flush() {
    std::vector<std::string> lines;
    for (auto& [message, repeats] : seen) {
        if (repeats.count > 0)
            lines.push_back(repeatsLine(message, repeats.count));
        repeats.count = 0;
    }
    if (unseen.count > 0)
        lines.push_back(unseenLine(unseen.count));
    unseen.count = 0;
    return lines;
}
