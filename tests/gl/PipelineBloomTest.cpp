// The HDR bloom pipeline under a real context: its targets, the glow it spreads around bright
// objects (and only with bloom on), the skybox kept out of the glow, the passes of one frame
// and the GL state it leaves behind.

#include "PipelineFixture.h"

using namespace pipeline_test;

namespace {

// The bright scene: a white quad 1 unit in front of the light at (1.2, 1.0, 2.0), facing it,
// seen from behind the light. Lit at full strength it is far above 1.0 and glows.
const glm::vec3 kBrightAt(1.2f, 1.0f, 1.0f);
constexpr float kBrightSize = 1.0f;

class PipelineBloomTest : public PipelineTest {
  protected:
    void lookAtBright() { look(glm::vec3(1.2f, 1.0f, 6.0f), kBrightAt); }

    // Red plus green of a pixel: the glow of a white object. The clear colour, and so the
    // background's own blur, is pure blue and adds none.
    static int warmth(glm::ivec2 pixel) {
        const Rgb c = colorAt(pixel);
        return c[0] + c[1];
    }

    // A pixel `gap` pixels to the right of the bright quad's right edge, at its mid-height.
    glm::ivec2 rightOfEdge(int gap) const {
        const glm::ivec2 edge = pixelOf(kBrightAt + glm::vec3(kBrightSize * 0.5f, 0.0f, 0.0f));
        return edge + glm::ivec2(gap, 0);
    }
};

} // namespace

// The three targets are complete and made silently; a size the driver cannot attach reports
// each of them, and creation goes on and leaves the window bound.
TEST_F(PipelineBloomTest, IncompleteTargetsAreReportedOneLineEach) {
    testing::internal::CaptureStdout();
    BloomRenderer renderer(kWidth, kHeight);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    for (GLuint fbo : {renderer.hdrFBO, renderer.pingpongFBO[0], renderer.pingpongFBO[1]}) {
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);

    testing::internal::CaptureStdout();
    BloomRenderer empty(0, 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Framebuffer not complete!\nFramebuffer not complete!\nFramebuffer not complete!\n");
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);
}

// A bright object glows past its edge with bloom on; with bloom off the background next to it
// stays the plain clear colour. The glow fades with distance instead of tinting the screen.
TEST_F(PipelineBloomTest, BloomSpreadsLightPastABrightObjectsEdge) {
    buildWorld(quad(placed(kBrightAt, kBrightSize)),
               quad(placed(glm::vec3(0.0f, 40.0f, 0.0f), 1.0f)), {}, {}, nullptr);
    lookAtBright();
    const ScenePrograms programs = gamePrograms();

    frame(RenderFlags{false, false, false, false}, programs);
    EXPECT_GT(warmth(rightOfEdge(-6)), 400) << "the quad itself is bright";
    for (int gap : {3, 6})
        EXPECT_LE(warmth(rightOfEdge(gap)), 2) << gap << " pixels out, bloom off";

    frame(RenderFlags{false, false, true, false}, programs);
    EXPECT_GT(warmth(rightOfEdge(3)), 60);
    EXPECT_GT(warmth(rightOfEdge(6)), 15);
    EXPECT_GT(warmth(rightOfEdge(3)), warmth(rightOfEdge(6)));
    EXPECT_LE(warmth(rightOfEdge(60)), 2) << "far from the quad";
}

// The skybox is drawn into the scene after the blur, so even a sky program that writes a bright
// glow output leaves no glow around it; the same program on the planet, drawn before the blur,
// does glow. The round trip shows the check can see a glow.
TEST_F(PipelineBloomTest, SkyboxNeverGlows) {
    ScenePrograms programs = gamePrograms();
    programs.modelShader = flatProgram("GlowingSky", {255, 255, 255}, 4.0f, true);
    const glm::mat4 skyQuad = placed(glm::vec3(1.2f, 1.0f, -4.0f), 3.0f);
    const glm::vec3 edge(1.2f + 1.5f, 1.0f, -4.0f);
    look(glm::vec3(1.2f, 1.0f, 6.0f), glm::vec3(1.2f, 1.0f, -4.0f));
    Model* offscreen = quad(placed(glm::vec3(0.0f, 40.0f, 0.0f), 1.0f));

    buildWorld(offscreen, offscreen, {}, {}, nullptr);
    skybox = quad(skyQuad);
    frame(RenderFlags{false, false, true, false}, programs);
    const int skyInside = warmth(pixelOf(edge) - glm::ivec2(6, 0));
    const int skyOutside = warmth(pixelOf(edge) + glm::ivec2(3, 0));

    buildWorld(offscreen, offscreen, {}, {}, quad(skyQuad));
    skybox = nullptr;
    frame(RenderFlags{false, false, true, false}, programs);
    const int planetOutside = warmth(pixelOf(edge) + glm::ivec2(3, 0));

    EXPECT_GT(skyInside, 400) << "the sky quad is drawn";
    EXPECT_LE(skyOutside, 2);
    EXPECT_GT(planetOutside, 60);
}

// The quad is made on the first bloom frame, not before. One bloom frame with nothing to draw:
// the ten blur passes draw eleven quads (the first pass fills both targets) and the composite
// one more, two triangles each. The frame leaves the window bound, unit 2 active and the bloom
// program current.
TEST_F(PipelineBloomTest, FrameRunsTenBlurPassesAndLeavesTheCompositeState) {
    const ScenePrograms programs = gamePrograms();
    BloomRenderer renderer(kWidth, kHeight);
    buildWorld(quad(placed(glm::vec3(0.0f), 1.0f)), quad(placed(glm::vec3(2.0f), 1.0f)), {}, {},
               nullptr);
    look(glm::vec3(0.0f, 0.0f, 10.0f), glm::vec3(0.0f));
    renderScene(RenderFlags{false, true, false, false}, camera, view(), lightColor,
                SceneTargets{programs, depthMap, &renderer, kWidth, kHeight});
    EXPECT_EQ(renderer.quadVAO, 0u) << "a frame without bloom makes no quad";

    std::vector<GameObject*> nothing;
    GLuint query = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    renderer.render(programs.basicLightingBloom, programs.blurShader, programs.bloomShader, nothing,
                    nullptr, programs.modelShader, programs.basicLightingBloom);
    glEndQuery(GL_PRIMITIVES_GENERATED);
    GLuint primitives = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &primitives);
    glDeleteQueries(1, &query);
    EXPECT_EQ(primitives, 24u);
    EXPECT_NE(renderer.quadVAO, 0u);

    GLint value = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &value);
    EXPECT_EQ(value, 0);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &value);
    EXPECT_EQ(value, GL_TEXTURE2);
    glGetIntegerv(GL_CURRENT_PROGRAM, &value);
    EXPECT_EQ(GLuint(value), programs.bloomShader.programId);
}
