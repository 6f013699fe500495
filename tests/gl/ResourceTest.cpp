// Rendering resources under a real context: shader programs and their console messages, models
// with their material textures, and text drawn from a font.

#include "GlFixture.h"

#include <sstream>

namespace {

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kBlack{0, 0, 0};
const glm::vec3 kWhite(1.0f);

class ResourceTest : public GlFixture {
  protected:
    // The game's unlit program over a cleared window, with identity camera matrices: a unit
    // quad covers the middle half of the window, pixels 200..599 by 150..449.
    Shader unlit() {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const Shader shader = game->programs.scene.modelShader;
        glUseProgram(shader.programId);
        for (const char* matrix : {"view", "projection"})
            glUniformMatrix4fv(glGetUniformLocation(shader.programId, matrix), 1, GL_FALSE,
                               &glm::mat4(1.0f)[0][0]);
        return shader;
    }

    static GLint textureValue(GLuint texture, GLenum parameter) {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        if (parameter == GL_TEXTURE_MIN_FILTER)
            glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
        else
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
        glBindTexture(GL_TEXTURE_2D, 0);
        return value;
    }

    // The text program over a black window, in the window's pixel coordinates. White text's red
    // channel is the glyph coverage.
    Shader& text() {
        unlit();
        Shader& text = game->programs.text;
        glUseProgram(text.programId);
        const glm::mat4 projection = glm::ortho(0.0f, float(kWidth), 0.0f, float(kHeight));
        glUniformMatrix4fv(glGetUniformLocation(text.programId, "projection"), 1, GL_FALSE,
                           &projection[0][0]);
        return text;
    }

    // The window's pixels, and how many of them hold any red (glyph coverage).
    static std::vector<unsigned char> screen() { return readPixels(0, 0, kWidth, kHeight); }
    static int inked(const std::vector<unsigned char>& rgba) {
        int count = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            count += rgba[i] > 0;
        return count;
    }
};

} // namespace

