#pragma once

// The GL tier's one fixture: the game's renderer, made once by the game's own start-up; a folder
// for the files a test writes; a world of unit quads; pixel read-back.

#include "GlTestContext.h"

#include "app/FrameDraw.h"
#include "app/Startup.h"
#include "input/Camera.h"
#include "pipeline/BloomRenderer.h"
#include "pipeline/PipelineConstants.h"
#include "render/Model.h"
#include "render/TextRenderer.h"
#include "tests/platform/TestPlatform.h"
#include "world/Obstacle.h"
#include "world/Player.h"
#include "world/Torus.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <glm/gtc/matrix_transform.hpp>
#define GLM_ENABLE_EXPERIMENTAL
#include <glm/gtx/string_cast.hpp> // glm::to_string writes a vector as GLSL does

using Rgb = std::array<int, 3>;

// The test programs' vertex stage: every mesh attribute is passed on as it arrives.
constexpr const char* kMeshVertex = R"(#version 330 core
layout(location = 0) in vec3 aPos; layout(location = 1) in vec3 aNormal; layout(location = 2) in
vec2 aUv; layout(location = 3) in vec3 aTangent; layout(location = 4) in vec3 aBitangent;
uniform mat4 model; uniform mat4 view; uniform mat4 projection;
out vec3 normal; out vec2 uv; out vec3 tangent; out vec3 bitangent;
void main() { normal = aNormal; uv = aUv; tangent = aTangent; bitangent = aBitangent;
    gl_Position = projection * view * model * vec4(aPos, 1.0); })";
// The test programs' fragment stage starts with the mesh inputs and the two colour outputs.
const std::string kFragmentHead = R"(#version 330 core
in vec3 normal, tangent, bitangent; in vec2 uv, texCoords;
layout(location = 0) out vec4 FragColor; layout(location = 1) out vec4 BrightColor;
)";

// A unit square in the XY plane around the origin, facing +z, u along +x and v along +y.
inline std::string quadObj(const std::string& material, const std::string& library = "m") {
    return "mtllib " + library + ".mtl\nusemtl " + material +
           "\nv -0.5 -0.5 0\nv 0.5 -0.5 0\nv 0.5 0.5 0\nv -0.5 0.5 0\n"
           "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\nf 1/1/1 2/2/1 3/3/1\nf 1/1/1 3/3/1 4/4/1\n";
}

// The unit quad scaled to `size`, turned by `angle` radians about `axis`, centred on `centre`.
inline glm::mat4 placed(glm::vec3 centre, float size, float angle = 0.0f,
                        glm::vec3 axis = glm::vec3(1, 0, 0)) {
    return glm::scale(glm::rotate(glm::translate(glm::mat4(1.0f), centre), angle, axis),
                      glm::vec3(size));
}

class GlFixture : public GlTest {
  protected:
    // What start-up makes once: the window state, the programs with their fixed sampler units,
    // the shadow and bloom targets, the fonts (which set the unpack alignment that model
    // textures rely on) and the game's models.
    static inline std::unique_ptr<Renderer> game;
    static inline std::string startMessages;

    std::filesystem::path folder;
    std::vector<std::unique_ptr<Model>> models;
    std::vector<std::unique_ptr<GameObject>> objects;
    GameObject sky{nullptr};
    World world;
    Camera camera;
    glm::vec3 lightColor{2.0f};
    int programCount = 0;

    void SetUp() override {
        if (game == nullptr) {
            testing::internal::CaptureStdout();
            game = std::make_unique<Renderer>(startRenderer(window, kWidth, kHeight));
            startMessages = testing::internal::GetCapturedStdout();
        }
        ASSERT_EQ(startMessages, "")
            << "every program, font and model loads, every target is complete";
        folder = makeScratchFolder("zelto-");
        texturedQuad("quad", "map_Kd " + bmp("white", {{255, 255, 255}}));
        world.skybox = &sky;
    }
    void TearDown() override {
        std::filesystem::remove_all(folder);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    // Paths are given with "/" on every system: a model's images are named from its folder,
    // its path up to the last "/".
    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(folder / name, std::ios::binary) << text;
        return (folder / name).generic_string();
    }
    // `name`.bmp, a 24-bit BMP of `width` columns, pixels given top row first (Debian's SOIL
    // crashes on TGA files); returns its file name.
    std::string bmp(const std::string& name, const std::vector<Rgb>& top, int width = 1) const {
        std::string rows;
        for (int row = int(top.size()) / width - 1; row >= 0; --row) { // bottom row first
            for (int x = 0; x < width; ++x)
                for (int c = 2; c >= 0; --c) // BGR
                    rows += char(top[size_t(row * width + x)][size_t(c)]);
            rows.append(size_t((4 - width * 3 % 4) % 4), '\0'); // rows pad to 4 bytes
        }
        const uint32_t size = uint32_t(rows.size()), w = uint32_t(width);
        const uint32_t header[] = {
            54 + size, 0, 54, 40, w, uint32_t(top.size()) / w, 1 | (24 << 16), 0, size, 0, 0, 0, 0};
        write(name + ".bmp", "BM" + std::string(reinterpret_cast<const char*>(header), 52) + rows);
        return name + ".bmp";
    }
    // `name`.obj: the unit quad with the material `name` of the MTL lines `maps`.
    std::string texturedQuad(const std::string& name, const std::string& maps) const {
        write(name + ".mtl", "newmtl " + name + "\n" + maps + "\n");
        return write(name + ".obj", quadObj(name, name));
    }

