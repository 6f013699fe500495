// Rendering resources under a real context: shader programs, models and text.

#include "GlFixture.h"

namespace {

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kBlack{0, 0, 0};
const glm::vec3 kWhite(1.0f);

class ResourceTest : public GlFixture {
  protected:
    // ModelShader on a cleared window: a unit quad covers pixels 200..599 by 150..449.
    static Shader& unlit() { return cleared(game->programs.scene.modelShader); }

    // How many of the pixels hold any red (glyph coverage).
    static int inked(const std::vector<unsigned char>& rgba) {
        int count = 0;
        for (size_t i = 0; i < rgba.size(); i += 4)
            count += rgba[i] > 0;
        return count;
    }
};

} // namespace

// A failing stage prints its tag and its compile log cut to 511 characters; it stays attached,
// so the link fails too. A missing stage file is no read failure (only a bad stream is): the
// empty stage fails. The program object always exists. The depth program reads its stages from
// ../Shader/ and compiles the geometry stage first.
TEST_F(ResourceTest, ShaderFailuresPrintTheirTagAndLog) {
    std::string longError = "#version 330 core\nout vec4 FragColor;\nvoid main() {\n";
    for (int i = 0; i < 40; ++i) // an error line for each undeclared name: past 511 characters
        longError += "FragColor += undeclared" + std::to_string(i) + ";\n";
    const std::string fragment = "#version 330 core\nin vec2 uv; out vec4 FragColor;\n"
                                 "void main() { FragColor = vec4(uv, 0.0, 1.0); }\n";
    write("v.vertex", "#version 330 core\nout vec3 uv;\nvoid main() { uv = vec3(0); }\n");
    write("a.vertex", "#version 330 core\nvoid main() { oops; }\n");
    write("a.fragment", fragment);
    write("b.fragment", longError + "}\n");
    std::filesystem::copy("../Shader", folder / "Shader");
    write("Shader/DepthShader.geometry", "#version 330 core\nvoid main() { oops(); }\n");
    const std::string rows[][3] = {
        // vertex and fragment file from build/, the output's start
        {"../a.vertex", "../a.fragment", "ERROR::SHADER::VERTEX::COMPILATION_FAILED\n"},
        {"../v.vertex", "../b.fragment", "ERROR::SHADER::FRAGMENT::COMPILATION_FAILED\n"},
        {"../v.vertex", "../a.fragment", "ERROR::SHADER::PROGRAM::LINKING_FAILED\n"},
        {"../none.vertex", "../a.fragment", "ERROR::SHADER::VERTEX::COMPILATION_FAILED\n"},
        {"", "", "ERROR::SHADER::GEOMETRY::COMPILATION_FAILED\n"}}; // the depth program
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::create_directories(folder / "build");
    std::filesystem::current_path(folder / "build");
    for (const auto& [vertexFile, fragmentFile, start] : rows) {
        testing::internal::CaptureStdout();
        const Shader program =
            vertexFile.empty() ? Shader() : Shader(vertexFile.c_str(), fragmentFile.c_str());
        const std::string output = testing::internal::GetCapturedStdout();
        EXPECT_EQ(output.substr(0, start.size()), start) << output;
        EXPECT_TRUE(glIsProgram(program.programId));
        if (fragmentFile == "../b.fragment") { // the long log, cut, then the link's message
            EXPECT_EQ(output.find("\nERROR::SHADER::PROGRAM::LINKING_FAILED\n"),
                      start.size() + 511);
        }
    }
    std::filesystem::current_path(here);
}

