// Text rendering under a real context: where the pen arithmetic puts each glyph, characters
// without a glyph, the heart font, and a font that cannot be opened.

#include "render/TextRenderer.h"
#include "GlTestContext.h"
#include "render/Shader.h"

#include <algorithm>
#include <cstdlib>
#include <glm/gtc/matrix_transform.hpp>
#include <string>
#include <vector>

namespace {

const glm::vec3 kWhite{1.0f, 1.0f, 1.0f};

// The inclusive pixel rectangle that a drawing covered; empty when nothing was drawn.
struct Box {
    int left = 1 << 20, right = -1, bottom = 1 << 20, top = -1;
    bool empty() const { return right < left; }
};

// Where the pen arithmetic puts one glyph drawn with its pen at (x, y), in pixels.
Box expectedBox(const Character& glyph, int x, int y, int scale) {
    Box box;
    box.left = x + glyph.bearing.x * scale;
    box.right = box.left + glyph.size.x * scale - 1;
    box.bottom = y - (glyph.size.y - glyph.bearing.y) * scale;
    box.top = box.bottom + glyph.size.y * scale - 1;
    return box;
}

// The drawn box may lose its outermost row or column where the coverage is only a trace
// (the blend rounds it to 0); it never reaches past the quad.
void expectBoxWithin(const Box& drawn, const Box& quad) {
    ASSERT_FALSE(drawn.empty());
    EXPECT_TRUE(drawn.left - quad.left == 0 || drawn.left - quad.left == 1) << drawn.left;
    EXPECT_TRUE(quad.right - drawn.right == 0 || quad.right - drawn.right == 1) << drawn.right;
    EXPECT_TRUE(drawn.bottom - quad.bottom == 0 || drawn.bottom - quad.bottom == 1) << drawn.bottom;
    EXPECT_TRUE(quad.top - drawn.top == 0 || quad.top - drawn.top == 1) << drawn.top;
}

class TextRendererTest : public GlTest {
  protected:
    static constexpr int kTargetWidth = 320, kTargetHeight = 160;

    static void SetUpTestSuite() {
        GlTest::SetUpTestSuite();
        textShader = new Shader("../Shader/TextShader.vertex", "../Shader/TextShader.fragment");
        menuFont = new TextRenderer("../External/Fonts/AGENCYR.TTF", 30);
    }
    static void TearDownTestSuite() {
        delete menuFont;
        delete textShader;
    }