    // Loads a model file and returns what the load printed.
    std::string load(Model& model, const std::string& path) {
        testing::internal::CaptureStdout();
        model = Model(path.c_str());
        return testing::internal::GetCapturedStdout();
    }
    // The quad of `name`.obj (white unless said otherwise), placed by `matrix`.
    Model* quad(const glm::mat4& matrix, const std::string& name = "quad") {
        models.push_back(
            std::make_unique<Model>((folder / (name + ".obj")).generic_string().c_str()));
        models.back()->measureExtents();
        models.back()->modelMatrix = matrix;
        return models.back().get();
    }
    Model* empty() { return models.emplace_back(std::make_unique<Model>()).get(); }

    // The world as the game builds it: its named parts, and the lists in the game's order:
    // track, robot, the stones at their ring angles, the planet (an object without a model when
    // none is given, which draws nothing).
    void buildWorld(Model* track, Model* robot, const std::vector<std::pair<Model*, float>>& stones,
                    Model* planet = nullptr) {
        world.track = add(std::make_unique<Torus>(track));
        world.robot = add(std::make_unique<Player>(robot, world.track));
        world.objects = {world.track, world.robot};
        world.obstacles.clear();
        for (const auto& [model, ringAngle] : stones) {
            world.obstacles.push_back(add(std::make_unique<Obstacle>(model, world.track)));
            world.obstacles.back()->ringAngle = ringAngle;
            world.objects.push_back(world.obstacles.back());
        }
        world.planet = add(std::make_unique<GameObject>(planet));
        world.objects.push_back(world.planet);
    }
    template <typename T> T* add(std::unique_ptr<T> object) {
        return static_cast<T*>(objects.emplace_back(std::move(object)).get());
    }

    // A program of `vertex` and a fragment body that may read the mesh inputs and write two
    // colour outputs. view and projection start as identity: model space is clip space.
    Shader program(const std::string& body, const std::string& vertex = kMeshVertex) {
        const std::string name = "p" + std::to_string(programCount++);
        Shader shader(write(name + ".vertex", vertex).c_str(),
                      write(name + ".fragment", kFragmentHead + body).c_str());
        return use(shader);
    }
    // Makes `shader` current with an identity view and the given projection.
    static Shader& use(Shader& shader, const glm::mat4& projection = glm::mat4(1.0f)) {
        glUseProgram(shader.programId);
        glUniformMatrix4fv(glGetUniformLocation(shader.programId, "view"), 1, GL_FALSE,
                           &glm::mat4(1.0f)[0][0]);
        glUniformMatrix4fv(glGetUniformLocation(shader.programId, "projection"), 1, GL_FALSE,
                           &projection[0][0]);
        return shader;
    }
    // Paints `colour` (HDR: above 1.0 allowed) on output 0 and `glow` on output 1.
    Shader flat(glm::vec3 colour, glm::vec3 glow = glm::vec3(0.0f)) {
        return program("void main() { FragColor = " + glm::to_string(glm::vec4(colour, 1)) +
                       "; BrightColor = " + glm::to_string(glm::vec4(glow, 1)) + "; }");
    }

    // Clears the window to black and makes `program` current with `projection`.
    static Shader& cleared(Shader& program, const glm::mat4& projection = glm::mat4(1.0f)) {
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return use(program, projection);
    }
    // The text program on a cleared window, in its pixel coordinates (origin bottom left):
    // white text's red channel is the glyph coverage.
    static Shader& text() {
        return cleared(game->programs.text, glm::ortho(0.0f, float(kWidth), 0.0f, float(kHeight)));
    }
    static std::vector<unsigned char> screen() { return readPixels(0, 0, kWidth, kHeight); }

    void look(glm::vec3 eye, glm::vec3 target) {
        camera.position = eye;
        camera.front = glm::normalize(target - eye);
        camera.up =
            glm::normalize(glm::cross(glm::cross(camera.front, glm::vec3(0, 1, 0)), camera.front));
    }
    // One frame as the game draws it: the frame clear, then the scene pass. Returns the light.
    glm::vec3 frame(const RenderFlags& flags,
                    const ScenePrograms& programs = game->programs.scene) {
        clearFrame();
        SceneTargets targets = game->scene;
        targets.programs = programs;
        return renderScene(flags, camera, world, lightColor, targets);
    }

    // The window pixel (bottom-left origin) where a world point shows: a pinhole camera with
    // square pixels whose vertical half-angle has the tangent tan(22.5) (the camera's zoom, 45,
    // taken as radians), so the eye sits 300 / tan(22.5) pixels from the window's centre.
    glm::ivec2 pixelOf(glm::vec3 point) const {
        const glm::vec3 d = point - camera.position;
        const glm::vec3 right = glm::cross(camera.front, camera.up);
        const float focal = kHeight / 2 / std::tan(22.5f) / glm::dot(d, camera.front);
        return glm::ivec2(glm::floor(glm::vec2(kWidth / 2 + focal * glm::dot(d, right),
                                               kHeight / 2 + focal * glm::dot(d, camera.up))));
    }
    static Rgb colorAt(glm::ivec2 pixel) {
        const std::vector<unsigned char> p = readPixels(pixel.x, pixel.y, 1, 1);
        return {p[0], p[1], p[2]};
    }
    // Mean R + G + B (0..765) of the (2r + 1)^2 pixels around `pixel`.
    static float brightness(glm::ivec2 pixel, int r = 2) {
        const std::vector<unsigned char> p =
            readPixels(pixel.x - r, pixel.y - r, 2 * r + 1, 2 * r + 1);
        float sum = 0.0f;
        for (size_t i = 0; i < p.size(); i += 4)
            sum += p[i] + p[i + 1] + p[i + 2];
        return sum / float((2 * r + 1) * (2 * r + 1));
    }
};
