// Rendering resources under a real context: shader programs and their console messages, models
// with their material textures, and text drawn from a font.

#include "GlFixture.h"

#include <algorithm>
#include <sstream>
#include <unistd.h>

namespace {

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kBlack{0, 0, 0};

// The inclusive pixel rectangle that a drawing covered; empty when nothing was drawn.
struct Box {
    int left = 1 << 20, right = -1, bottom = 1 << 20, top = -1;
    bool empty() const { return right < left; }
};

class ResourceTest : public GlFixture {
  protected:
    static void clear() {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // The game's unlit program with identity camera matrices: a unit quad covers the middle
    // half of the window, pixels 200..599 by 150..449.
    Shader unlit() {
        clear();
        const Shader shader = game->programs.scene.modelShader;
        glUseProgram(shader.programId);
        for (const char* matrix : {"view", "projection"})
            glUniformMatrix4fv(glGetUniformLocation(shader.programId, matrix), 1, GL_FALSE,
                               &glm::mat4(1.0f)[0][0]);
        return shader;
    }

    static GLint textureValue(GLuint texture, GLenum parameter, bool level0 = false) {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        if (level0)
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
        else
            glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
        glBindTexture(GL_TEXTURE_2D, 0);
        return value;
    }

    // Builds a program from two stage files and returns what the build printed.
    std::string build(const std::string& vertex, const std::string& fragment, GLuint& program) {
        testing::internal::CaptureStdout();
        program = Shader(vertex.c_str(), fragment.c_str()).programId;
        return testing::internal::GetCapturedStdout();
    }

    // Text in the window's pixel coordinates, over black, without depth test (neighbouring
    // glyph quads may overlap). The red channel of white text is the glyph coverage.
    Shader& textScreen() {
        clear();
        glDisable(GL_DEPTH_TEST);
        Shader& text = game->programs.text;
        glUseProgram(text.programId);
        const glm::mat4 projection = glm::ortho(0.0f, float(kWidth), 0.0f, float(kHeight));
        glUniformMatrix4fv(glGetUniformLocation(text.programId, "projection"), 1, GL_FALSE,
                           &projection[0][0]);
        return text;
    }
    void TearDown() override {
        glEnable(GL_DEPTH_TEST);
        GlFixture::TearDown();
    }

    static Box covered(const std::vector<unsigned char>& rgba) {
        Box box;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (rgba[(size_t(y) * kWidth + x) * 4] > 0)
                    box = {std::min(box.left, x), std::max(box.right, x), std::min(box.bottom, y),
                           std::max(box.top, y)};
        return box;
    }
    static std::vector<unsigned char> screen() { return readPixels(0, 0, kWidth, kHeight); }

    // The quad of one glyph drawn with its pen at (x, y): the drawn box may lose its outermost
    // row or column where the coverage is only a trace (the blend rounds it to 0); it never
    // reaches past the quad.
    static void expectGlyphQuad(const Box& drawn, const Character& glyph, int x, int y, int scale) {
        const int left = x + glyph.bearing.x * scale,
                  bottom = y - (glyph.size.y - glyph.bearing.y) * scale;
        ASSERT_FALSE(drawn.empty());
        EXPECT_TRUE(drawn.left - left == 0 || drawn.left - left == 1) << drawn.left;
        EXPECT_TRUE(drawn.bottom - bottom == 0 || drawn.bottom - bottom == 1) << drawn.bottom;
        const int right = left + glyph.size.x * scale - 1, top = bottom + glyph.size.y * scale - 1;
        EXPECT_TRUE(right - drawn.right == 0 || right - drawn.right == 1) << drawn.right;
        EXPECT_TRUE(top - drawn.top == 0 || top - drawn.top == 1) << drawn.top;
    }
};

// The full compile log of one stage, straight from the driver.
std::string compileLog(GLenum stage, const std::string& source) {
    GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(size_t(std::max(length, 1)), '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    glDeleteShader(shader);
    return log.c_str();
}

} // namespace

// Each failing stage prints its tag, then its compile log cut to 511 characters; the failed
// stage stays attached, so the link fails too and prints its whole log. A stage file that does
// not exist is no read failure (only a stream in the bad state is): the empty stage fails
// instead. Whatever fails, the program object exists.
TEST_F(ResourceTest, ShaderFailuresPrintTheirTagAndLog) {
    std::string longError = "#version 330 core\nout vec4 FragColor;\nvoid main() {\n";
    for (int i = 0; i < 40; ++i) // one error line for each undeclared name: past 511 characters
        longError += "FragColor += undeclared" + std::to_string(i) + ";\n";
    longError += "}\n";
    const std::string log = compileLog(GL_FRAGMENT_SHADER, longError);
    ASSERT_GT(log.size(), 511u) << "the driver's log is too short to show the cut";
    const std::string vertex =
        write("v.vertex", "#version 330 core\nout vec3 uv;\n"
                          "void main() { uv = vec3(0.0); gl_Position = vec4(0.0); }\n");
    const std::string fragment = "#version 330 core\nin vec2 uv; out vec4 FragColor;\n"
                                 "void main() { FragColor = vec4(uv, 0.0, 1.0); }\n";
    const struct {
        std::string vertex, fragment, start;
    } rows[] = {
        {write("a.vertex", "#version 330 core\nvoid main() { gl_Position = oops; }\n"),
         write("a.fragment", "#version 330 core\nvoid main() {}\n"),
         "ERROR::SHADER::VERTEX::COMPILATION_FAILED\n"},
        {vertex, write("b.fragment", longError),
         "ERROR::SHADER::FRAGMENT::COMPILATION_FAILED\n" + log.substr(0, 511) +
             "\nERROR::SHADER::PROGRAM::LINKING_FAILED\n"},
        {vertex, write("c.fragment", fragment), "ERROR::SHADER::PROGRAM::LINKING_FAILED\n"},
        {(folder / "missing.vertex").string(), write("d.fragment", fragment),
         "ERROR::SHADER::VERTEX::COMPILATION_FAILED\n"},
    };
    for (const auto& row : rows) {
        GLuint program = 0;
        const std::string output = build(row.vertex, row.fragment, program);
        EXPECT_EQ(output.substr(0, row.start.size()), row.start) << output;
        EXPECT_TRUE(glIsProgram(program));
    }
    // The depth program reads its three stages from ../Shader/: the geometry stage comes first.
    std::filesystem::create_directories(folder / "Shader");
    std::filesystem::create_directories(folder / "build");
    for (const char* stage : {"vertex", "fragment", "geometry"})
        std::filesystem::copy_file(std::string("../Shader/DepthShader.") + stage,
                                   folder / "Shader" / (std::string("DepthShader.") + stage));
    write("Shader/DepthShader.geometry",
          "#version 330 core\nvoid main() { EmitVertex(); oops; }\n");
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(folder / "build");
    testing::internal::CaptureStdout();
    const Shader depth;
    const std::string output = testing::internal::GetCapturedStdout();
    std::filesystem::current_path(here);
    EXPECT_EQ(output.rfind("ERROR::SHADER::GEOMETRY::COMPILATION_FAILED\n", 0), 0u) << output;
}

// An image 3 pixels wide (9-byte rows, tightly packed as the font's unpack alignment reads
// them), top half red, bottom half blue, shows upright on a quad drawn with ModelShader: SOIL's
// row order and the importer's v flip cancel out. Colours are exact: 8-bit values survive the
// half-float store, and each pixel read samples texels of one colour only.
TEST_F(ResourceTest, ImageShowsUprightOnItsQuad) {
    bmp("skin.bmp", 3, 4,
        {kRed, kRed, kRed, kRed, kRed, kRed, kBlue, kBlue, kBlue, kBlue, kBlue, kBlue});
    write("skin.mtl", "newmtl skin\nmap_Kd skin.bmp\n");
    Model model;
    ASSERT_EQ(load(model, write("skin.obj", quadObj("skin", "skin"))), "");
    EXPECT_EQ(model.modelFolder, folder.string());
    ASSERT_EQ(model.textureCache.size(), 1u);
    EXPECT_EQ(textureValue(model.textureCache[0].id, GL_TEXTURE_INTERNAL_FORMAT, true), GL_RGB16F);
    model.draw(unlit(), model.modelMatrix);
    EXPECT_EQ(colorAt({400, 375}), kRed);
    EXPECT_EQ(colorAt({400, 225}), kBlue);
    EXPECT_EQ(colorAt({100, 100}), kBlack);
}

// Diffuse, specular and bump maps take units 0, 1 and 2 as texture_diffuse1, texture_specular1
// and texture_normal1. An image named again keeps the type it was first loaded with, in the same
// material and in a later one, and is loaded once.
TEST_F(ResourceTest, MaterialSamplersAreNumberedPerTypeOnTheirUnits) {
    bmp("r.bmp", 1, 1, {kRed});
    bmp("g.bmp", 1, 1, {kGreen});
    bmp("b.bmp", 1, 1, {kBlue});
    write("m.mtl", "newmtl three\nmap_Kd r.bmp\nmap_Ks g.bmp\nmap_bump b.bmp\n"
                   "newmtl twice\nmap_Kd r.bmp\nmap_Ks r.bmp\nnewmtl later\nmap_bump r.bmp\n");
    Model model;
    ASSERT_EQ(load(model, write("q.obj", quadObj("three") + "usemtl twice\nf 1 2 4\n"
                                                            "usemtl later\nf 2 3 4\n")),
              "");
    ASSERT_EQ(model.meshes.size(), 3u);
    EXPECT_EQ(model.textureCache.size(), 3u);
    const Shader probe = program("uniform sampler2D texture_diffuse1, texture_diffuse2, "
                                 "texture_specular1, texture_normal1;\nvoid main() {\n"
                                 "FragColor = texture(texture_diffuse1, uv) + texture("
                                 "texture_diffuse2, uv) + texture(texture_specular1, uv) + "
                                 "texture(texture_normal1, uv); }");
    const char* const names[] = {"texture_diffuse1", "texture_diffuse2", "texture_specular1",
                                 "texture_normal1"};
    const std::array<GLint, 4> units[] = {{0, 7, 1, 2}, {0, 1, 7, 7}, {0, 7, 7, 7}};
    for (int mesh = 0; mesh < 3; ++mesh) {
        for (const char* name : names) // unit 7: one that no draw sets
            glUniform1i(glGetUniformLocation(probe.programId, name), 7);
        clear();
        model.meshes[size_t(mesh)].draw(probe, glm::mat4(1.0f));
        std::array<GLint, 4> set{};
        for (int i = 0; i < 4; ++i)
            glGetUniformiv(probe.programId, glGetUniformLocation(probe.programId, names[i]),
                           &set[size_t(i)]);
        EXPECT_EQ(set, units[mesh]) << "mesh " << mesh;
        if (mesh == 0) {
            EXPECT_EQ(colorAt({400, 300}), (Rgb{255, 255, 255})) << "red, green, blue: 3 units";
        }
    }
}

// Every attribute reaches its location (the importer computes the tangent space; v is flipped,
// so the bitangent points down), and setCubeMap's texture is bound on unit 3.
TEST_F(ResourceTest, AttributesAndCubeMapReachTheProgram) {
    Model model;
    ASSERT_EQ(load(model, (folder / "quad.obj").string()), "");
    GLuint cube = 0;
    glGenTextures(1, &cube);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cube);
    const unsigned char texel[4] = {200, 0, 0, 255};
    for (GLenum face = 0; face < 6; ++face)
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGBA8, 1, 1, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    model.setCubeMap(DepthCubeMap{0, cube, 1, 1});
    const Shader probe =
        program("uniform int which; uniform samplerCube depthMap;\nvoid main() {\n"
                "vec3 v = which == 0 ? normal : which == 1 ? tangent : which == 2"
                " ? bitangent : texture(depthMap, vec3(1, 0.2, 0.1)).rgb * 2 - 1;\n"
                "FragColor = vec4(v * 0.5 + 0.5, 1.0); }");
    glUniform1i(glGetUniformLocation(probe.programId, "depthMap"), 3);
    const Rgb expected[] = {{128, 128, 255}, {255, 128, 128}, {128, 0, 128}, {200, 0, 0}};
    for (int which = 0; which < 4; ++which) {
        glUniform1i(glGetUniformLocation(probe.programId, "which"), which);
        clear();
        model.draw(probe, model.modelMatrix);
        const Rgb pixel = colorAt({450, 250});
        // 0.5 encodes as 127 or 128 depending on the rounding of the colour conversion.
        for (size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(pixel[c], expected[which][c], 1) << "case " << which << ", channel " << c;
    }
    glDeleteTextures(1, &cube);
}

// The F5 request is applied lazily: the first draw applies trilinear filtering, a changed
// request is applied at the next draw, and an unchanged one (toggled twice) touches nothing.
TEST_F(ResourceTest, MipmapRequestIsAppliedOnlyWhenChanged) {
    Model model;
    load(model, (folder / "quad.obj").string());
    const GLuint texture = model.textureCache.at(0).id;
    const struct {
        bool wanted;
        GLint filter;
    } draws[] = {{true, GL_LINEAR_MIPMAP_LINEAR}, {false, GL_LINEAR}, {false, GL_NEAREST}};
    for (const auto& draw : draws) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D, 0);
        model.mipmapWanted = draw.wanted;
        model.draw(unlit(), model.modelMatrix);
        EXPECT_EQ(textureValue(texture, GL_TEXTURE_MIN_FILTER), draw.filter) << draw.wanted;
    }
}