// A mesh draw hands the program each attribute at its location (v is flipped, so the
// bitangent points down) and its textures: diffuse, specular and bump maps on units 0, 1, 2 as
// texture_diffuse1, texture_specular1, texture_normal1. An image named again keeps the type of
// its first load and is loaded once. (The shadow tests read unit 3's cube map.)
TEST_F(ResourceTest, MeshDrawHandsTheProgramItsAttributesAndTextures) {
    write("m.mtl",
          "newmtl three\nmap_Kd " + bmp("r", {kRed}) + "\nmap_Ks " + bmp("g", {kGreen}) +
              "\nmap_bump " + bmp("b", {kBlue}) +
              "\nnewmtl twice\nmap_Kd r.bmp\nmap_Ks r.bmp\nnewmtl later\nmap_bump r.bmp\n");
    Model model;
    ASSERT_EQ(load(model, write("q.obj", quadObj("three") + "usemtl twice\nf 1 2 4\n"
                                                            "usemtl later\nf 2 3 4\n")),
              "");
    ASSERT_EQ(model.meshes.size(), 3u);
    EXPECT_EQ(model.textureCache.size(), 3u);
    const Shader probe = program(
        "uniform int which;\nuniform sampler2D texture_diffuse1, texture_diffuse2, "
        "texture_specular1, texture_normal1;\nvoid main() {\nFragColor = texture("
        "texture_diffuse1, uv) + texture(texture_diffuse2, uv) + texture(texture_specular1, uv) + "
        "texture(texture_normal1, uv);\nvec3 v = which == 0 ? normal : which == 1 ? tangent : "
        "bitangent;\nif (which < 3) FragColor = vec4(v * 0.5 + 0.5, 1.0); }");
    const char* const names[] = {"texture_diffuse1", "texture_diffuse2", "texture_specular1",
                                 "texture_normal1"};
    const std::array<GLint, 4> units[] = {{0, 7, 1, 2}, {0, 1, 7, 7}, {0, 7, 7, 7}};
    for (size_t mesh = 0; mesh < 3; ++mesh) {
        for (const char* name : names) // unit 7: one that no draw sets
            glUniform1i(glGetUniformLocation(probe.programId, name), 7);
        model.meshes[mesh].draw(probe, glm::mat4(1.0f));
        std::array<GLint, 4> set{};
        for (size_t i = 0; i < 4; ++i)
            glGetUniformiv(probe.programId, glGetUniformLocation(probe.programId, names[i]),
                           &set[i]);
        EXPECT_EQ(set, units[mesh]) << "mesh " << mesh;
    }
    // Normal, tangent, bitangent, then red + green + blue from three units. 0.5 encodes as 127
    // or 128 depending on the rounding of the colour conversion.
    const Rgb expected[] = {{128, 128, 255}, {255, 128, 128}, {128, 0, 128}, {255, 255, 255}};
    for (int which = 0; which < 4; ++which) {
        unlit();
        glUseProgram(probe.programId);
        glUniform1i(glGetUniformLocation(probe.programId, "which"), which);
        model.meshes[0].draw(probe, glm::mat4(1.0f));
        for (size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(colorAt({400, 300})[c], expected[which][c], 1) << which << ", " << c;
    }
}

// A model without normals or texture coordinates loads, its extents spanning every mesh. A
// missing or garbage model (the OBJ reader returns an empty scene without a word) is reported
// and draws nothing.
TEST_F(ResourceTest, ModelFilesLoadAsFarAsTheyCan) {
    Model model;
    load(model, write("bare.obj", "o a\nv -1 -0.5 0\nv 0 0 9\nv 0 1 0\nf 1 2 3\n"
                                  "o b\nv 3 1.5 -9\nv 2 1 0\nv 2 0 0\nf 4 5 6\n"));
    model.measureExtents();
    EXPECT_EQ(glm::vec2(model.width, model.height), glm::vec2(4.0f, 2.0f));

    const std::string garbage =
        write("garbage.obj", std::string("\x7f\0\x01\xff", 4) + "f 9 8 7\nusemtl\n\x02\x03");
    for (const std::string& path : {(folder / "nowhere.obj").generic_string(), garbage}) {
        const std::string output = load(model, path);
        EXPECT_EQ(output.rfind("ERROR::ASSIMP:: ", 0), 0u) << output;
        EXPECT_GT(output.size(), 17u) << "the message carries a reason";
        model.draw(unlit(), model.modelMatrix);
        EXPECT_EQ(colorAt({400, 300}), kBlack);
    }
}

// Faces naming elements the file lacks (which the reader would answer by refusing the file or
// dropping a whole uv or normal channel) and faces with a non-finite or huge value are left out,
// with one line naming the file. The rest keeps its uvs and its extents; well-formed faces,
// relative and forward references included, stay. The image, 3 pixels wide (9-byte rows, read
// tightly packed as the font's unpack alignment leaves it), red above blue, shows upright
// through ModelShader: SOIL's row order and the importer's v flip cancel out. Exact colours:
// 8-bit values survive the half-float store, and each pixel read samples one colour's texels.
// The F5 filter is applied at the first draw and at a draw after a change, not otherwise.
TEST_F(ResourceTest, BadFacesAreLeftOutAndTheRestDrawsUprightAsFiltered) {
    bmp("skin", {kRed, kRed, kRed, kRed, kRed, kRed, kBlue, kBlue, kBlue, kBlue, kBlue, kBlue}, 3);
    texturedQuad("skin", "map_Kd skin.bmp");
    const std::string clean = quadObj("skin", "skin");
    const struct {
        std::string appended;
        unsigned int leftOut, kept; // faces
    } rows[] = {
        {"v inf 0 0\nf 1/1/1 2/2/1 5/1/1\n", 1, 0},
        {"v 1e38 0 0\nf -1/1/1 1/1/1 2/2/1\n", 1, 0},
        {"vn 1e7 0 0\nf 1/1/2 2/2/2 3/3/2\n", 1, 0},
        {"f 1/99999/1 2/1/1 3/1/1\n", 1, 0},
        {"f 1/1/9 2/2/1 3/3/1\nf 1/1/1 2/2/1 3/3/1 # comment\n", 2, 0},
        {"f 1/1/1 2/2/1 99999/1/1\nf 0/1/1 2/2/1 3/3/1\nf -5/1/1 2/2/1 3/3/1\nv 0 0 0\n", 3, 0},
        {"v nan 0 0\nf 1/1/1 2/2/1 5/1/1\nf 1/x/1 2/2/1 3/3/1\n", 2, 0},
        {"f -4/-4/-1 -3/-3/-1 -2/-2/-1\nf 1//2 2//2 3//2\nvn 0 0 5e5\n", 0, 2},
    };
    Model model;
    ASSERT_EQ(load(model, write("clean.obj", clean)), "");
    model.measureExtents();
    ASSERT_EQ(glm::vec2(model.width, model.height), glm::vec2(1.0f));
    const size_t cleanIndices = model.meshes.at(0).indices.size();
    const GLuint texture = model.textureCache.at(0).id;
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &value);
    EXPECT_EQ(value, GL_RGB16F);
    const std::pair<bool, GLint> draws[] = {
        {true, GL_LINEAR_MIPMAP_LINEAR}, {false, GL_LINEAR}, {false, GL_NEAREST}};
    for (const auto& [wanted, filter] : draws) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        model.mipmapWanted = wanted;
        model.draw(unlit(), model.modelMatrix);
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
        EXPECT_EQ(value, filter) << wanted;
    }
    for (const auto& [appended, leftOut, kept] : rows) {
        const std::string path = write("bad.obj", clean + appended);
        const std::string report = "ERROR::MODEL:: " + path + ": left out " +
                                   std::to_string(leftOut) +
                                   " faces with missing or unusable vertex data\n";
        EXPECT_EQ(load(model, path), leftOut > 0 ? report : "") << appended;
        ASSERT_EQ(model.meshes.size(), 1u) << appended;
        EXPECT_EQ(model.meshes[0].indices.size(), cleanIndices + 3 * kept) << appended;
        model.measureExtents();
        EXPECT_EQ(glm::vec2(model.width, model.height), glm::vec2(1.0f)) << appended;
        model.draw(unlit(), model.modelMatrix);
        EXPECT_EQ(colorAt({400, 375}), kRed) << appended;
        EXPECT_EQ(colorAt({400, 225}), kBlue) << appended;
    }
}

