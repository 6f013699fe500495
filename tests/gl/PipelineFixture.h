#pragma once

// A small world for the render pipeline's GL tests: unit quads written as OBJ files at run time
// and placed by matrix, the game's programs (or programs that paint one flat colour), the world
// lists in the game's order, a camera, and the shadow and bloom targets. The scene pass draws
// into the test window, whose pixels are read back.

#include "GlTestContext.h"
#include "TempFolder.h"

#include "app/Programs.h"
#include "input/Camera.h"
#include "pipeline/BloomRenderer.h"
#include "pipeline/PipelineConstants.h"
#include "pipeline/ScenePass.h"
#include "pipeline/Uniforms.h"
#include "render/Model.h"
#include "world/Obstacle.h"
#include "world/Player.h"
#include "world/Torus.h"
#include "world/World.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <glm/gtc/matrix_transform.hpp>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace pipeline_test {

namespace fs = std::filesystem;
using Rgb = std::array<int, 3>;

// A unit square in the XY plane around the origin, facing +z, with u along +x and v along +y in
// the file.
inline std::string quadObj(const std::string& material, const std::string& library = "m.mtl") {
    return "mtllib " + library + "\nusemtl " + material +
           "\nv -0.5 -0.5 0\nv 0.5 -0.5 0\nv 0.5 0.5 0\nv -0.5 0.5 0\n"
           "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nvn 0 0 1\nf 1/1/1 2/2/1 3/3/1\nf 1/1/1 3/3/1 4/4/1\n";
}

// The unit quad moved to `centre`, scaled to `size` and turned by `angle` radians about `axis`.
inline glm::mat4 placed(glm::vec3 centre, float size, float angle = 0.0f,
                        glm::vec3 axis = glm::vec3(1.0f, 0.0f, 0.0f)) {
    const glm::mat4 moved = glm::rotate(glm::translate(glm::mat4(1.0f), centre), angle, axis);
    return glm::scale(moved, glm::vec3(size));
}

inline glm::mat4 facingUp(glm::vec3 centre, float size) {
    return placed(centre, size, -glm::half_pi<float>());
}

class PipelineTest : public GlTest {
  protected:
    TempFolder folder;
    std::vector<std::unique_ptr<Model>> models;
    std::vector<std::unique_ptr<GameObject>> owned;
    std::vector<GameObject*> objects;
    std::vector<Obstacle*> obstacles;
    Torus* track = nullptr;
    Player* robot = nullptr;
    Model* skybox = nullptr;
    GameObject skyObject{nullptr};
    Camera camera;
    glm::vec3 lightPos{0.0f};
    glm::vec3 lightColor{2.0f};
    // Made once, as in the game, and shared by the tests.
    static inline DepthCubeMap depthMap;
    static inline std::unique_ptr<BloomRenderer> bloom;

    static void SetUpTestSuite() {
        GlTest::SetUpTestSuite();
        if (bloom == nullptr) {
            depthMap = createDepthCubeMap();
            bloom = std::make_unique<BloomRenderer>(kWidth, kHeight);
        }
    }

