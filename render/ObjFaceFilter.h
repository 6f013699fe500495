#pragma once

#include <assimp/DefaultIOSystem.h>
#include <string>
#include <utility>

// The OBJ reader refuses a whole file for one face that names a missing vertex position, and
// silently drops a mesh's whole texture-coordinate (or normal) channel for one face that names
// a missing vt (vn): one bad line would leave the robot missing or the track untextured and
// black. Such faces are taken out of the text before the reader sees it.
struct ObjFaceFilter {
    std::string text;         // the file without its faces that name missing elements
    unsigned int leftOut = 0; // how many face lines were taken out

    explicit ObjFaceFilter(const std::string& original);
};

// Hands the importer one file's filtered text in place of the file; every other file (the
// material library) is read from disk as usual. The text must outlive the importer's reads.
class FilteredFileSystem : public Assimp::DefaultIOSystem {
  public:
    FilteredFileSystem(std::string path, const std::string& text)
        : path(std::move(path)), text(text) {}
    Assimp::IOStream* Open(const char* file, const char* mode = "rb") override;

  private:
    std::string path;
    const std::string& text;
};
