#include "bench/PassBreakdown.h"

#include "bench/BenchWorld.h"
#include "bench/Quantile.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <chrono>
#include <cstdio>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

const char* const kColumnNames[] = {"shadow",    "scene", "blur", "skybox",
                                    "composite", "text",  "swap"};

} // namespace

PassBreakdown::PassBreakdown(std::string name, RenderFlags flags)
    : name(std::move(name)), flags(flags) {}

void PassBreakdown::runBlock(BenchWorld& world, int warmup, int frames, float frameStep) {
    for (int i = 0; i < warmup + frames; ++i) {
        std::array<double, kColumns> frame{};
        std::array<bool, kColumns> ran{};
        glFinish();
        Clock::time_point last = Clock::now();
        // The time since the last column closed, once the GPU side is done.
        const auto close = [&](int column) {
            glFinish();
            const Clock::time_point now = Clock::now();
            frame[column] = std::chrono::duration<double, std::milli>(now - last).count();
            ran[column] = true;
            last = now;
        };
        // The first pass also carries the frame's rules, its clear and the uniform upload.
        world.renderer->scene.passEnd = [&](RenderPass pass) { close(static_cast<int>(pass)); };
        renderBenchFrame(world, flags, frameStep);
        world.renderer->scene.passEnd = nullptr;
        close(kText);
        glfwSwapBuffers(world.window);
        glfwPollEvents();
        close(kSwap);
        if (i < warmup)
            continue;
        for (int column = 0; column < kColumns; ++column)
            if (ran[column])
                ms[column].push_back(frame[column]);
    }
}

void PassBreakdown::printHeader() {
    std::printf("per pass, median ms (each pass closed by glFinish, loops of their own)\n  %-24s",
                "mode");
    for (const char* column : kColumnNames)
        std::printf(" %9s", column);
    std::printf(" %9s\n", "sum");
}

void PassBreakdown::print() const {
    std::printf("  %-24s", name.c_str());
    double sum = 0.0;
    for (const std::vector<double>& column : ms) {
        if (column.empty()) {
            std::printf(" %9s", "-");
            continue;
        }
        const double median = quantile(column, 0.5);
        sum += median;
        std::printf(" %9.2f", median);
    }
    std::printf(" %9.2f\n", sum);
}