// Missing normals and texture coordinates (hence tangent space) read as zero vectors; extents
// span every mesh in x and y, and a model without vertices keeps 0.
TEST_F(ResourceTest, BareMeshesLoadWithZeroVectorsAndMeasureAcrossMeshes) {
    Model model;
    load(model, write("bare.obj", "o a\nv -1 -0.5 0\nv 0 0 9\nv 0 1 0\nf 1 2 3\n"
                                  "o b\nv 3 1.5 -9\nv 2 1 0\nv 2 0 0\nf 4 5 6\n"));
    ASSERT_EQ(model.meshes.size(), 2u);
    for (const Vertex& vertex : model.meshes[1].vertices) {
        EXPECT_EQ(vertex.normal + vertex.tangent + vertex.bitangent, glm::vec3(0.0f));
        EXPECT_EQ(vertex.uv, glm::vec2(0.0f));
    }
    model.measureExtents();
    EXPECT_FLOAT_EQ(model.width, 4.0f);
    EXPECT_FLOAT_EQ(model.height, 2.0f);
    model.draw(unlit(), model.modelMatrix);
    Model none;
    none.measureExtents();
    EXPECT_EQ(none.width, 0.0f);
}

// A missing model (the importer returns nothing) or garbage (the OBJ reader returns an empty
// scene without a word) is reported and leaves a model without meshes that draws nothing. A
// missing or unreadable image still gives a texture: a 1x1 magenta placeholder.
TEST_F(ResourceTest, UnreadableFilesAreReportedOrStandOut) {
    const std::string garbage =
        write("garbage.obj", std::string("\x7f\0\x01\xff", 4) + "f 9 8 7\nusemtl\n\x02\x03");
    for (const std::string& path : {(folder / "nowhere.obj").string(), garbage}) {
        Model model;
        const std::string output = load(model, path);
        EXPECT_EQ(output.rfind("ERROR::ASSIMP:: ", 0), 0u) << output;
        EXPECT_GT(output.size(), 17u) << "the message carries a reason";
        EXPECT_TRUE(model.meshes.empty());
        model.draw(unlit(), model.modelMatrix);
        EXPECT_EQ(colorAt({400, 300}), kBlack);
    }
    write("broken.bmp", "BM not an image");
    write("m.mtl", "newmtl gone\nmap_Kd missing.png\nnewmtl bad\nmap_Kd broken.bmp\n");
    for (const char* material : {"gone", "bad"}) {
        Model model;
        load(model, write("q.obj", quadObj(material)));
        ASSERT_EQ(model.textureCache.size(), 1u);
        EXPECT_EQ(textureValue(model.textureCache[0].id, GL_TEXTURE_WIDTH, true), 1);
        model.draw(unlit(), model.modelMatrix);
        EXPECT_EQ(colorAt({400, 300}), (Rgb{255, 0, 255})) << material;
    }
}

