#include "app/CommandLine.h"

#include <sstream>
#include <string>

namespace {

bool extractInt(const char* argument, int& value) {
    std::istringstream stream{std::string(argument)};
    stream >> value;
    // End of input alone is no failure: "1024" sets eof together with the value.
    return !stream.fail() && !stream.bad();
}

} // namespace

bool parseWindowSize(int argc, const char* const* argv, int& width, int& height) {
    width = 800;
    height = 600;
    if (argc < 3)
        return true;
    return extractInt(argv[1], width) && extractInt(argv[2], height);
}