// An image that cannot be used says why in one line naming the file, and its texture (always
// created) holds the 1x1 magenta placeholder. A PNG larger than the driver takes is refused
// from its header, before decoding; another format after decoding.
TEST_F(ResourceTest, FailingImagesShowThePlaceholderAndSayWhy) {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &limit);
    const auto bigEndian = [](GLint value) {
        return std::string{char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    };
    std::ifstream track("../External/Models/Torus/track_diffuse.png", std::ios::binary);
    const std::string png(std::istreambuf_iterator<char>(track), {});
    write("empty.png", "");
    write("cut.png", png.substr(0, png.size() / 2));
    write("text.png", "no image at all\n");
    std::filesystem::create_directory(folder / "folder.png");
    // PNG headers without pixel data to decode: one row more than the limit; the largest square,
    // which llvmpipe refuses for its memory though each side is within the limit.
    write("tall.png", png.substr(0, 16) + bigEndian(1) + bigEndian(limit + 1) + png.substr(24, 9));
    write("square.png",
          png.substr(0, 16) + bigEndian(limit) + bigEndian(limit) + png.substr(24, 9));
    bmp("wide", std::vector<Rgb>(size_t(limit) + 1, kGreen), limit + 1);
    bmp("good", {kGreen, kBlue}, 2);
    const std::string oversize =
        " pixels, more than the driver takes (GL_MAX_TEXTURE_SIZE " + std::to_string(limit) + ")";
    const std::string rows[][2] = {
        // image, the reason after "<file>: " (empty: SOIL's own)
        {"empty.png", ""},
        {"cut.png", ""},
        {"text.png", ""},
        {"folder.png", ""},
        {"tall.png", "1x" + std::to_string(limit + 1) + oversize},
        {"square.png", std::to_string(limit) + "x" + std::to_string(limit) + oversize},
        {"wide.bmp", std::to_string(limit + 1) + "x1" + oversize},
        {"good.bmp", "-"}};
    for (const auto& [image, reason] : rows) {
        Model model;
        const std::string output = load(model, texturedQuad("q", "map_Kd " + image));
        ASSERT_EQ(model.textureCache.size(), 1u) << image;
        const GLuint texture = model.textureCache[0].id;
        EXPECT_TRUE(glIsTexture(texture)) << image;
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint width = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        std::array<unsigned char, 8> texels{};
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        const Rgb first{texels[0], texels[1], texels[2]};
        if (reason == "-") {
            EXPECT_EQ(output, "");
            EXPECT_EQ(width, 2);
            EXPECT_EQ(first, kGreen);
            continue;
        }
        const std::string start =
            "ERROR::TEXTURE:: Failed to load " + (folder / image).generic_string() + ": ";
        EXPECT_EQ(output.substr(0, start.size()), start) << output;
        if (reason.empty())
            EXPECT_GT(output.size(), start.size() + 1) << "SOIL's reason follows";
        else
            EXPECT_EQ(output.substr(start.size()), reason + "\n");
        EXPECT_EQ(std::count(output.begin(), output.end(), '\n'), 1) << output;
        EXPECT_EQ(width, 1) << image;
        EXPECT_EQ(first, (Rgb{255, 0, 255})) << image;
    }
}

