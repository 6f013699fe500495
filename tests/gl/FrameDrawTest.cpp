// A frame's drawing under a real context: the clear, the text screens, and the toggles' GL
// switches with each key label drawn in the state its own switch leaves.

#include "GlFixture.h"

namespace {

constexpr int kFrameTimeX = 20;  // F2, from the left edge
constexpr int kDebugX = 220;     // C, W/4 + 20
constexpr int kWireframeX = 420; // F3, W/2 + 20
constexpr int kBlendingX = 650;  // F9, W/2 + 250

} // namespace

class FrameDrawTest : public GlFixture {
  protected:
    // Lit pixels (red above 100: white text, not the blue clear) of the bottom label row from x
    // over `width` columns.
    static int litLabelPixels(int x, int width = 150) {
        const std::vector<unsigned char> p = readPixels(x, 0, width, 50);
        int lit = 0;
        for (size_t i = 0; i < p.size(); i += 4)
            lit += p[i] > 100;
        return lit;
    }
};

TEST_F(FrameDrawTest, EachKeyLabelDrawsInTheStateItsOwnSwitchLeaves) {
    sky.model = empty();
    buildWorld(empty(), empty(), {{empty(), 0.0f}}, empty());
    const auto draw = [this](const ToggleEffects& effects) {
        clearFrame();
        applyToggleEffects(effects, 0.25f, world, *game);
    };
    ToggleEffects alone;
    alone.frameTimeLabel = alone.debugLabel = alone.wireframeLabel = alone.blendingLabel = true;
    draw(alone);
    const int frameTime = litLabelPixels(kFrameTimeX), debug = litLabelPixels(kDebugX),
              wireframe = litLabelPixels(kWireframeX), blending = litLabelPixels(kBlendingX);
    for (const int lit : {frameTime, debug, wireframe, blending})
        ASSERT_GT(lit, 40) << "every label drawn, each in its place";

    // F3 switches to lines: the frame time and debug labels before it are filled glyphs, the
    // wireframe label after it only the outlines of its glyph quads, where the coverage is
    // nearly 0.
    ToggleEffects lines = alone;
    lines.wireframe = true;
    draw(lines);
    EXPECT_EQ(litLabelPixels(kFrameTimeX), frameTime);
    EXPECT_EQ(litLabelPixels(kDebugX), debug);
    EXPECT_LT(litLabelPixels(kWireframeX), wireframe * 3 / 4);
    ToggleEffects fill;
    fill.wireframe = false;
    draw(fill);
    draw(alone);
    EXPECT_EQ(litLabelPixels(kWireframeX), wireframe) << "filled again at F3's second switch";

    // Blending off: glyph quads are solid text colour, whatever the coverage. F9 switching it on
    // comes after the frame time label (still solid) and before its own (a glyph again).
    glDisable(GL_BLEND);
    ToggleEffects blend = alone;
    blend.blending = true;
    draw(blend);
    EXPECT_GT(litLabelPixels(kFrameTimeX), frameTime * 3 / 2);
    EXPECT_EQ(litLabelPixels(kBlendingX), blending);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    ToggleEffects noBlend;
    noBlend.blending = false;
    draw(noBlend);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    glEnable(GL_BLEND);
}

TEST_F(FrameDrawTest, MipmapSwitchReachesEveryModelTheSkyboxToo) {
    sky.model = empty();
    buildWorld(empty(), empty(), {{empty(), 0.0f}, {empty(), 10.0f}}, empty());
    for (const bool wanted : {false, true}) {
        ToggleEffects effects;
        effects.mipmap = wanted;
        applyToggleEffects(effects, 0.0f, world, *game);
        for (const std::unique_ptr<Model>& model : models)
            EXPECT_EQ(model->mipmapWanted, wanted);
    }
    ToggleEffects none; // no switch this frame: the requests stay
    applyToggleEffects(none, 0.0f, world, *game);
    for (const std::unique_ptr<Model>& model : models)
        EXPECT_TRUE(model->mipmapWanted);
}

// The whole frame as the game draws it, from a plan: the window cleared first (normal mapping
// without bloom draws straight into it, so the clear shows round the scene), then the score.
TEST_F(FrameDrawTest, AFrameClearsTheWindowThenDrawsTheSceneAndItsText) {
    Play play;
    Model* stone = quad(placed(glm::vec3(0), 0.1f));
    startPlay(play,
              {quad(placed(glm::vec3(0), 0.1f)), quad(placed(glm::vec3(0), 0.1f)),
               quad(placed(glm::vec3(0), 0.1f)), quad(placed(glm::vec3(0), 0.1f)), empty()},
              [stone] { return new Model(*stone); });
    play.state.score = 88888;
    FramePlan plan;
    plan.flags = {false, true, false, false};
    plan.screens.score = true;
    glClearColor(1, 0, 0, 1); // what the last frame might have left
    glClear(GL_COLOR_BUFFER_BIT);
    drawFrame(plan, play, *game, lightColor);
    EXPECT_EQ(colorAt({2, kHeight - 2}), (Rgb{0, 0, 102})) << "kClearColor in the corner";
    const std::vector<unsigned char> p = readPixels(kWidth - 60, kHeight - 50, 60, 30);
    int lit = 0;
    for (size_t i = 0; i < p.size(); i += 4)
        lit += p[i] > 200 && p[i + 1] > 200;
    EXPECT_GT(lit, 30) << "the score drawn at W - 60, H - 50";
}
