// Models under a real context: OBJ import with material textures drawn through ModelShader,
// sampler naming per unit, the shadow cube map on unit 3, the lazy mip-mapping switch, the
// failure cases, and the game's generated models against their manifest.

#include "render/Model.h"
#include "GlTestContext.h"
#include "TempFolder.h"
#include "pipeline/DepthCubeMap.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Rgb = std::array<unsigned char, 3>;
constexpr Rgb kRed = {255, 0, 0}, kGreen = {0, 255, 0}, kBlue = {0, 0, 255}, kBlack = {0, 0, 0};

// A unit square in the XY plane around the origin, facing +z, texture v growing upwards.
std::string quadObj(const std::string& material = "") {
    const std::string head = material.empty() ? "" : "mtllib m.mtl\nusemtl " + material + "\n";
    return head + "v -0.5 -0.5 0\nv 0.5 -0.5 0\nv 0.5 0.5 0\nv -0.5 0.5 0\n"
                  "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\n"
                  "f 1/1/1 2/2/1 3/3/1\nf 1/1/1 3/3/1 4/4/1\n";
}

// A 64 x 64 RGBA8 target with depth, bound while it lives. The quad covers pixels 16 to 47.
struct Offscreen {
    GLuint fbo = 0, buffers[2] = {};
    Offscreen() {
        glGenFramebuffers(1, &fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glGenRenderbuffers(2, buffers);
        const GLenum formats[] = {GL_RGBA8, GL_DEPTH_COMPONENT24};
        const GLenum attachments[] = {GL_COLOR_ATTACHMENT0, GL_DEPTH_ATTACHMENT};
        for (int i = 0; i < 2; ++i) {
            glBindRenderbuffer(GL_RENDERBUFFER, buffers[i]);
            glRenderbufferStorage(GL_RENDERBUFFER, formats[i], 64, 64);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachments[i], GL_RENDERBUFFER, buffers[i]);
        }
        glViewport(0, 0, 64, 64);
        clear();
    }
    ~Offscreen() {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteRenderbuffers(2, buffers);
        glDeleteFramebuffers(1, &fbo);
        glViewport(0, 0, kWidth, kHeight);
    }
    static constexpr int kWidth = 800, kHeight = 600;
    void clear() const {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // The colour at pixel (x, y), y counted from the bottom.
    Rgb at(int x, int y) const {
        unsigned char pixel[4];
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        return {pixel[0], pixel[1], pixel[2]};
    }
};

// The game's unlit program with identity camera matrices: model space is clip space.
Shader modelShader() {
    Shader shader("../Shader/ModelShader.vertex", "../Shader/ModelShader.fragment");
    glUseProgram(shader.programId);
    const glm::mat4 identity(1.0f);
    for (const char* name : {"projection", "view"})
        glUniformMatrix4fv(glGetUniformLocation(shader.programId, name), 1, GL_FALSE,
                           &identity[0][0]);
    return shader;
}

// A program with the given fragment body; the vertex stage passes on all five attributes.
Shader probeShader(const TempFolder& folder, const std::string& fragmentBody) {
    const std::string vertex = folder.write("Probe.vertex", R"(#version 330 core
layout(location = 0) in vec3 aPos; layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUv; layout(location = 3) in vec3 aTangent;
layout(location = 4) in vec3 aBitangent;
out vec3 normal; out vec2 uv; out vec3 tangent; out vec3 bitangent;
uniform mat4 model;
void main() {
    normal = aNormal; uv = aUv; tangent = aTangent; bitangent = aBitangent;
    gl_Position = model * vec4(aPos, 1.0);
})");
    const std::string fragment = folder.write(
        "Probe.fragment", "#version 330 core\nin vec3 normal; in vec2 uv; in vec3 tangent; "
                          "in vec3 bitangent;\nout vec4 FragColor;\n" +
                              fragmentBody);
    Shader shader(vertex.c_str(), fragment.c_str());
    glUseProgram(shader.programId);
    return shader;
}

GLint textureValue(GLuint texture, GLenum parameter, bool level0 = false) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    if (level0)
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
    else
        glGetTexParameteriv(GL_TEXTURE_2D, parameter, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

// Loads a model and returns what it printed.
std::string load(Model& model, const std::string& path) {
    testing::internal::CaptureStdout();
    model = Model(path.c_str());
    return testing::internal::GetCapturedStdout();
}

class ModelTest : public GlTest {
  protected:
    // Model textures upload tightly packed rows; in the game the fonts, created first, set this.
    void SetUp() override {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
    }
    void TearDown() override { EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)); }
    TempFolder folder;
    Model model;
};

} // namespace

