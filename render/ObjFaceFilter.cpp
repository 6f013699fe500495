#include "render/ObjFaceFilter.h"

#include <assimp/MemoryIOWrapper.h>
#include <cstdlib>
#include <sstream>

namespace {

// The three element kinds that a face corner names, in corner order: v/vt/vn.
constexpr const char* kElements[3] = {"v", "vt", "vn"};

int elementKind(const std::string& keyword) {
    for (int kind = 0; kind < 3; ++kind)
        if (keyword == kElements[kind])
            return kind;
    return -1;
}

// A corner's index is 1-based from the start of the file, or negative: counted back from the
// last element declared before the face. Zero and anything unparsable name nothing.
bool names(const std::string& index, long declaredSoFar, long declaredInFile) {
    char* end = nullptr;
    const long value = std::strtol(index.c_str(), &end, 10);
    if (end == index.c_str() || *end != '\0')
        return false;
    if (value > 0)
        return value <= declaredInFile;
    return value < 0 && declaredSoFar + value >= 0;
}

bool faceNamesOnlyDeclared(std::istringstream& corners, const long (&soFar)[3],
                           const long (&inFile)[3]) {
    std::string corner;
    while (corners >> corner) {
        std::istringstream parts(corner);
        std::string index;
        // "v", "v/vt", "v//vn" or "v/vt/vn": an empty part names nothing and needs nothing.
        for (int kind = 0; kind < 3 && std::getline(parts, index, '/'); ++kind)
            if ((kind == 0 || !index.empty()) && !names(index, soFar[kind], inFile[kind]))
                return false;
    }
    return true;
}

} // namespace

ObjFaceFilter::ObjFaceFilter(const std::string& original) {
    // A face may name elements declared after it, so the file's totals come first.
    long inFile[3] = {0, 0, 0};
    std::istringstream lines(original);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream tokens(line);
        std::string keyword;
        tokens >> keyword;
        if (const int kind = elementKind(keyword); kind >= 0)
            ++inFile[kind];
    }

    long soFar[3] = {0, 0, 0};
    lines = std::istringstream(original);
    while (std::getline(lines, line)) {
        std::istringstream tokens(line);
        std::string keyword;
        tokens >> keyword;
        if (const int kind = elementKind(keyword); kind >= 0)
            ++soFar[kind];
        if (keyword == "f" && !faceNamesOnlyDeclared(tokens, soFar, inFile)) {
            ++leftOut;
            continue;
        }
        text += line;
        text += '\n';
    }
}

Assimp::IOStream* FilteredFileSystem::Open(const char* file, const char* mode) {
    if (path != file)
        return DefaultIOSystem::Open(file, mode);
    return new Assimp::MemoryIOStream(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}
