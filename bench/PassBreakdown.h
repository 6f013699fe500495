#pragma once

#include "pipeline/PassEnd.h"
#include "pipeline/RenderFlags.h"

#include <array>
#include <string>
#include <vector>

struct BenchWorld;

// Where one mode's frame time goes: each pass of the scene, the text and the buffer swap,
// closed by glFinish and timed on the CPU clock. llvmpipe bins a whole frame before it
// rasterises, so a pass is only done once glFinish returns, and its GL_TIME_ELAPSED queries
// time the binning. The glFinish calls stall the pipeline at every pass, so these frames run in
// loops of their own and never count as the mode's frame time.
class PassBreakdown {
  public:
    PassBreakdown(std::string name, RenderFlags flags);
    // frames of the mode after warmup frames, each split into its passes.
    void runBlock(BenchWorld& world, int warmup, int frames, float frameStep);
    static void printHeader();
    // The median of every column in milliseconds ("-" for a pass the mode does not run) and
    // the sum of the medians.
    void print() const;

  private:
    static constexpr int kText = static_cast<int>(RenderPass::Composite) + 1;
    static constexpr int kSwap = kText + 1;
    static constexpr int kColumns = kSwap + 1;

    std::string name;
    RenderFlags flags;
    std::array<std::vector<double>, kColumns> ms;
};