// An image 3 pixels wide (9-byte rows, tightly packed), top half red and bottom half blue,
// lands upright on a quad drawn with ModelShader: SOIL's row order and the importer's v flip
// cancel out. Colours are exact: 8-bit values survive the half-float store, and the sampled
// points lie between texel centres of one colour.
TEST_F(ModelTest, TexturedQuadShowsItsImageUprightThroughModelShader) {
    folder.writeBmp("skin.bmp", 3, 4,
                    {kRed, kRed, kRed, kRed, kRed, kRed, kBlue, kBlue, kBlue, kBlue, kBlue, kBlue});
    folder.write("m.mtl", "newmtl skin\nmap_Kd skin.bmp\n");
    ASSERT_EQ(load(model, folder.write("quad.obj", quadObj("skin"))), "");
    ASSERT_EQ(model.meshes.size(), 1u);
    EXPECT_EQ(model.modelFolder, folder.path.string());
    ASSERT_EQ(model.textureCache.size(), 1u);
    EXPECT_EQ(textureValue(model.textureCache[0].id, GL_TEXTURE_INTERNAL_FORMAT, true), GL_RGB16F);

    Offscreen target;
    model.draw(modelShader(), model.modelMatrix);
    EXPECT_EQ(target.at(32, 40), kRed);
    EXPECT_EQ(target.at(32, 24), kBlue);
    EXPECT_EQ(target.at(4, 4), kBlack); // outside the quad
}

// Diffuse, specular and bump maps take units 0, 1 and 2 as texture_diffuse1, texture_specular1
// and texture_normal1. An image named twice keeps the type of its first load, in the same
// material and in a later one, and is loaded once per model.
TEST_F(ModelTest, MaterialTexturesAreNamedPerTypeAndBoundPerUnit) {
    folder.writeBmp("r.bmp", 1, 1, {kRed});
    folder.writeBmp("g.bmp", 1, 1, {kGreen});
    folder.writeBmp("b.bmp", 1, 1, {kBlue});
    folder.write("m.mtl",
                 "newmtl three\nmap_Kd r.bmp\nmap_Ks g.bmp\nmap_bump b.bmp\n"
                 "newmtl twice\nmap_Kd r.bmp\nmap_Ks r.bmp\nnewmtl later\nmap_bump r.bmp\n");
    Model twice;
    ASSERT_EQ(load(model, folder.write("three.obj", quadObj("three"))), "");
    ASSERT_EQ(load(twice, folder.write("twice.obj", quadObj("twice") + "usemtl later\nf 1 2 4\n")),
              "");
    ASSERT_EQ(model.meshes.at(0).textures.size(), 3u);
    ASSERT_EQ(twice.meshes.size(), 2u);
    EXPECT_EQ(twice.textureCache.size(), 1u);
    for (const Mesh& mesh : twice.meshes)
        for (const Texture& texture : mesh.textures)
            EXPECT_EQ(texture.type, "texture_diffuse");

    Offscreen target;
    Shader probe = probeShader(folder, R"(
uniform sampler2D texture_diffuse1, texture_diffuse2, texture_specular1, texture_normal1;
void main() { FragColor = texture(texture_diffuse1, uv) + texture(texture_diffuse2, uv)
                        + texture(texture_specular1, uv) + texture(texture_normal1, uv); })");
    const char* const names[] = {"texture_diffuse1", "texture_diffuse2", "texture_specular1",
                                 "texture_normal1"};
    // Sets every sampler to 7 (a unit no draw uses), draws, and reads the samplers back.
    auto unitsAfterDraw = [&](Mesh& mesh) {
        for (const char* name : names)
            glUniform1i(glGetUniformLocation(probe.programId, name), 7);
        target.clear();
        mesh.draw(probe, glm::mat4(1.0f));
        std::array<GLint, 4> units{};
        for (int i = 0; i < 4; ++i)
            glGetUniformiv(probe.programId, glGetUniformLocation(probe.programId, names[i]),
                           &units[i]);
        return units;
    };
    EXPECT_EQ(unitsAfterDraw(model.meshes[0]), (std::array<GLint, 4>{0, 7, 1, 2}));
    EXPECT_EQ(target.at(32, 32), (Rgb{255, 255, 255})); // red + green + blue from three units
    EXPECT_EQ(unitsAfterDraw(twice.meshes[0]), (std::array<GLint, 4>{0, 1, 7, 7}));
    EXPECT_EQ(unitsAfterDraw(twice.meshes[1]), (std::array<GLint, 4>{0, 7, 7, 7}));
}