// A glyph lands at pen + bearing, its bottom (size.y - bearing.y) pixels below the baseline,
// upright, in the text colour: at scale 1 from a whole-pixel pen each pixel centre meets a
// texel centre, so red is the coverage and green (0.5) half of it, within 8-bit blend rounding.
// The pen moves by whole pixels of the advance times the scale; a byte without a glyph draws
// nothing and leaves the pen where it was.
TEST_F(ResourceTest, GlyphsLandWhereThePenPutsThemAndNowhereWithoutAFont) {
    TextRenderer& font = *game->menuFont;
    ASSERT_EQ(font.glyphs.size(), 128u);
    const Character& j = font.glyphs.at('j'); // left of the pen, below the baseline
    ASSERT_TRUE(j.bearing.x < 0 && j.size.y > j.bearing.y);
    font.drawText(text(), "j", 40, 60, 1.0f, {1.0f, 0.5f, 0.0f});
    const std::vector<unsigned char> drawn = screen();
    std::vector<unsigned char> bitmap(size_t(j.size.x * j.size.y));
    glBindTexture(GL_TEXTURE_2D, j.textureId);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, bitmap.data());
    int mismatches = 0;
    for (int row = 0; row < j.size.y; ++row)
        for (int x = 0; x < j.size.x; ++x) {
            const size_t at = size_t((60 + j.bearing.y - 1 - row) * kWidth + 40 + j.bearing.x + x);
            const int texel = bitmap[size_t(row * j.size.x + x)];
            mismatches +=
                std::abs(drawn[at * 4] - texel) > 1 || std::abs(2 * drawn[at * 4 + 1] - texel) > 2;
        }
    EXPECT_EQ(mismatches, 0) << "of " << j.size.x * j.size.y << " pixels";

    font.drawText(text(), "H", 40 + 2 * (font.glyphs.at(' ').advance >> 6), 60, 2.0f, kWhite);
    const std::vector<unsigned char> alone = screen();
    font.drawText(text(), "\xe9 \x80H", 40, 60, 2.0f, kWhite);
    EXPECT_GT(inked(alone), 0);
    EXPECT_TRUE(screen() == alone);

    // A font that cannot be opened says so once and draws nothing; the unpack alignment is set
    // to 1 all the same, as the models loaded after the fonts need.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    testing::internal::CaptureStdout();
    TextRenderer missing("../External/Fonts/no such font.TTF", 30);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR::FREETYPE: Failed to load font\n");
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);
    EXPECT_TRUE(missing.glyphs.empty());
    missing.drawText(text(), "Score: 42 \xe9", 20, 40, 1.0f, kWhite);
    EXPECT_EQ(inked(screen()), 0);
}