// Every generated model imports with meshes and readable images (none is the placeholder), with
// the extents that the generator wrote down (six decimals). The track is a torus in the XZ
// plane around the origin: equal x and z extents, y extent the tube's diameter.
TEST_F(ResourceTest, GeneratedModelsLoadWithTheirManifestExtents) {
    std::ifstream manifest("../External/manifest.txt");
    ASSERT_TRUE(manifest.is_open()) << "the assets target writes ../External/manifest.txt";
    std::string line, path;
    int count = 0;
    for (; std::getline(manifest, line); ++count) {
        float minX, maxX, minY, maxY, minZ, maxZ;
        ASSERT_TRUE(std::istringstream(line) >> path >> minX >> maxX >> minY >> maxY >> minZ >>
                    maxZ);
        Model model;
        EXPECT_EQ(load(model, "../External/" + path), "");
        EXPECT_FALSE(model.meshes.empty() || model.textureCache.empty()) << path;
        for (const Texture& texture : model.textureCache)
            EXPECT_GT(textureValue(texture.id, GL_TEXTURE_WIDTH, true), 1) << path;
        model.measureExtents();
        EXPECT_NEAR(model.width, maxX - minX, 1e-4f) << path;
        EXPECT_NEAR(model.height, maxY - minY, 1e-4f) << path;
        if (path == "Models/Torus/torus.obj") {
            EXPECT_NEAR(maxX - minX, maxZ - minZ, 1e-4f);
            EXPECT_NEAR(minX + maxX, 0.0f, 1e-4f);
            EXPECT_NEAR(minY + maxY, 0.0f, 1e-4f);
            EXPECT_LT(model.height, model.width);
        }
    }
    EXPECT_EQ(count, 7) << "robot, ball, track, skybox, planet, rocket and stone";
}