// Each failing stage prints its tag, then its compile log cut to 511 characters; the failed
// stage stays attached, so the link fails too and prints its whole log. A stage file that does
// not exist is no read failure (only a stream in the bad state is): the empty stage fails
// instead. Whatever fails, the program object exists. The depth program reads its three stages
// from ../Shader/ and compiles the geometry stage first.
TEST_F(ResourceTest, ShaderFailuresPrintTheirTagAndLog) {
    std::string longError = "#version 330 core\nout vec4 FragColor;\nvoid main() {\n";
    for (int i = 0; i < 40; ++i) // an error line for each undeclared name: past 511 characters
        longError += "FragColor += undeclared" + std::to_string(i) + ";\n";
    const std::string fragment = "#version 330 core\nin vec2 uv; out vec4 FragColor;\n"
                                 "void main() { FragColor = vec4(uv, 0.0, 1.0); }\n";
    const std::string vertex =
        write("v.vertex", "#version 330 core\nout vec3 uv;\nvoid main() { uv = vec3(0); }\n");
    const std::string rows[][3] = {
        // vertex file, fragment file, the output's start
        {write("a.vertex", "#version 330 core\nvoid main() { oops; }\n"),
         write("a.fragment", fragment), "ERROR::SHADER::VERTEX::COMPILATION_FAILED\n"},
        {vertex, write("b.fragment", longError + "}\n"),
         "ERROR::SHADER::FRAGMENT::COMPILATION_FAILED\n"},
        {vertex, write("c.fragment", fragment), "ERROR::SHADER::PROGRAM::LINKING_FAILED\n"},
        {(folder / "none.vertex").string(), write("d.fragment", fragment),
         "ERROR::SHADER::VERTEX::COMPILATION_FAILED\n"}};
    for (const auto& [vertexFile, fragmentFile, start] : rows) {
        testing::internal::CaptureStdout();
        const Shader program(vertexFile.c_str(), fragmentFile.c_str());
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(output.substr(0, start.size()), start) << output;
        EXPECT_TRUE(glIsProgram(program.programId));
        if (start.find("FRAGMENT") != std::string::npos) { // the long log, cut, then the link's
            const size_t link = output.find("\nERROR::SHADER::PROGRAM::LINKING_FAILED\n");
            EXPECT_EQ(link, start.size() + 511) << output;
        }
    }

    std::filesystem::create_directories(folder / "build");
    std::filesystem::copy("../Shader", folder / "Shader");
    write("Shader/DepthShader.geometry", "#version 330 core\nvoid main() { oops(); }\n");
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
    std::vector<Rgb> image(6, kRed);
    image.resize(12, kBlue);
    bmp("skin.bmp", 3, 4, image);
    Model model;
    ASSERT_EQ(load(model, texturedQuad("skin", "map_Kd skin.bmp")), "");
    EXPECT_EQ(model.modelFolder, folder.string());
    ASSERT_EQ(model.textureCache.size(), 1u);
    EXPECT_EQ(textureValue(model.textureCache[0].id, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB16F);
    model.draw(unlit(), model.modelMatrix);
    EXPECT_EQ(colorAt({400, 375}), kRed);
    EXPECT_EQ(colorAt({400, 225}), kBlue);
    EXPECT_EQ(colorAt({100, 100}), kBlack);
}

// Diffuse, specular and bump maps take units 0, 1 and 2 as texture_diffuse1, texture_specular1
// and texture_normal1. An image named again keeps the type it was first loaded with, in the same
// material and in a later one, and is loaded once.
TEST_F(ResourceTest, MaterialSamplersAreNumberedPerTypeOnTheirUnits) {
    write("m.mtl",
          "newmtl three\nmap_Kd " + pixel("r", kRed) + "\nmap_Ks " + pixel("g", kGreen) +
              "\nmap_bump " + pixel("b", kBlue) +
              "\nnewmtl twice\nmap_Kd r.bmp\nmap_Ks r.bmp\nnewmtl later\nmap_bump r.bmp\n");
    Model model;
    ASSERT_EQ(load(model, write("q.obj", quadObj("three") + "usemtl twice\nf 1 2 4\n"
                                                            "usemtl later\nf 2 3 4\n")),
              "");
    ASSERT_EQ(model.meshes.size(), 3u);
    EXPECT_EQ(model.textureCache.size(), 3u);
    const char* const names[] = {"texture_diffuse1", "texture_diffuse2", "texture_specular1",
                                 "texture_normal1"};
    const Shader probe = program(
        std::string("uniform sampler2D ") + names[0] + ", " + names[1] + ", " + names[2] + ", " +
        names[3] + ";\nvoid main() { FragColor = texture(" + names[0] + ", uv) + texture(" +
        names[1] + ", uv) + texture(" + names[2] + ", uv) + texture(" + names[3] + ", uv); }");
    const std::array<GLint, 4> units[] = {{0, 7, 1, 2}, {0, 1, 7, 7}, {0, 7, 7, 7}};
    for (size_t mesh = 0; mesh < 3; ++mesh) {
        for (const char* name : names) // unit 7: one that no draw sets
            glUniform1i(glGetUniformLocation(probe.programId, name), 7);
        unlit();
        glUseProgram(probe.programId);
        model.meshes[mesh].draw(probe, glm::mat4(1.0f));
        std::array<GLint, 4> set{};
        for (size_t i = 0; i < 4; ++i)
            glGetUniformiv(probe.programId, glGetUniformLocation(probe.programId, names[i]),
                           &set[i]);
        EXPECT_EQ(set, units[mesh]) << "mesh " << mesh;
        if (mesh == 0) {
            EXPECT_EQ(colorAt({400, 300}), (Rgb{255, 255, 255})) << "red, green, blue: 3 units";
        }
    }
}

// Every attribute reaches its location: the importer computes the tangent space, and flips v,
// so the bitangent points down. (Unit 3's cube map is read through by the shadow tests.)
TEST_F(ResourceTest, AttributesReachTheirLocations) {
    Model model;
    ASSERT_EQ(load(model, (folder / "quad.obj").string()), "");
    const Shader probe = program("uniform int which;\nvoid main() { vec3 v = which == 0 ? normal "
                                 ": which == 1 ? tangent : bitangent;\n"
                                 "FragColor = vec4(v * 0.5 + 0.5, 1.0); }");
    const Rgb expected[] = {{128, 128, 255}, {255, 128, 128}, {128, 0, 128}};
    for (int which = 0; which < 3; ++which) {
        glUniform1i(glGetUniformLocation(probe.programId, "which"), which);
        glClear(GL_DEPTH_BUFFER_BIT);
        model.draw(probe, model.modelMatrix);
        // 0.5 encodes as 127 or 128 depending on the rounding of the colour conversion.
        for (size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(colorAt({450, 250})[c], expected[which][c], 1) << which << ", " << c;
    }
}

// The F5 request is applied lazily: the first draw applies trilinear filtering, a changed
// request is applied at the next draw, and an unchanged one (toggled twice) touches nothing.
TEST_F(ResourceTest, MipmapRequestIsAppliedOnlyWhenChanged) {
    Model model;
    load(model, (folder / "quad.obj").string());
    const GLuint texture = model.textureCache.at(0).id;
    const std::pair<bool, GLint> draws[] = {
        {true, GL_LINEAR_MIPMAP_LINEAR}, {false, GL_LINEAR}, {false, GL_NEAREST}};
    for (const auto& [wanted, filter] : draws) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        model.mipmapWanted = wanted;
        model.draw(unlit(), model.modelMatrix);
        EXPECT_EQ(textureValue(texture, GL_TEXTURE_MIN_FILTER), filter) << wanted;
    }
}

// Missing normals and texture coordinates (hence tangent space) read as zero vectors; extents
// span every mesh in x and y, and a model without vertices keeps 0. A missing model, or
// garbage (the OBJ reader returns an empty scene without a word), is reported and leaves a
// model without meshes that draws nothing. A missing or unreadable image still gives a
// texture: a 1x1 magenta placeholder.
TEST_F(ResourceTest, BareAndUnreadableFilesLoadAsFarAsTheyCan) {
    Model model;
    load(model, write("bare.obj", "o a\nv -1 -0.5 0\nv 0 0 9\nv 0 1 0\nf 1 2 3\n"
                                  "o b\nv 3 1.5 -9\nv 2 1 0\nv 2 0 0\nf 4 5 6\n"));
    ASSERT_EQ(model.meshes.size(), 2u);
    for (const Vertex& v : model.meshes[1].vertices)
        EXPECT_EQ(glm::vec4(v.normal + v.tangent + v.bitangent, v.uv.x + v.uv.y), glm::vec4(0));
    model.measureExtents();
    EXPECT_EQ(glm::vec2(model.width, model.height), glm::vec2(4.0f, 2.0f));
    Model none;
    none.measureExtents();
    EXPECT_EQ(none.width, 0.0f);

    const std::string garbage =
        write("garbage.obj", std::string("\x7f\0\x01\xff", 4) + "f 9 8 7\nusemtl\n\x02\x03");
    for (const std::string& path : {(folder / "nowhere.obj").string(), garbage}) {
        const std::string output = load(model, path);
        EXPECT_EQ(output.rfind("ERROR::ASSIMP:: ", 0), 0u) << output;
        EXPECT_GT(output.size(), 17u) << "the message carries a reason";
        model.draw(unlit(), model.modelMatrix);
        EXPECT_EQ(colorAt({400, 300}), kBlack);
    }
    write("broken.bmp", "BM not an image");
    for (const char* image : {"missing.png", "broken.bmp"}) {
        load(model, texturedQuad("q", std::string("map_Kd ") + image));
        ASSERT_EQ(model.textureCache.size(), 1u);
        EXPECT_EQ(textureValue(model.textureCache[0].id, GL_TEXTURE_WIDTH), 1);
        model.draw(unlit(), model.modelMatrix);
        EXPECT_EQ(colorAt({400, 300}), (Rgb{255, 0, 255})) << image;
    }
}

// Every generated model imports silently with meshes and readable images (none is the
// placeholder), and measures the extents that the generator wrote down (six decimals).
TEST_F(ResourceTest, GeneratedModelsLoadWithTheirManifestExtents) {
    std::ifstream manifest("../External/manifest.txt");
    std::string line, path;
    int count = 0;
    for (float minX, maxX, minY, maxY; std::getline(manifest, line); ++count) {
        ASSERT_TRUE(std::istringstream(line) >> path >> minX >> maxX >> minY >> maxY) << line;
        Model model;
        EXPECT_EQ(load(model, "../External/" + path), "");
        EXPECT_FALSE(model.meshes.empty() || model.textureCache.empty()) << path;
        for (const Texture& texture : model.textureCache)
            EXPECT_GT(textureValue(texture.id, GL_TEXTURE_WIDTH), 1) << path;
        model.measureExtents();
        EXPECT_NEAR(model.width, maxX - minX, 1e-4f) << path;
        EXPECT_NEAR(model.height, maxY - minY, 1e-4f) << path;
    }
    EXPECT_EQ(count, 7) << "robot, ball, track, skybox, planet, rocket and stone";
}

// A glyph lands at pen + bearing, its bitmap's bottom (size.y - bearing.y) pixels below the
// baseline, upright, in the text colour. At scale 1 from a whole-pixel pen every pixel centre
// meets a texel centre: red is the bitmap's coverage and green (colour 0.5) half of it, within
// 8-bit blend rounding. The pen moves on by whole pixels of the advance, times the scale; a
// byte without a glyph draws nothing and leaves the pen where it was.
TEST_F(ResourceTest, GlyphsLandWhereThePenPutsThem) {
    TextRenderer& font = game->menuFont;
    ASSERT_EQ(font.glyphs.size(), 128u);
    const Character& g = font.glyphs.at('g');
    ASSERT_GT(g.size.y, g.bearing.y) << "g has a descender";
    font.drawText(text(), "g", 40, 60, 1.0f, {1.0f, 0.5f, 0.0f});
    const std::vector<unsigned char> drawn = screen();
    std::vector<unsigned char> bitmap(size_t(g.size.x * g.size.y));
    glBindTexture(GL_TEXTURE_2D, g.textureId);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, bitmap.data());
    int mismatches = 0;
    for (int row = 0; row < g.size.y; ++row)
        for (int x = 0; x < g.size.x; ++x) {
            const size_t at = size_t((60 + g.bearing.y - 1 - row) * kWidth + 40 + g.bearing.x + x);
            const int texel = bitmap[size_t(row * g.size.x + x)];
            mismatches +=
                std::abs(drawn[at * 4] - texel) > 1 || std::abs(2 * drawn[at * 4 + 1] - texel) > 2;
        }
    EXPECT_EQ(mismatches, 0) << "of " << g.size.x * g.size.y << " pixels";

    font.drawText(text(), "H", 40 + 2 * (font.glyphs.at(' ').advance >> 6), 60, 2.0f, kWhite);
    const std::vector<unsigned char> alone = screen();
    font.drawText(text(), "\xe9 \x80H", 40, 60, 2.0f, kWhite);
    EXPECT_GT(inked(alone), 0);
    EXPECT_TRUE(screen() == alone);
}

// A font that cannot be opened says so once and leaves a renderer without glyphs whose strings
// draw nothing; the unpack alignment is set to 1 all the same, as the models loaded after the
// fonts need.
TEST_F(ResourceTest, MissingFontIsReportedAndDrawsNothing) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    testing::internal::CaptureStdout();
    TextRenderer font("../External/Fonts/no such font.TTF", 30);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR::FREETYPE: Failed to load font\n");
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);
    EXPECT_TRUE(font.glyphs.empty());
    font.drawText(text(), "Score: 42 \xe9", 20, 40, 1.0f, kWhite);
    EXPECT_EQ(inked(screen()), 0);
}