// Bitmap fonts hand FreeType's glyphs over with fewer bits per pixel than one byte and rows
// padded to whole bytes; the glyph texture still holds one byte of coverage per pixel, full
// coverage 255, top row first. Each font has one glyph, "A", which FreeType also hands out for
// every code the font lacks.
TEST_F(ResourceTest, BitmapFontGlyphsBecomeByteCoverage) {
    struct Case {
        int bitsPerPixel;
        int width;
        std::vector<std::string> rows; // BDF hex rows, top first, each padded to whole bytes
        std::vector<int> coverage;     // expected texels, top row first
    };
    const Case cases[] = {
        {1, 10, {"FFC0", "8040", "AA80"}, {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, //
                                           255, 0,   0,   0,   0,   0,   0,   0,   0,   255, //
                                           255, 0,   255, 0,   255, 0,   255, 0,   255, 0}},
        {2, 4, {"1B", "E4"}, {0, 85, 170, 255, 255, 170, 85, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bitsPerPixel);
        std::string bdf = "STARTFONT 2.1\nFONT -zelto-test-medium-r-normal--10-100-75-75-c-100-"
                          "iso10646-1\nSIZE 10 75 75 " +
                          std::to_string(c.bitsPerPixel) +
                          "\nFONTBOUNDINGBOX 10 10 0 -2\nSTARTPROPERTIES 2\nFONT_ASCENT 8\n"
                          "FONT_DESCENT 2\nENDPROPERTIES\nCHARS 1\nSTARTCHAR A\nENCODING 65\n"
                          "SWIDTH 1000 0\nDWIDTH 11 0\nBBX " +
                          std::to_string(c.width) + " " + std::to_string(c.rows.size()) +
                          " 0 -1\nBITMAP\n";
        for (const std::string& row : c.rows)
            bdf += row + "\n";
        const std::string path = write("bits.bdf", bdf + "ENDCHAR\nENDFONT\n");

        testing::internal::CaptureStdout();
        TextRenderer font(path.c_str(), 10);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        ASSERT_EQ(font.glyphs.size(), 128u);
        const Character& a = font.glyphs.at('A');
        const int rows = int(c.rows.size());
        EXPECT_EQ(a.size, glm::ivec2(c.width, rows));
        EXPECT_EQ(a.bearing, glm::ivec2(0, rows - 1));
        EXPECT_EQ(a.advance, 11u * 64u);
        std::vector<unsigned char> texels(c.coverage.size() + 16, 7);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glBindTexture(GL_TEXTURE_2D, a.textureId);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, texels.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        texels.resize(c.coverage.size());
        EXPECT_EQ(std::vector<int>(texels.begin(), texels.end()), c.coverage);
    }
}

// A model texture repeats past texture coordinate 1 in both directions and blends its texels
// when magnified. A quad with coordinates 0..2 shows a 2 x 2 image (red, green over blue,
// white) four times, each texel 100 x 75 pixels: texel centres show their colour, the point
// between two texels the mean of both (within 3 of the 8-bit rounding).
TEST_F(ResourceTest, ModelTexturesRepeatAndBlendTheirTexels) {
    bmp("tile", {kRed, kGreen, kBlue, {255, 255, 255}}, 2);
    std::string tiled = quadObj("tile", "tile");
    const std::string once = "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n";
    tiled.replace(tiled.find(once), once.size(), "vt 0 0\nvt 2 0\nvt 2 2\nvt 0 2\n");
    texturedQuad("tile", "map_Kd tile.bmp");
    Model model;
    ASSERT_EQ(load(model, write("tile.obj", tiled)), "");
    model.draw(unlit(), model.modelMatrix);
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) { // from the bottom: blue, white under red, green
            const Rgb expected = row % 2 == 0 ? (column % 2 == 0 ? kBlue : Rgb{255, 255, 255})
                                              : (column % 2 == 0 ? kRed : kGreen);
            const Rgb seen = colorAt({249 + 100 * column, 187 + 75 * row});
            for (size_t c = 0; c < 3; ++c)
                EXPECT_NEAR(seen[c], expected[c], 3) << column << ", " << row << ", " << c;
        }
    }
    const Rgb between = colorAt({299, 262}); // red | green
    EXPECT_NEAR(between[0], 127.5f, 3);
    EXPECT_NEAR(between[1], 127.5f, 3);
}