    // A 320 x 160 RGBA8 target with the pixel projection of the game's text, white text over
    // black, so the red channel is the coverage.
    void SetUp() override {
        glGenFramebuffers(1, &fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glGenRenderbuffers(1, &colour);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kTargetWidth, kTargetHeight);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        glViewport(0, 0, kTargetWidth, kTargetHeight);
        // Neighbouring glyph quads may overlap; without a depth buffer nothing hides them.
        glDisable(GL_DEPTH_TEST);
        glPixelStorei(GL_PACK_ALIGNMENT, 1); // glyph rows are read back unpadded
        glUseProgram(textShader->programId);
        const glm::mat4 projection =
            glm::ortho(0.0f, float(kTargetWidth), 0.0f, float(kTargetHeight), -1.0f, 1.0f);
        glUniformMatrix4fv(glGetUniformLocation(textShader->programId, "projection"), 1, GL_FALSE,
                           &projection[0][0]);
        clear();
    }
    void TearDown() override {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(1, &colour);
        glDeleteFramebuffers(1, &fbo);
        glViewport(0, 0, kWidth, kHeight);
        glEnable(GL_DEPTH_TEST);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
    void clear() const {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    static Box covered(const std::vector<unsigned char>& rgba) {
        Box box;
        for (int y = 0; y < kTargetHeight; ++y)
            for (int x = 0; x < kTargetWidth; ++x)
                if (rgba[(size_t(y) * kTargetWidth + x) * 4] > 0)
                    box = {std::min(box.left, x), std::max(box.right, x), std::min(box.bottom, y),
                           std::max(box.top, y)};
        return box;
    }
    static std::vector<unsigned char> pixels() {
        return readPixels(0, 0, kTargetWidth, kTargetHeight);
    }

    GLuint fbo = 0, colour = 0;
    static inline Shader* textShader = nullptr;
    static inline TextRenderer* menuFont = nullptr;
};

} // namespace

// A glyph lands at pen + bearing with its bitmap's bottom (size.y - bearing.y) pixels below
// the baseline, upright; the pen moves on by whole pixels of the advance, times the scale.
TEST_F(TextRendererTest, GlyphsLandWhereThePenArithmeticPutsThem) {
    ASSERT_EQ(menuFont->glyphs.size(), 128u);
    const Character& g = menuFont->glyphs.at('g');
    menuFont->drawText(*textShader, "g", 40, 60, 1.0f, kWhite);
    const std::vector<unsigned char> drawn = pixels();
    const Box quad = expectedBox(g, 40, 60, 1);
    expectBoxWithin(covered(drawn), quad);
    EXPECT_LT(quad.bottom, 60) << "g has a descender";

    // At scale 1 from a whole-pixel pen every pixel centre meets a texel centre: the drawn
    // coverage is the bitmap's, top row at the top, within one step of 8-bit blend rounding.
    std::vector<unsigned char> bitmap(size_t(g.size.x) * g.size.y);
    glBindTexture(GL_TEXTURE_2D, g.textureId);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, bitmap.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    int mismatches = 0;
    for (int row = 0; row < g.size.y; ++row)
        for (int column = 0; column < g.size.x; ++column) {
            const size_t screen = size_t(quad.top - row) * kTargetWidth + quad.left + column;
            mismatches += std::abs(drawn[screen * 4] - bitmap[size_t(row) * g.size.x + column]) > 1;
        }
    EXPECT_EQ(mismatches, 0) << "of " << g.size.x * g.size.y << " pixels";

    clear();
    menuFont->drawText(*textShader, " H", 40, 60, 2.0f, kWhite);
    const int spaceAdvance = int(menuFont->glyphs.at(' ').advance >> 6);
    ASSERT_GT(spaceAdvance, 0);
    expectBoxWithin(covered(pixels()),
                    expectedBox(menuFont->glyphs.at('H'), 40 + spaceAdvance * 2, 60, 2));
}

// A byte without a glyph draws nothing and leaves the pen where it was; an empty string
// draws nothing and leaves the text program bound.
TEST_F(TextRendererTest, CharacterWithoutGlyphDrawsNothingAndKeepsThePen) {
    menuFont->drawText(*textShader, "AH", 20, 40, 1.0f, kWhite);
    const std::vector<unsigned char> plain = pixels();
    ASSERT_FALSE(covered(plain).empty());
    clear();
    menuFont->drawText(*textShader, "A\xe9H\x80", 20, 40, 1.0f, kWhite);
    EXPECT_TRUE(pixels() == plain);

    clear();
    menuFont->drawText(*textShader, "", 20, 40, 1.0f, kWhite);
    EXPECT_TRUE(covered(pixels()).empty());
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(GLuint(program), textShader->programId);
}

// The hearts of the HUD are the heart font's letter T.
TEST_F(TextRendererTest, HeartFontDrawsItsT) {
    testing::internal::CaptureStdout();
    TextRenderer heartFont("../External/Fonts/HEART shapes.TTF", 60);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    heartFont.drawText(*textShader, "TTT", 10, 60, 1.0f, kWhite);
    const Box drawn = covered(pixels());
    ASSERT_FALSE(drawn.empty());
    EXPECT_GE(drawn.right - drawn.left + 1, 2 * int(heartFont.glyphs.at('T').advance >> 6));
}

// A font that cannot be opened says so once and leaves a renderer without glyphs whose
// strings draw nothing. The unpack alignment is set all the same: models rely on it.
TEST_F(TextRendererTest, MissingFontIsReportedAndDrawsNothing) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    testing::internal::CaptureStdout();
    TextRenderer font("../External/Fonts/no such font.TTF", 30);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR::FREETYPE: Failed to load font\n");
    EXPECT_TRUE(font.glyphs.empty());
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);

    font.drawText(*textShader, "Score: 42 \xe9", 20, 40, 1.0f, kWhite);
    EXPECT_TRUE(covered(pixels()).empty());
}