// A glyph lands at pen + bearing with its bitmap's bottom (size.y - bearing.y) pixels below the
// baseline, upright, in the text colour; the pen moves on by whole pixels of the advance, times
// the scale.
TEST_F(ResourceTest, GlyphsLandWhereThePenPutsThem) {
    TextRenderer& font = game->menuFont;
    ASSERT_EQ(font.glyphs.size(), 128u);
    const Character& g = font.glyphs.at('g');
    font.drawText(textScreen(), "g", 40, 60, 1.0f, {1.0f, 0.5f, 0.0f});
    const std::vector<unsigned char> drawn = screen();
    expectGlyphQuad(covered(drawn), g, 40, 60, 1);
    EXPECT_GT(g.size.y, g.bearing.y) << "g has a descender";

    // At scale 1 from a whole-pixel pen every pixel centre meets a texel centre: red is the
    // bitmap's coverage, top row at the top, and green half of it, within 8-bit blend rounding.
    std::vector<unsigned char> bitmap(size_t(g.size.x) * g.size.y);
    glBindTexture(GL_TEXTURE_2D, g.textureId);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, bitmap.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    const int top = 60 + g.bearing.y - 1, left = 40 + g.bearing.x;
    int mismatches = 0;
    for (int row = 0; row < g.size.y; ++row)
        for (int column = 0; column < g.size.x; ++column) {
            const unsigned char* pixel = &drawn[(size_t(top - row) * kWidth + left + column) * 4];
            const int coverage = bitmap[size_t(row) * g.size.x + column];
            mismatches +=
                std::abs(pixel[0] - coverage) > 1 || std::abs(2 * pixel[1] - coverage) > 2;
        }
    EXPECT_EQ(mismatches, 0) << "of " << g.size.x * g.size.y << " pixels";

    font.drawText(textScreen(), " H", 40, 60, 2.0f, {1.0f, 1.0f, 1.0f});
    const int spaceAdvance = int(font.glyphs.at(' ').advance >> 6);
    ASSERT_GT(spaceAdvance, 0);
    expectGlyphQuad(covered(screen()), font.glyphs.at('H'), 40 + spaceAdvance * 2, 60, 2);
}

