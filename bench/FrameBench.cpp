// Frame benchmark of the render pipeline: median frame time of every render mode of the game,
// next to yardsticks taken in the same run and interleaved with it (so that other load on the
// machine falls on all of them alike): a bare clear-and-swap loop, and for each mode its floor
// (the same passes, clears and swaps without models and with one-fetch programs) and its
// geometry floor (the same meshes too, drawn in one colour). Then each mode's time per pass,
// from loops of its own.
//
//   cd build-x && ./frame_bench [--frames N] [--shots DIR] [--only MODE]
//
// Run from a build folder under a display (Xvfb is fine). --shots writes one PPM screenshot of
// each mode into DIR; --only runs one mode (by its printed name) with the clear and swap and
// the mode's floors.
#include "bench/BenchWorld.h"
#include "bench/FloorLoop.h"
#include "bench/PassBreakdown.h"
#include "bench/Quantile.h"
#include "pipeline/BloomRenderer.h"
#include "render/Model.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kRounds = 16;                // blocks per loop, interleaved across the loops
constexpr int kWarmupFrames = 2;           // dropped at the start of every block
constexpr int kBreakdownShare = 4;         // a breakdown loop runs 1/4 of a loop's frames
constexpr float kFrameStep = 1.0f / 60.0f; // world time per frame, seconds

struct Loop {
    std::string name;
    std::function<void()> frame;
    std::vector<double> frameMs;
};

// Runs one block of a loop: frames timed swap to swap, as the game's frame time is.
void runBlock(GLFWwindow* window, Loop& loop, int frames) {
    using Clock = std::chrono::steady_clock;
    Clock::time_point last = Clock::now();
    for (int i = 0; i < kWarmupFrames + frames; ++i) {
        loop.frame();
        glfwSwapBuffers(window);
        glfwPollEvents();
        const Clock::time_point now = Clock::now();
        if (i >= kWarmupFrames)
            loop.frameMs.push_back(std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
    }
}

// The back buffer of the window as a binary PPM, top row first.
void writeScreenshot(const std::string& path, int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::printf("frame_bench: cannot write %s\n", path.c_str());
        return;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    for (int row = height - 1; row >= 0; --row)
        std::fwrite(&pixels[static_cast<size_t>(row) * width * 3], 1, width * 3, file);
    std::fclose(file);
}

} // namespace

int main(int argc, char** argv) {
    int frames = 160;
    std::string shotFolder;
    std::string onlyMode;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc)
            frames = std::max(kRounds, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--shots") == 0 && i + 1 < argc)
            shotFolder = argv[++i];
        else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc)
            onlyMode = argv[++i];
    }

    const std::unique_ptr<BenchWorld> world = buildBenchWorld(kWidth, kHeight);
    if (world == nullptr)
        return 1;
    FloorLoop floor(*world);

    struct Mode {
        const char* name;
        const char* file;
        RenderFlags flags;
    };
    // The game's modes after its first frame: shadow mapping or normal mapping, bloom on or off.
    const Mode modes[] = {
        {"shadow mapping + bloom", "shadow_bloom", {true, false, true, false}},
        {"shadow mapping", "shadow", {true, false, false, false}},
        {"normal mapping + bloom", "normal_bloom", {false, true, true, false}},
        {"normal mapping", "normal", {false, true, false, false}},
    };

    // The clear and swap, then per mode: the mode, its floor, its geometry floor.
    std::vector<Loop> loops;
    loops.push_back(
        {"clear and swap", [] { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }, {}});
    std::vector<PassBreakdown> breakdowns;
    for (const Mode& mode : modes) {
        if (!onlyMode.empty() && onlyMode != mode.name)
            continue;
        const RenderFlags flags = mode.flags;
        loops.push_back(
            {mode.name, [&world, flags] { renderBenchFrame(*world, flags, kFrameStep); }, {}});
        loops.push_back(
            {std::string("floor of ") + mode.name, [&floor, flags] { floor.frame(flags); }, {}});
        loops.push_back({std::string("geometry floor of ") + mode.name,
                         [&floor, flags] { floor.geometryFrame(flags); },
                         {}});
        breakdowns.emplace_back(mode.name, flags);
    }
    if (breakdowns.empty()) {
        std::printf("frame_bench: no mode is named \"%s\"\n", onlyMode.c_str());
        return 1;
    }

    if (!shotFolder.empty()) {
        for (const Mode& mode : modes) {
            for (int i = 0; i < 3; ++i) {
                renderBenchFrame(*world, mode.flags, kFrameStep);
                if (i < 2)
                    glfwSwapBuffers(world->window);
            }
            writeScreenshot(shotFolder + "/" + mode.file + ".ppm", kWidth, kHeight);
            glfwSwapBuffers(world->window);
        }
    }

    const int framesPerBlock = frames / kRounds;
    const int breakdownFrames = std::max(1, framesPerBlock / kBreakdownShare);
    for (int round = 0; round < kRounds; ++round) {
        for (Loop& loop : loops)
            runBlock(world->window, loop, framesPerBlock);
        for (PassBreakdown& breakdown : breakdowns)
            breakdown.runBlock(*world, kWarmupFrames, breakdownFrames, kFrameStep);
    }

    std::printf("frame_bench: %dx%d, %d frames per loop, median frame time (middle half)\n", kWidth,
                kHeight, framesPerBlock * kRounds);
    const auto row = [](const Loop& loop) {
        std::printf("  %-42s %7.2f ms (%.2f-%.2f)\n", loop.name.c_str(),
                    quantile(loop.frameMs, 0.5), quantile(loop.frameMs, 0.25),
                    quantile(loop.frameMs, 0.75));
    };
    const auto ratio = [](const char* name, const Loop& mode, const Loop& floor) {
        std::printf("  %-42s %7.2fx\n", name,
                    quantile(mode.frameMs, 0.5) / quantile(floor.frameMs, 0.5));
    };
    row(loops[0]);
    for (size_t i = 1; i + 2 < loops.size(); i += 3) {
        row(loops[i]);
        row(loops[i + 1]);
        row(loops[i + 2]);
        ratio("ratio to floor", loops[i], loops[i + 1]);
        ratio("ratio to geometry floor", loops[i], loops[i + 2]);
    }
    PassBreakdown::printHeader();
    for (const PassBreakdown& breakdown : breakdowns)
        breakdown.print();
    glfwTerminate();
    return 0;
}