// Every attribute reaches its location (the importer computes the tangent space; v is
// flipped, so the bitangent points down), and setCubeMap's texture is bound on unit 3.
TEST_F(ModelTest, AttributesAndCubeMapReachTheShader) {
    ASSERT_EQ(load(model, folder.write("plain.obj", quadObj())), "");
    GLuint cube = 0;
    glGenTextures(1, &cube);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cube);
    const unsigned char texel[4] = {200, 0, 0, 255};
    for (GLenum face = 0; face < 6; ++face)
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGBA8, 1, 1, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, texel);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    DepthCubeMap depthMap;
    depthMap.cubeMap = cube;
    model.setCubeMap(depthMap);

    Offscreen target;
    Shader probe = probeShader(folder, R"(
uniform int which; uniform samplerCube depthMap;
void main() {
    vec3 v = which == 0 ? normal : which == 1 ? tangent : which == 2 ? bitangent
           : texture(depthMap, vec3(1.0, 0.2, 0.1)).rgb * 2.0 - 1.0;
    FragColor = vec4(v * 0.5 + 0.5, 1.0);
})");
    glUniform1i(glGetUniformLocation(probe.programId, "depthMap"), 3);
    const Rgb expected[] = {{128, 128, 255}, {255, 128, 128}, {128, 0, 128}, {200, 0, 0}};
    for (int which = 0; which < 4; ++which) {
        glUniform1i(glGetUniformLocation(probe.programId, "which"), which);
        target.clear();
        model.draw(probe, model.modelMatrix);
        const Rgb pixel = target.at(32, 32);
        // 0.5 encodes as 127 or 128 depending on the rounding of the colour conversion.
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(pixel[c], expected[which][c], 1) << "case " << which << " channel " << c;
    }
    glDeleteTextures(1, &cube);
}