// A byte without a glyph draws nothing and leaves the pen where it was; an empty string draws
// nothing and leaves the text program bound.
TEST_F(ResourceTest, CharacterWithoutGlyphDrawsNothingAndKeepsThePen) {
    game->menuFont.drawText(textScreen(), "AH", 20, 40, 1.0f, {1.0f, 1.0f, 1.0f});
    const std::vector<unsigned char> plain = screen();
    ASSERT_FALSE(covered(plain).empty());
    game->menuFont.drawText(textScreen(), "A\xe9H\x80", 20, 40, 1.0f, {1.0f, 1.0f, 1.0f});
    EXPECT_TRUE(screen() == plain);
    game->menuFont.drawText(textScreen(), "", 20, 40, 1.0f, {1.0f, 1.0f, 1.0f});
    EXPECT_TRUE(covered(screen()).empty());
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(GLuint(program), game->programs.text.programId);
}

// The hearts of the HUD are the heart font's letter T. A font that cannot be opened says so once
// and leaves a renderer without glyphs whose strings draw nothing; the unpack alignment is set
// to 1 all the same, as the models loaded after the fonts need.
TEST_F(ResourceTest, HeartFontDrawsItsTAndAMissingFontNothing) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    testing::internal::CaptureStdout();
    TextRenderer missing("../External/Fonts/no such font.TTF", 30);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);
    TextRenderer hearts("../External/Fonts/HEART shapes.TTF", 60);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR::FREETYPE: Failed to load font\n");
    EXPECT_TRUE(missing.glyphs.empty());
    missing.drawText(textScreen(), "Score: 42 \xe9", 20, 40, 1.0f, {1.0f, 1.0f, 1.0f});
    EXPECT_TRUE(covered(screen()).empty());
    hearts.drawText(textScreen(), "TTT", 10, 60, 1.0f, {1.0f, 1.0f, 1.0f});
    const Box drawn = covered(screen());
    ASSERT_FALSE(drawn.empty());
    EXPECT_GE(drawn.right - drawn.left + 1, 2 * int(hearts.glyphs.at('T').advance >> 6));
}