    void SetUp() override {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1); // the fonts' setting, which model textures need
        glViewport(0, 0, kWidth, kHeight);
        folder.writePixelBmp("white.bmp", {255, 255, 255});
        folder.write("m.mtl", "newmtl white\nmap_Kd white.bmp\n");
        folder.write("quad.obj", quadObj("white"));
        camera.zoom = 45.0f;
    }

    void TearDown() override { EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR)); }

    // A unit quad from `file`, placed by matrix; white unless the file says otherwise.
    Model* quad(const glm::mat4& matrix, const std::string& file = "quad.obj") {
        models.push_back(std::make_unique<Model>((folder.path / file).string().c_str()));
        models.back()->measureExtents();
        models.back()->modelMatrix = matrix;
        return models.back().get();
    }

    // The world lists in the game's order: track, robot, stones, planet (optional).
    void buildWorld(Model* trackModel, Model* robotModel, std::vector<Model*> stones,
                    std::vector<float> ringAngles, Model* planet) {
        owned.push_back(std::make_unique<Torus>(trackModel));
        track = static_cast<Torus*>(owned.back().get());
        owned.push_back(std::make_unique<Player>(robotModel, track));
        robot = static_cast<Player*>(owned.back().get());
        objects = {track, robot};
        obstacles.clear();
        for (size_t i = 0; i < stones.size(); ++i) {
            owned.push_back(std::make_unique<Obstacle>(stones[i], track));
            obstacles.push_back(static_cast<Obstacle*>(owned.back().get()));
            obstacles.back()->ringAngle = ringAngles[i];
            objects.push_back(obstacles.back());
        }
        if (planet != nullptr) {
            owned.push_back(std::make_unique<GameObject>(planet));
            objects.push_back(owned.back().get());
        }
    }

    void look(glm::vec3 eye, glm::vec3 target) {
        camera.position = eye;
        camera.front = glm::normalize(target - eye);
        camera.up =
            glm::cross(glm::normalize(glm::cross(camera.front, glm::vec3(0, 1, 0))), camera.front);
    }

    // The game's programs with the sampler units of start-up; each must build silently.
    ScenePrograms gamePrograms() {
        testing::internal::CaptureStdout();
        ScenePrograms programs = loadPrograms().scene;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        glUseProgram(programs.basicLightingBloomShadow.programId);
        setUniform(programs.basicLightingBloomShadow.programId, "depthMap", kDepthMapUnit);
        glUseProgram(programs.bloomShader.programId);
        setUniform(programs.bloomShader.programId, "bloomBlur", kBloomBlurUnit);
        return programs;
    }

    // A program painting every fragment `color` x `strength`; it glows (writes the same to
    // output 1) when `glows`.
    Shader flatProgram(const std::string& name, Rgb color, float strength = 1.0f,
                       bool glows = false) {
        const std::string vertex = folder.write(name + ".vertex", R"(#version 330 core
layout(location = 0) in vec3 aPos;
uniform mat4 model; uniform mat4 view; uniform mat4 projection;
void main() { gl_Position = projection * view * model * vec4(aPos, 1.0); })");
        const std::string value = "vec4(vec3(" + std::to_string(color[0]) + ", " +
                                  std::to_string(color[1]) + ", " + std::to_string(color[2]) +
                                  ") / 255.0 * " + std::to_string(strength) + ", 1.0)";
        const std::string fragment = folder.write(
            name + ".fragment", "#version 330 core\nlayout(location = 0) out vec4 FragColor;\n"
                                "layout(location = 1) out vec4 BrightColor;\nvoid main() {\n"
                                "FragColor = " +
                                    value + ";\nBrightColor = " +
                                    (glows ? value : "vec4(0.0, 0.0, 0.0, 1.0)") + ";\n}\n");
        return Shader(vertex.c_str(), fragment.c_str());
    }

    // One frame as the game draws it: the frame clear, then the scene pass.
    void frame(const RenderFlags& flags, const ScenePrograms& programs) {
        glClearColor(kClearColor.r, kClearColor.g, kClearColor.b, kClearColor.a);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        lightPos = renderScene(flags, camera, view(), lightColor,
                               SceneTargets{programs, depthMap, bloom.get(), kWidth, kHeight});
    }

    // The fixture's objects as the world the scene pass reads.
    World view() {
        skyObject.model = skybox;
        World world;
        world.track = track;
        world.robot = robot;
        world.skybox = &skyObject;
        world.objects = objects;
        world.obstacles = obstacles;
        return world;
    }

    // The window pixel (bottom-left origin) of a world point under the camera.
    glm::ivec2 pixelOf(glm::vec3 world) const {
        const CameraMatrices m = cameraMatrices(camera, kWidth, kHeight);
        return glm::ivec2(glm::project(world, m.view, m.projection, glm::vec4(0, 0, 800, 600)));
    }

    static Rgb colorAt(glm::ivec2 pixel) {
        const std::vector<unsigned char> p = readPixels(pixel.x, pixel.y, 1, 1);
        return {p[0], p[1], p[2]};
    }

    // Mean R + G + B (0..765) of the (2r + 1)^2 pixels around `pixel`.
    static float brightnessAround(glm::ivec2 pixel, int r = 2) {
        const std::vector<unsigned char> p =
            readPixels(pixel.x - r, pixel.y - r, 2 * r + 1, 2 * r + 1);
        float sum = 0.0f;
        for (size_t i = 0; i < p.size(); i += 4)
            sum += p[i] + p[i + 1] + p[i + 2];
        return sum / float((2 * r + 1) * (2 * r + 1));
    }
};

} // namespace pipeline_test