// The F5 request is applied lazily: the first draw applies trilinear filtering, a changed
// request is applied at the next draw, and a request toggled back before a draw touches nothing.
TEST_F(ModelTest, MipmapRequestIsAppliedOnlyWhenChanged) {
    folder.writeBmp("skin.bmp", 2, 2, {kRed, kRed, kBlue, kBlue});
    folder.write("m.mtl", "newmtl skin\nmap_Kd skin.bmp\n");
    load(model, folder.write("quad.obj", quadObj("skin")));
    const GLuint texture = model.textureCache.at(0).id;
    auto setMinFilter = [&](GLint filter) {
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        glBindTexture(GL_TEXTURE_2D, 0);
    };
    Offscreen target;
    Shader shader = modelShader();

    setMinFilter(GL_NEAREST);
    model.draw(shader, model.modelMatrix);
    EXPECT_EQ(textureValue(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    model.mipmapWanted = false;
    model.draw(shader, model.modelMatrix);
    EXPECT_EQ(textureValue(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    setMinFilter(GL_NEAREST);
    model.mipmapWanted = true;
    model.mipmapWanted = false;
    model.draw(shader, model.modelMatrix);
    EXPECT_EQ(textureValue(texture, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
}

// Missing normals and texture coordinates (hence tangent space) read as zero vectors; extents
// span every mesh in x and y, and a model without vertices keeps 0.
TEST_F(ModelTest, BareMeshesLoadWithZeroVectorsAndMeasureAcrossMeshes) {
    load(model, folder.write("bare.obj", "o a\nv -1 -0.5 0\nv 0 0 9\nv 0 1 0\nf 1 2 3\n"
                                         "o b\nv 3 1.5 -9\nv 2 1 0\nv 2 0 0\nf 4 5 6\n"));
    ASSERT_EQ(model.meshes.size(), 2u);
    for (const Vertex& vertex : model.meshes[1].vertices) {
        EXPECT_EQ(vertex.normal + vertex.tangent + vertex.bitangent, glm::vec3(0.0f));
        EXPECT_EQ(vertex.uv, glm::vec2(0.0f));
    }
    model.measureExtents();
    EXPECT_FLOAT_EQ(model.width, 4.0f);
    EXPECT_FLOAT_EQ(model.height, 2.0f);
    Offscreen target;
    model.draw(modelShader(), model.modelMatrix);

    Model empty;
    empty.measureExtents();
    EXPECT_EQ(empty.width, 0.0f);
}

// A missing model (the importer returns nothing) or garbage (the OBJ reader returns an empty
// scene without a word) is reported and leaves a model without meshes that draws nothing.
TEST_F(ModelTest, UnreadableModelIsReportedAndDrawsNothing) {
    const std::string garbage =
        folder.write("garbage.obj", std::string("\x7f\0\x01\xff", 4) + "f 9 8 7\nusemtl\n\x02\x03");
    for (const std::string& path : {(folder.path / "nowhere.obj").string(), garbage}) {
        const std::string output = load(model, path);
        EXPECT_EQ(output.rfind("ERROR::ASSIMP:: ", 0), 0u) << output;
        EXPECT_GT(output.size(), 17u) << "the message carries a reason";
        EXPECT_TRUE(model.meshes.empty());
        Offscreen target;
        model.draw(modelShader(), model.modelMatrix);
        EXPECT_EQ(target.at(32, 32), kBlack);
    }
}

// An image that is missing or unreadable still gives a texture: a 1x1 magenta placeholder.
TEST_F(ModelTest, UnreadableImageGivesMagentaPlaceholder) {
    folder.write("broken.bmp", "BM not an image");
    folder.write("m.mtl", "newmtl gone\nmap_Kd missing.png\nnewmtl bad\nmap_Kd broken.bmp\n");
    for (const char* material : {"gone", "bad"}) {
        load(model, folder.write("quad.obj", quadObj(material)));
        ASSERT_EQ(model.textureCache.size(), 1u);
        EXPECT_EQ(textureValue(model.textureCache[0].id, GL_TEXTURE_WIDTH, true), 1);
        Offscreen target;
        model.draw(modelShader(), model.modelMatrix);
        EXPECT_EQ(target.at(32, 32), (Rgb{255, 0, 255})) << material;
    }
}

// Every generated model imports with meshes and readable images (none is the placeholder),
// and its measured extents are those that the generator wrote down. The track is a torus in
// the XZ plane around the origin: equal x and z extents, y extent the tube's diameter.
TEST_F(ModelTest, GeneratedModelsLoadWithTheirManifestExtents) {
    std::ifstream manifest("../External/manifest.txt");
    ASSERT_TRUE(manifest.is_open()) << "the assets target writes ../External/manifest.txt";
    std::string line;
    int models = 0;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        std::string path;
        float minX, maxX, minY, maxY, minZ, maxZ;
        ASSERT_TRUE(fields >> path >> minX >> maxX >> minY >> maxY >> minZ >> maxZ) << line;
        ++models;
        EXPECT_EQ(load(model, "../External/" + path), "");
        EXPECT_FALSE(model.meshes.empty()) << path;
        EXPECT_FALSE(model.textureCache.empty()) << path;
        for (const Texture& texture : model.textureCache)
            EXPECT_GT(textureValue(texture.id, GL_TEXTURE_WIDTH, true), 1)
                << path << ": " << texture.path.C_Str();
        model.measureExtents();
        // The manifest prints six decimals.
        EXPECT_NEAR(model.width, maxX - minX, 1e-4f) << path;
        EXPECT_NEAR(model.height, maxY - minY, 1e-4f) << path;
        if (path == "Models/Torus/torus.obj") {
            EXPECT_NEAR(maxX - minX, maxZ - minZ, 1e-4f);
            EXPECT_NEAR(minX + maxX, 0.0f, 1e-4f);
            EXPECT_NEAR(minY + maxY, 0.0f, 1e-4f);
            EXPECT_LT(model.height, model.width);
        }
    }
    EXPECT_EQ(models, 7) << "robot, ball, track, skybox, planet, rocket and stone";
}
