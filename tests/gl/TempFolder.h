#pragma once

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// A fresh folder under the system temp folder for files that a test writes, removed with
// everything in it.
struct TempFolder {
    std::filesystem::path path;

    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zelto-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(path / name, std::ios::binary) << text;
        return (path / name).string();
    }

    // A 24-bit BMP, pixels given top row first. (Debian's SOIL crashes on every TGA file.)
    void writeBmp(const std::string& name, int width, int height,
                  const std::vector<std::array<unsigned char, 3>>& top) const {
        std::string rows;
        for (int row = height - 1; row >= 0; --row) { // the file holds the bottom row first
            for (int x = 0; x < width; ++x)
                for (int c = 2; c >= 0; --c) // BGR
                    rows += char(top[size_t(row) * width + x][c]);
            rows.append(size_t((4 - width * 3 % 4) % 4), '\0'); // rows pad to 4 bytes
        }
        const uint32_t header[] = {uint32_t(54 + rows.size()),
                                   0,
                                   54,
                                   40,
                                   uint32_t(width),
                                   uint32_t(height),
                                   1 | (24 << 16),
                                   0,
                                   uint32_t(rows.size()),
                                   2835,
                                   2835,
                                   0,
                                   0};
        write(name, "BM" + std::string(reinterpret_cast<const char*>(header), 52) + rows);
    }

    void writePixelBmp(const std::string& name, std::array<int, 3> color) const {
        writeBmp(name, 1, 1,
                 {{static_cast<unsigned char>(color[0]), static_cast<unsigned char>(color[1]),
                   static_cast<unsigned char>(color[2])}});
    }
};