// A glyph's quad samples its coverage bilinearly and clamped at the bitmap's edges, drawn
// larger or smaller than its bitmap: each pixel whose centre lies inside the quad reads the
// coverage interpolated at its texture coordinate, within 2 of the filter's 8-bit weights. The
// pen sits 0.3 pixels off, so that no pixel samples a texel's centre at either scale and edge
// pixels sample between an edge texel and the border.
TEST_F(ResourceTest, GlyphQuadsSampleTheirBitmapSmoothlyWithinItsEdges) {
    TextRenderer font("../External/Fonts/AGENCYR.TTF", 30);
    const Character& glyph = font.glyphs.at('%');
    const glm::ivec2 size = glyph.size;
    std::vector<unsigned char> bitmap(size_t(size.x * size.y));
    glPixelStorei(GL_PACK_ALIGNMENT, 1); // rows of one byte per texel, not padded to 4
    glBindTexture(GL_TEXTURE_2D, glyph.textureId);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, bitmap.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    auto texel = [&](int x, int y) {
        return float(
            bitmap[size_t(std::clamp(y, 0, size.y - 1) * size.x + std::clamp(x, 0, size.x - 1))]);
    };
    bool edgesDiffer[2] = {}; // left against right column, top against bottom row
    for (int y = 0; y < size.y; ++y)
        edgesDiffer[0] |= texel(0, y) != texel(size.x - 1, y);
    for (int x = 0; x < size.x; ++x)
        edgesDiffer[1] |= texel(x, 0) != texel(x, size.y - 1);
    ASSERT_TRUE(edgesDiffer[0] && edgesDiffer[1]) << "the glyph shows a wrap at its edges";

    for (const float scale : {2.0f, 0.5f}) {
        const glm::vec2 pen(40.3f, 60.3f);
        font.drawText(text(), "%", pen.x, pen.y, scale, kWhite);
        const std::vector<unsigned char> drawn = screen();
        const glm::vec2 low(pen.x + glyph.bearing.x * scale,
                            pen.y - float(size.y - glyph.bearing.y) * scale);
        const glm::vec2 extent = glm::vec2(size) * scale;
        int mismatches = 0, pixels = 0;
        for (int y = int(low.y); y <= int(low.y + extent.y); ++y)
            for (int x = int(low.x); x <= int(low.x + extent.x); ++x) {
                // Texture coordinates of the pixel's centre, in texels from the top left.
                const glm::vec2 at =
                    glm::vec2(x + 0.5f - low.x, low.y + extent.y - (y + 0.5f)) / scale;
                if (glm::any(glm::lessThanEqual(at, glm::vec2(0.0f))) ||
                    glm::any(glm::greaterThanEqual(at, glm::vec2(size))))
                    continue;
                const glm::vec2 corner = glm::floor(at - 0.5f), f = at - 0.5f - corner;
                const int i = int(corner.x), j = int(corner.y);
                const float expected =
                    glm::mix(glm::mix(texel(i, j), texel(i + 1, j), f.x),
                             glm::mix(texel(i, j + 1), texel(i + 1, j + 1), f.x), f.y);
                mismatches += std::abs(drawn[size_t(y * kWidth + x) * 4] - expected) > 2.0f;
                ++pixels;
            }
        EXPECT_EQ(mismatches, 0) << "of " << pixels << " pixels at scale " << scale;
    }
}
